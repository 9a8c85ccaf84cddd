#pragma once
// Fills a Scintilla baseline with a file, 16 MB at a time, without recording
// undo: the way the baselines get their text before the measured work starts.

#include <Qsci/qsciscintilla.h>

#include <fstream>
#include <string>
#include <vector>

namespace tarvex::bench {

inline void FillScintilla(QsciScintilla& Sci, const std::string& File) {
    std::ifstream in(File, std::ios::binary);
    std::vector<char> buf(1 << 24);
    Sci.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);
    while (in) {
        in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
        if (const auto n = in.gcount(); n > 0)
            Sci.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(n), buf.data());
    }
    Sci.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1UL);
    Sci.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
}

}  // namespace tarvex::bench
