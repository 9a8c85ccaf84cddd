#include "tools/sort_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tools/line_text.h"

namespace tarvex {

namespace {

// One line to sort. Its sort key sits in an arena; the first sixteen bytes
// are kept here so that most comparisons never leave the array.
struct TEntry {
    std::uint64_t Prefix[2];
    const char* Key;
    const char* Line;
    std::uint32_t KeyLen;
    std::uint32_t LineLen;

    std::string_view Text() const { return {Line, LineLen}; }
};

constexpr std::uint32_t kPrefixBytes = 16;

// Bytes From..From+8 of a key as a big-endian number, zeros past its end.
std::uint64_t PrefixOf(const char* K, std::size_t N, std::size_t From) {
    std::uint64_t p = 0;
    for (std::size_t i = From; i < From + 8; ++i) p = (p << 8) | (i < N ? static_cast<unsigned char>(K[i]) : 0u);
    return p;
}

// Keys end with their only 0 byte, so no key is a proper prefix of another.
bool KeyLess(const TEntry& A, const TEntry& B) {
    if (A.Prefix[0] != B.Prefix[0]) return A.Prefix[0] < B.Prefix[0];
    if (A.Prefix[1] != B.Prefix[1]) return A.Prefix[1] < B.Prefix[1];
    const std::uint32_t n = std::min(A.KeyLen, B.KeyLen);
    if (n <= kPrefixBytes) return false;
    return std::memcmp(A.Key + kPrefixBytes, B.Key + kPrefixBytes, n - kPrefixBytes) < 0;
}

bool KeyEqual(const TEntry& A, const TEntry& B) {
    return A.Prefix[0] == B.Prefix[0] && A.Prefix[1] == B.Prefix[1] && A.KeyLen == B.KeyLen &&
           std::memcmp(A.Key, B.Key, A.KeyLen) == 0;
}

// Sort keys in large chunks: one allocation per few thousand lines, and a
// key never moves once written.
class TKeyArena {
public:
    const char* Add(std::string_view K) {
        if (K.size() > FRoom - FUsed) {
            FRoom = std::max(kChunk, K.size());
            FChunks.push_back(std::make_unique<char[]>(FRoom));
            FUsed = 0;
        }
        char* at = FChunks.back().get() + FUsed;
        std::memcpy(at, K.data(), K.size());
        FUsed += K.size();
        return at;
    }

private:
    static constexpr std::size_t kChunk = 4u << 20;
    std::vector<std::unique_ptr<char[]>> FChunks;
    std::size_t FUsed = 0, FRoom = 0;
};

// How often the work looks at the stop request and reports progress.
constexpr std::uint32_t kCheckEvery = 1u << 16;
// Below this many bytes one thread does it all.
constexpr std::size_t kParallelFrom = 1u << 20;

template <class F>
void RunParallel(std::size_t Threads, F&& Fn) {
    if (Threads == 1) {
        Fn(0);
        return;
    }
    std::vector<std::exception_ptr> errors(Threads);
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < Threads; ++t)
        pool.emplace_back([&, t] {
            try {
                Fn(t);
            } catch (...) {
                errors[t] = std::current_exception();
            }
        });
    try {
        Fn(0);
    } catch (...) {
        errors[0] = std::current_exception();
    }
    for (auto& th : pool) th.join();
    for (auto& e : errors)
        if (e) std::rethrow_exception(e);
}

class TSorter {
public:
    TSorter(std::string_view Text, const TSortOptions& O, const TCollation& C, TJobControl* Job)
        : FText(Text), FColl(C), FJob(Job), FDelim(ExpandTabMarks(O.Delim)) {
        FThreads = Text.size() >= kParallelFrom ? std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4) : 1;
        // Pieces of the text that end at line breaks, one per thread.
        FBounds.push_back(0);
        for (std::size_t t = 1; t < FThreads; ++t) {
            std::size_t at = std::max(FBounds.back(), Text.size() * t / FThreads);
            while (at < Text.size() && Text[at] != '\n' && Text[at] != '\r') ++at;
            while (at < Text.size() && (Text[at] == '\n' || Text[at] == '\r')) ++at;
            FBounds.push_back(at);
        }
        FBounds.push_back(Text.size());
    }

    const std::string& Delim() const { return FDelim; }

    // The non-empty trimmed lines, ordered.
    std::vector<TEntry> Sorted() {
        MakeEntries();
        Report(55);
        SortAll();
        Report(80);
        if (!FDelim.empty()) OrderEqualKeys();
        Report(90);
        return std::move(FEntries);
    }

