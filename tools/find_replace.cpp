#include "tools/find_replace.h"

#include <stdexcept>

#include "tools/find_pattern.h"

namespace tarvex {

std::string ReplaceAllInString(std::string_view S, std::string_view F, std::string_view R, bool MatchCase,
                               bool WholeWord, std::int64_t& Count) {
    Count = 0;
    const TFindPattern pattern(F, MatchCase);
    if (pattern.Empty()) return std::string(S);
    const std::size_t m = pattern.Size();
    std::string out;
    std::size_t done = 0;
    for (std::size_t i = 0;;) {
        const std::size_t c = pattern.Find(S, i);
        if (c == TFindPattern::npos) break;
        if (WholeWord) {
            const bool before = c == 0 || IsWordSeparator(static_cast<unsigned char>(S[c - 1]));
            const bool after = c + m >= S.size() || IsWordSeparator(static_cast<unsigned char>(S[c + m]));
            if (!before || !after) {
                i = c + 1;
                continue;
            }
        }
        out.append(S.substr(done, c - done)).append(R);
        ++Count;
        done = i = c + m;
    }
    out.append(S.substr(done));
    return out;
}

TReplacePlan PlanReplace(const TStoreSearch& Search, TPos From, TPos To, bool WholeWord) {
    TReplacePlan plan;
    plan.From = From;
    plan.To = To;
    plan.WholeWord = WholeWord;
    bool first = true;
    plan.Count = Search.Scan(From, To, WholeWord, [&](TPos P) {
        if (first) plan.Start = P;
        first = false;
        plan.End = P + Search.Length();
        return true;
    });
    if (plan.Count == 0) plan.Start = plan.End = From;
    return plan;
}

std::string BuildReplacedSpan(const TStoreSearch& Search, const TReplacePlan& Plan, std::string_view Replacement) {
    std::string out;
    if (Plan.Count == 0) return out;
    const TPos m = Search.Length();
    const TPos size = Plan.End - Plan.Start + Plan.Count * (static_cast<TPos>(Replacement.size()) - m);
    out.reserve(static_cast<std::size_t>(size));
    const TParagraphsList& L = Search.Store();
    TPos done = Plan.Start;
    std::int64_t n = 0;
    Search.Scan(
        Plan.From, Plan.To, Plan.WholeWord,
        [&](TPos P) {
            AppendStoreText(L, done, P, out);
            out.append(Replacement);
            done = P + m;
            return ++n < Plan.Count;
        },
        Plan.Start);
    // The plan was made on this very text: anything else is a fault, not a result.
    if (n != Plan.Count || done != Plan.End) throw std::logic_error("Replace all: the text changed while replacing");
    return out;
}

}  // namespace tarvex
