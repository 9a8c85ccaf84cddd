// EditInPlace: many replacements inside paragraphs at once, for commands that
// change a few words all over a large text.

#include <algorithm>

#include "textstore/paragraphs_list.h"

namespace tarvex {

std::vector<std::int32_t> TParagraphsList::EditInPlace(const std::vector<TParEdit>& Edits,
                                                       std::vector<bool>& AttrsRemoved) {
    std::vector<std::int32_t> pars;
    AttrsRemoved.clear();
    // Limits first, so that a refused batch changes nothing.
    for (std::size_t i = 0; i < Edits.size();) {
        const std::int32_t p = Edits[i].Par;
        std::int64_t len = At(p).Len();
        for (; i < Edits.size() && Edits[i].Par == p; ++i)
            len += static_cast<std::int64_t>(Edits[i].Text.size()) - Edits[i].Length;
        if (len > MaxParLen) throw ERiriError(kTextTooLong);
        pars.push_back(p);
    }
    if (pars.empty()) return pars;

    std::vector<TPos> posDelta(pars.size());
    std::vector<std::int32_t> lineDelta(pars.size());
    std::string text;
    for (std::size_t i = 0, k = 0; k < pars.size(); ++k) {
        const std::int32_t p = pars[k];
        ParInfo& par = At(p);
        const std::string_view old = par.View();
        const std::size_t first = i;
        text.clear();
        std::size_t done = 0;
        for (; i < Edits.size() && Edits[i].Par == p; ++i) {
            const auto o = static_cast<std::size_t>(Edits[i].Offset);
            text.append(old.substr(done, o - done)).append(Edits[i].Text);
            done = o + static_cast<std::size_t>(Edits[i].Length);
        }
        text.append(old.substr(done));
        const std::int32_t oldLen = par.Len();
        const auto newLen = static_cast<std::int32_t>(text.size());
        posDelta[k] = newLen - oldLen;
        lineDelta[k] = 1 - par.LineCount();

        // Change points inside replaced text go; the others move with the text.
        bool removed = false;
        if (DynCount(par) > 0) {
            std::vector<TDynPoint>& d = DynForWrite(par);
            std::size_t e = first;
            std::int32_t shift = 0;
            std::size_t kept = 0;
            for (std::size_t j = 0; j < d.size(); ++j) {
                TDynPoint x = d[j];
                // Edits ending at or before the point move it (an insertion at it too).
                while (e < i && Edits[e].Offset + Edits[e].Length <= x.Offset) {
                    shift += static_cast<std::int32_t>(Edits[e].Text.size()) - Edits[e].Length;
                    ++e;
                }
                if (e < i && Edits[e].Offset <= x.Offset && x.Offset < Edits[e].Offset + Edits[e].Length) {
                    removed = true;
                    continue;
                }
                x.Offset += shift;
                d[kept++] = x;
            }
            d.resize(kept);
        }
        AttrsRemoved.push_back(removed);

        if (!par.HasExtra() && newLen >= kShortLenLimit) par.MakeExtra();
        EditParText(par, 0, oldLen, text);
        par.SetLen(newLen);
        // One line over the whole text until it is laid out again.
        const std::uint8_t style = par.FirstLineInfo().Style;
        par.SetLineCount(1);
        LineInfo l1;
        l1.Start = 0;
        l1.Stop = newLen;
        l1.JustifyFrom = newLen;
        l1.Style = style;
        par.SetFirstLineInfo(l1);
        par.Flags &= static_cast<std::uint8_t>(~pfFormatted);
    }

    // Start positions and first lines behind each edited paragraph, in one pass.
    std::size_t k = 0;
    const auto [pos, lines] = ShiftBehind(pars, [&](std::int32_t) {
        const std::pair<TPos, std::int32_t> d{posDelta[k], lineDelta[k]};
        ++k;
        return d;
    });
    TotalLen += pos;
    LineCount += lines;
    for (const std::int32_t p : pars) NoteKeysEdit(p, p, p);
    if (pars.front() <= KeysThrough) KeysThrough = pars.front() - 1;
    return pars;
}

}  // namespace tarvex