    void Report(int Percent) const {
        if (FJob) {
            FJob->CheckStop();
            FJob->SetPercent(Percent);
        }
    }

private:
    template <class F>
    void ForEachLineIn(std::size_t Piece, F&& Fn) const {
        ForEachLine(FText.substr(FBounds[Piece], FBounds[Piece + 1] - FBounds[Piece]), [&](std::string_view L) {
            L = TrimBlanks(L);
            if (!L.empty()) Fn(L);
        });
    }

    // The text before the first delimiter (all of it without one, or without a delimiter set).
    std::string_view KeyPart(std::string_view Line) const {
        return FDelim.empty() ? Line : Line.substr(0, Line.find(FDelim));
    }

    void SetKey(TEntry& E, std::string_view Key, TKeyArena& Arena) const {
        E.Prefix[0] = PrefixOf(Key.data(), Key.size(), 0);
        E.Prefix[1] = PrefixOf(Key.data(), Key.size(), 8);
        E.Key = Arena.Add(Key);
        E.KeyLen = static_cast<std::uint32_t>(Key.size());
    }

    // Counts the lines of each piece, then fills the entries with the keys
    // of the lines' key parts, each piece on its own thread.
    void MakeEntries() {
        std::vector<std::size_t> first(FThreads + 1, 0);
        RunParallel(FThreads, [&](std::size_t t) {
            std::size_t n = 0;
            ForEachLineIn(t, [&](std::string_view L) {
                if (L.size() > UINT32_MAX / 4) throw std::length_error("A line is too long to sort");
                ++n;
            });
            first[t + 1] = n;
        });
        for (std::size_t t = 0; t < FThreads; ++t) first[t + 1] += first[t];
        FEntries.resize(first[FThreads]);
        FArenas.resize(FThreads);
        RunParallel(FThreads, [&](std::size_t t) {
            std::string key;
            std::size_t i = first[t];
            const std::size_t count = first[t + 1] - first[t];
            ForEachLineIn(t, [&](std::string_view L) {
                key.clear();
                FColl.AppendSortKey(KeyPart(L), key);
                TEntry& e = FEntries[i];
                SetKey(e, key, FArenas[t]);
                e.Line = L.data();
                e.LineLen = static_cast<std::uint32_t>(L.size());
                if (++i % kCheckEvery == 0) Step(t, 5 + static_cast<int>(50 * (i - first[t]) / std::max<std::size_t>(count, 1)));
            });
        });
    }

    // Thread 0 reports, the others only look at the stop request.
    void Step(std::size_t Thread, int Percent) const {
        if (Thread == 0)
            Report(Percent);
        else if (FJob)
            FJob->CheckStop();
    }

    void SortRange(TEntry* First, TEntry* Last, std::size_t Thread) const {
        std::uint32_t count = 0;
        const double n = static_cast<double>(Last - First);
        const double total = n < 2 ? 1.0 : n * std::log2(n);
        double done = 0;
        std::sort(First, Last, [&](const TEntry& A, const TEntry& B) {
            if (++count == kCheckEvery) {
                count = 0;
                done += kCheckEvery;
                Step(Thread, 55 + static_cast<int>(20 * std::min(1.0, done / total)));
            }
            return KeyLess(A, B);
        });
    }

    void SortAll() {
        std::vector<std::size_t> at(FThreads + 1);
        for (std::size_t t = 0; t <= FThreads; ++t) at[t] = FEntries.size() * t / FThreads;
        RunParallel(FThreads, [&](std::size_t t) { SortRange(FEntries.data() + at[t], FEntries.data() + at[t + 1], t); });
        for (std::size_t width = 1; width < FThreads; width *= 2)
            for (std::size_t t = 0; t + width < FThreads; t += 2 * width)
                std::inplace_merge(FEntries.begin() + static_cast<std::ptrdiff_t>(at[t]),
                                   FEntries.begin() + static_cast<std::ptrdiff_t>(at[t + width]),
                                   FEntries.begin() + static_cast<std::ptrdiff_t>(at[std::min(FThreads, t + 2 * width)]),
                                   KeyLess);
    }

    // Lines with equal keys are ordered by the rest of the line (the whole
    // lines compare as their rests do once the keys are equal). Unique keys
    // cost nothing more; short runs are sorted by comparing the rests, long
    // ones through the rests' sort keys.
    void OrderEqualKeys() {
        std::vector<std::pair<std::size_t, std::size_t>> runs;
        for (std::size_t i = 0; i < FEntries.size();) {
            std::size_t j = i + 1;
            while (j < FEntries.size() && KeyEqual(FEntries[i], FEntries[j])) ++j;
            if (j - i > 1) runs.emplace_back(i, j);
            i = j;
        }
        std::vector<TKeyArena> arenas(FThreads);
        RunParallel(FThreads, [&](std::size_t t) {
            std::string key;
            std::uint32_t count = 0;
            for (std::size_t r = t; r < runs.size(); r += FThreads) {
                const auto first = FEntries.begin() + static_cast<std::ptrdiff_t>(runs[r].first);
                const auto last = FEntries.begin() + static_cast<std::ptrdiff_t>(runs[r].second);
                if (last - first <= kCompareRunsUpTo) {
                    std::sort(first, last, [&](const TEntry& A, const TEntry& B) {
                        return FColl.Compare(Rest(A), Rest(B)) < 0;
                    });
                } else {
                    for (auto e = first; e != last; ++e) {
                        key.clear();
                        FColl.AppendSortKey(Rest(*e), key);
                        SetKey(*e, key, arenas[t]);
                    }
                    std::sort(first, last, KeyLess);
                }
                count += static_cast<std::uint32_t>(last - first);
                if (count >= kCheckEvery) {
                    count = 0;
                    Step(t, 80 + static_cast<int>(10 * r / runs.size()));
                }
            }
        });
    }

