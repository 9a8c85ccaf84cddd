#include "tools/compress_lines.h"

#include <algorithm>
#include <cstring>

namespace tarvex {

namespace {

// Characters that start a new paragraph when they follow a line break.
bool KeepsParagraph(unsigned char C) {
    if (C < 32 || C == ' ' || C == '"' || C == '*' || C == '-' || C == '.') return true;
    if (C >= '0' && C <= '9') return true;
    return C == 151 || C == 167 || C == 171 || C == 185;  // em dash, section sign, left guillemet, numero sign
}

bool EndsSentenceOrLine(char C) { return C == '\r' || C == '!' || C == '.' || C == '?'; }

// Pieces fed at once: a whole text is compressed a slice at a time.
constexpr std::size_t kSlice = 1u << 20;

}  // namespace

TCompressor::TCompressor(std::uint32_t Steps) : FSteps(Steps) {}

void TCompressor::Feed(std::string_view In, std::string& Out) {
    for (std::size_t at = 0; at < In.size(); at += kSlice) {
        FBuf.assign(In.substr(at, kSlice));
        Run(FBuf, false);
        Out += FBuf;
    }
}

void TCompressor::Finish(std::string& Out) {
    FBuf.clear();
    Run(FBuf, true);
    Out += FBuf;
}

void TCompressor::Run(std::string& Buf, bool Last) {
    if (FSteps & cmpMergeParagraphs) Merge(Buf, Last);
    if (FSteps & (cmpDoubleSpaces | cmpMergeParagraphs)) Spaces(Buf, Last);
    if (FSteps & cmpDoubleParagraphs) Paragraphs(Buf, Last);
    if (FSteps & cmpFirstSpacesToTab) Tabs(Buf, Last);
}

// Control characters other than tab, LF and CR become spaces; a CR LF joins
// its line to the next when that one does not start a paragraph, is not
// after an empty line and is not the text's last break. The last two
// characters wait for the next piece.
void TCompressor::Merge(std::string& T, bool Last) {
    T.insert(0, FMergeCarry);
    const std::size_t n = T.size();
    const std::size_t limit = Last ? n : (n >= 2 ? n - 2 : 0);
    for (std::size_t i = 0; i < limit; ++i) {
        const auto c = static_cast<unsigned char>(T[i]);
        if (c < 32 && c != '\t' && c != '\n' && c != '\r') {
            T[i] = ' ';
            FChanged = true;
        } else if (c == '\r' && i + 2 < n && T[i + 1] == '\n' && (i > 0 ? T[i - 1] : FMergePrev) != '\n' &&
                   !KeepsParagraph(static_cast<unsigned char>(T[i + 2]))) {
            T[i] = T[i + 1] = ' ';
            ++i;
            FChanged = true;
        }
    }
    // A joined pair may reach into the held-back part; its space is settled either way.
    if (limit > 0) FMergePrev = T[limit - 1];
    FMergeCarry.assign(T, limit, n - limit);
    T.resize(limit);
}

// Runs of spaces become one, and none is left before CR ! . ?; a space that
// ends the text stays. A run at the end of a piece waits for what follows
// (two of its spaces stand for all of them). Works in place: the text only
// shrinks.
void TCompressor::Spaces(std::string& T, bool Last) {
    T.insert(0, FSpaceRun, ' ');
    FSpaceRun = 0;
    char* t = T.data();
    const std::size_t n = T.size();
    std::size_t w = 0, r = 0;
    while (r < n) {
        const void* sp = std::memchr(t + r, ' ', n - r);
        const std::size_t s = sp ? static_cast<std::size_t>(static_cast<const char*>(sp) - t) : n;
        if (w != r) std::memmove(t + w, t + r, s - r);
        w += s - r;
        if (s == n) break;
        std::size_t e = s;
        while (e < n && t[e] == ' ') ++e;
        if (e == n && !Last) {
            FSpaceRun = std::min<std::size_t>(e - s, 2);
            r = e;
            break;
        }
        const bool before = e < n && EndsSentenceOrLine(t[e]);
        if (!before) t[w++] = ' ';
        if (e - s > 1 || before) FChanged = true;
        r = e;
    }
    T.resize(w);
}

// Three or more CR LF pairs in a row become two: one empty line. A run (or a
// CR) at the end of a piece waits for what follows (three pairs stand for a
// longer run). Works in place.
void TCompressor::Paragraphs(std::string& T, bool Last) {
    std::string carry;
    for (std::size_t k = 0; k < FBreakRun; ++k) carry += "\r\n";
    if (FBreakCR) carry += '\r';
    T.insert(0, carry);
    FBreakRun = 0;
    FBreakCR = false;
    char* t = T.data();
    const std::size_t n = T.size();
    std::size_t w = 0, r = 0;
    while (r < n) {
        const void* cr = std::memchr(t + r, '\r', n - r);
        const std::size_t c = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - t) : n;
        if (w != r) std::memmove(t + w, t + r, c - r);
        w += c - r;
        r = c;
        if (r == n) break;
        std::size_t pairs = 0;
        while (r + 1 < n && t[r] == '\r' && t[r + 1] == '\n') {
            ++pairs;
            r += 2;
        }
        const bool atEnd = r == n || (r + 1 == n && t[r] == '\r');
        if (atEnd && !Last) {
            FBreakRun = std::min<std::size_t>(pairs, 3);
            FBreakCR = r < n;
            r = n;
            break;
        }
        for (std::size_t k = 0; k < std::min<std::size_t>(pairs, 2); ++k) {
            t[w++] = '\r';
            t[w++] = '\n';
        }
        if (pairs > 2) FChanged = true;
        // A CR without its LF stays as it is.
        if (pairs == 0) t[w++] = t[r++];
    }
    T.resize(w);
}

// The first space of every line after a CR LF becomes a tab; a CR or CR LF
// at the end of a piece waits for what follows.
void TCompressor::Tabs(std::string& T, bool Last) {
    T.insert(0, FTabCarry);
    FTabCarry.clear();
    const std::size_t n = T.size();
    for (std::size_t i = 0; i + 2 < n; ++i) {
        if (T[i] == '\r' && T[i + 1] == '\n' && T[i + 2] == ' ') {
            T[i + 2] = '\t';
            FChanged = true;
            i += 2;
        }
    }
    if (Last) return;
    std::size_t keep = 0;
    if (n >= 2 && T[n - 2] == '\r' && T[n - 1] == '\n')
        keep = 2;
    else if (n >= 1 && T[n - 1] == '\r')
        keep = 1;
    FTabCarry.assign(T, n - keep, keep);
    T.resize(n - keep);
}

bool CompressText(std::string& Text, std::uint32_t Steps) {
    TCompressor c(Steps);
    std::string out;
    out.reserve(Text.size());
    c.Feed(Text, out);
    c.Finish(out);
    if (!c.Changed()) return false;
    Text.swap(out);
    return true;
}

}  // namespace tarvex
