#include "textstore/highlighter.h"

#include "textstore/memo_base.h"

namespace tarvex {

TRiriHighlighter::~TRiriHighlighter() {
    while (!FMemos.empty()) FMemos.back()->SetHighlighter(nullptr);
}

}  // namespace tarvex