    std::string_view Rest(const TEntry& E) const {
        const std::string_view line = E.Text();
        return line.substr(KeyPart(line).size());
    }

    // Up to this many lines of one key are ordered by comparing them.
    static constexpr std::ptrdiff_t kCompareRunsUpTo = 32;

    std::string_view FText;
    const TCollation& FColl;
    TJobControl* FJob;
    std::string FDelim;
    std::size_t FThreads = 1;
    std::vector<std::size_t> FBounds;
    std::vector<TEntry> FEntries;
    std::vector<TKeyArena> FArenas;
};

// Builds the output, dropping duplicates and joining values as the options say.
class TOutput {
public:
    TOutput(const TSortOptions& O, const TCollation& C, std::string Delim, std::size_t Reserve)
        : FOptions(O), FColl(C), FDelim(std::move(Delim)), FSepar(ExpandTabMarks(O.Separ)) {
        FJoin = O.JoinItems && !FDelim.empty() && !FSepar.empty();
        FOut.reserve(Reserve);
    }

    void Add(std::string_view Line) {
        if (!FHaveLast) {
            FLast.assign(Line);
            FHaveLast = true;
            return;
        }
        if (FOptions.DeleteDuplicates && SameIgnoringCase(Line, FLast)) return;
        if (FJoin && TryJoin(Line)) return;
        Flush();
        FLast.assign(Line);
    }

    std::string Finish() {
        if (FHaveLast) Flush();
        return std::move(FOut);
    }

private:
    void Flush() {
        FOut += FLast;
        FOut += "\r\n";
    }

    std::string_view KeyOf(std::string_view Line) const { return Line.substr(0, Line.find(FDelim)); }
    // The trimmed text after the first delimiter; empty without one.
    std::string_view ValueOf(std::string_view Line) const {
        const std::size_t d = Line.find(FDelim);
        return d == std::string_view::npos ? std::string_view() : TrimBlanks(Line.substr(d + FDelim.size()));
    }

    bool TryJoin(std::string_view Line) {
        const std::string_view last = FLast;
        if (last.find(FDelim) == std::string_view::npos) return false;
        const std::string_view key = KeyOf(Line);
        if (!SameIgnoringCase(key, KeyOf(last))) return false;
        const std::string_view v = ValueOf(Line), l = ValueOf(last);
        if (SameIgnoringCase(v, l)) return true;
        int c = FColl.Compare(v, l);
        // Values that collate equal but differ still need an order.
        if (c == 0) c = v < l ? -1 : 1;
        std::string joined(key);
        joined += FDelim;
        if (c > 0) {
            joined += v;
            if (l.size() > v.size() || !ContainsIgnoringCase(v, l)) (joined += FSepar) += l;
        } else if (v.size() > l.size() || !ContainsIgnoringCase(l, v)) {
            ((joined += v) += FSepar) += l;
        } else {
            joined += l;
        }
        FLast = std::move(joined);
        return true;
    }

    const TSortOptions& FOptions;
    const TCollation& FColl;
    std::string FDelim, FSepar;
    bool FJoin = false;
    bool FHaveLast = false;
    std::string FLast;
    std::string FOut;
};

}  // namespace

std::string SortLinesText(std::string_view Text, const TSortOptions& Options, const TCollation& Collation,
                          TJobControl* Job) {
    if (Job) Job->SetPercent(0);
    TSorter sorter(Text, Options, Collation, Job);
    sorter.Report(1);
    std::vector<TEntry> entries = sorter.Sorted();

    TOutput out(Options, Collation, sorter.Delim(), Text.size() + 2);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out.Add(entries[i].Text());
        if (i % kCheckEvery == kCheckEvery - 1) sorter.Report(90 + static_cast<int>(10 * i / entries.size()));
    }
    entries = {};
    std::string r = out.Finish();
    if (Job) Job->SetPercent(100);
    return r;
}

}  // namespace tarvex
