#include "tools/sort_lines.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tools/line_text.h"

namespace tarvex {

namespace {

// One line to sort. Its sort key (key part, then the rest of the line) sits
// in an arena; the first eight bytes are kept here so that most comparisons
// never leave the array.
struct TEntry {
    std::uint64_t Prefix;
    const char* Key;
    const char* Line;
    std::uint32_t KeyLen;
    std::uint32_t LineLen;

    std::string_view Text() const { return {Line, LineLen}; }
};

std::uint64_t PrefixOf(const char* K, std::size_t N) {
    std::uint64_t p = 0;
    for (std::size_t i = 0; i < 8; ++i) p = (p << 8) | (i < N ? static_cast<unsigned char>(K[i]) : 0u);
    return p;
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

// Keys end with their only 0 byte, so no key is a proper prefix of another.
bool KeyLess(const TEntry& A, const TEntry& B) {
    if (A.Prefix != B.Prefix) return A.Prefix < B.Prefix;
    const std::uint32_t n = std::min(A.KeyLen, B.KeyLen);
    if (n <= 8) return false;
    return std::memcmp(A.Key + 8, B.Key + 8, n - 8) < 0;
}

// How often the sort looks at the stop request and reports progress.
constexpr std::uint32_t kCheckEvery = 1u << 16;
// Below this many lines one thread does it all.
constexpr std::size_t kParallelFrom = 20000;

struct TSorter {
    const TSortOptions& Options;
    const TCollation& Coll;
    TJobControl* Job;
    std::string Delim;

    void Report(int Percent) const {
        if (Job) {
            Job->CheckStop();
            Job->SetPercent(Percent);
        }
    }

    void MakeKeys(const std::vector<std::string_view>& Lines, std::size_t From, std::size_t To, TKeyArena& Arena,
                  std::vector<TEntry>& Out, bool Reports) const {
        std::string key;
        for (std::size_t i = From; i < To; ++i) {
            const std::string_view line = Lines[i];
            key.clear();
            if (Delim.empty()) {
                Coll.AppendSortKey(line, key);
            } else {
                const std::size_t d = line.find(Delim);
                const std::size_t k = d == std::string_view::npos ? line.size() : d;
                Coll.AppendSortKey(line.substr(0, k), key);
                Coll.AppendSortKey(line.substr(k), key);
            }
            TEntry& e = Out[i];
            e.Prefix = PrefixOf(key.data(), key.size());
            e.Key = Arena.Add(key);
            e.KeyLen = static_cast<std::uint32_t>(key.size());
            e.Line = line.data();
            e.LineLen = static_cast<std::uint32_t>(line.size());
            if ((i - From) % kCheckEvery == kCheckEvery - 1) {
                if (Reports)
                    Report(static_cast<int>(5 + 55 * (i - From) / std::max<std::size_t>(1, To - From)));
                else if (Job)
                    Job->CheckStop();
            }
        }
    }

    void SortRange(TEntry* First, TEntry* Last, bool Reports) const {
        std::uint32_t count = 0;
        const std::size_t n = static_cast<std::size_t>(Last - First);
        // n log n comparisons in all, for the progress figure.
        const double total = n < 2 ? 1.0 : static_cast<double>(n) * std::log2(static_cast<double>(n));
        double done = 0;
        std::sort(First, Last, [&](const TEntry& A, const TEntry& B) {
            if (++count == kCheckEvery) {
                count = 0;
                done += kCheckEvery;
                if (Reports)
                    Report(60 + static_cast<int>(30 * std::min(1.0, done / total)));
                else if (Job)
                    Job->CheckStop();
            }
            return KeyLess(A, B);
        });
    }

    std::vector<TEntry> SortedEntries(const std::vector<std::string_view>& Lines) const {
        const std::size_t n = Lines.size();
        std::size_t threads = 1;
        if (n >= kParallelFrom) threads = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
        std::vector<TEntry> entries(n);
        std::vector<TKeyArena> arenas(threads);
        std::vector<std::size_t> bounds(threads + 1);
        for (std::size_t t = 0; t <= threads; ++t) bounds[t] = n * t / threads;
        RunParallel(threads,
                    [&](std::size_t t) { MakeKeys(Lines, bounds[t], bounds[t + 1], arenas[t], entries, t == 0); });
        Report(60);
        RunParallel(threads, [&](std::size_t t) {
            SortRange(entries.data() + bounds[t], entries.data() + bounds[t + 1], t == 0);
        });
        // Merge the sorted runs pairwise.
        for (std::size_t width = 1; width < threads; width *= 2) {
            for (std::size_t t = 0; t + width < threads; t += 2 * width) {
                const std::size_t hi = std::min(threads, t + 2 * width);
                std::inplace_merge(entries.begin() + static_cast<std::ptrdiff_t>(bounds[t]),
                                   entries.begin() + static_cast<std::ptrdiff_t>(bounds[t + width]),
                                   entries.begin() + static_cast<std::ptrdiff_t>(bounds[hi]), KeyLess);
            }
            Report(90);
        }
        // The arenas go with this scope: the entries' keys are not needed any more.
        for (auto& e : entries) {
            e.Key = nullptr;
            e.KeyLen = 0;
        }
        return entries;
    }

    template <class F>
    static void RunParallel(std::size_t Threads, F&& Fn) {
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
            if (!ContainsIgnoringCase(v, l)) (joined += FSepar) += l;
        } else if (!ContainsIgnoringCase(l, v)) {
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
    std::vector<std::string_view> lines;
    ForEachLine(Text, [&](std::string_view L) {
        L = TrimBlanks(L);
        if (!L.empty()) lines.push_back(L);
    });
    // Positions and lengths are 32-bit in the entries; a longer line cannot be in one paragraph anyway.
    for (std::string_view l : lines)
        if (l.size() > UINT32_MAX / 4) throw std::length_error("A line is too long to sort");

    const TSorter sorter{Options, Collation, Job, ExpandTabMarks(Options.Delim)};
    sorter.Report(5);
    const std::vector<TEntry> entries = sorter.SortedEntries(lines);
    lines = {};

    TOutput out(Options, Collation, sorter.Delim, Text.size() + 2);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out.Add(entries[i].Text());
        if (i % kCheckEvery == kCheckEvery - 1)
            sorter.Report(90 + static_cast<int>(10 * i / entries.size()));
    }
    std::string r = out.Finish();
    if (Job) Job->SetPercent(100);
    return r;
}

}  // namespace tarvex
