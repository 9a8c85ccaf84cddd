#include "tools/compress_lines.h"

#include <algorithm>

namespace tarvex {

namespace {

// Characters that start a new paragraph when they follow a line break.
bool KeepsParagraph(unsigned char C) {
    if (C < 32 || C == ' ' || C == '"' || C == '*' || C == '-' || C == '.') return true;
    if (C >= '0' && C <= '9') return true;
    return C == 151 || C == 167 || C == 171 || C == 185;  // em dash, section sign, left guillemet, numero sign
}

// Control characters other than tab, LF and CR become spaces; a CR LF joins
// its line to the next when that one does not start a paragraph.
bool MergeParagraphs(std::string& T) {
    bool changed = false;
    const std::size_t n = T.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(T[i]);
        if (c < 32 && c != '\t' && c != '\n' && c != '\r') {
            T[i] = ' ';
            changed = true;
        } else if (c == '\r' && i + 2 < n && T[i + 1] == '\n' && (i == 0 || T[i - 1] != '\n') &&
                   !KeepsParagraph(static_cast<unsigned char>(T[i + 2]))) {
            T[i] = T[i + 1] = ' ';
            ++i;
            changed = true;
        }
    }
    return changed;
}

bool EndsSentenceOrLine(char C) { return C == '\r' || C == '!' || C == '.' || C == '?'; }

// Runs of spaces become one, and none is left before CR ! . ?; a space that
// ends the text stays.
bool DoubleSpaces(std::string& T) {
    const std::size_t n = T.size();
    std::size_t w = 0;
    for (std::size_t r = 0; r < n;) {
        if (T[r] != ' ') {
            T[w++] = T[r++];
            continue;
        }
        std::size_t e = r;
        while (e < n && T[e] == ' ') ++e;
        if (e == n || !EndsSentenceOrLine(T[e])) T[w++] = ' ';
        r = e;
    }
    const bool changed = w != n;
    T.resize(w);
    return changed;
}

bool IsBreakAt(const std::string& T, std::size_t I) { return I + 1 < T.size() && T[I] == '\r' && T[I + 1] == '\n'; }

// Three or more CR LF pairs in a row become two: one empty line.
bool DoubleParagraphs(std::string& T) {
    const std::size_t n = T.size();
    std::size_t w = 0;
    for (std::size_t r = 0; r < n;) {
        if (!IsBreakAt(T, r)) {
            T[w++] = T[r++];
            continue;
        }
        std::size_t pairs = 0;
        while (IsBreakAt(T, r)) {
            r += 2;
            ++pairs;
        }
        for (std::size_t k = 0; k < std::min<std::size_t>(pairs, 2); ++k) {
            T[w++] = '\r';
            T[w++] = '\n';
        }
    }
    const bool changed = w != n;
    T.resize(w);
    return changed;
}

// The first space of every line after a CR LF becomes a tab.
bool FirstSpacesToTab(std::string& T) {
    bool changed = false;
    for (std::size_t i = 0; i + 2 < T.size(); ++i) {
        if (T[i] == '\r' && T[i + 1] == '\n' && T[i + 2] == ' ') {
            T[i + 2] = '\t';
            changed = true;
            i += 2;
        }
    }
    return changed;
}

}  // namespace

bool CompressText(std::string& Text, std::uint32_t Steps) {
    bool changed = false;
    if (Steps & cmpMergeParagraphs) changed |= MergeParagraphs(Text);
    if (Steps & (cmpDoubleSpaces | cmpMergeParagraphs)) changed |= DoubleSpaces(Text);
    if (Steps & cmpDoubleParagraphs) changed |= DoubleParagraphs(Text);
    if (Steps & cmpFirstSpacesToTab) changed |= FirstSpacesToTab(Text);
    return changed;
}

}  // namespace tarvex
