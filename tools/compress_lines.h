#pragma once
// Compressing lines: cleans up text copied from fixed-width sources. Each
// step is one bit of the Compress setting; they run in the order merge,
// spaces, empty lines, tabs. Every step keeps the text's length or shortens
// it. The text may come in pieces (a gigabyte never has to be in memory
// twice): each step holds back only the few characters its decision waits on.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

enum : std::uint32_t {
    cmpDoubleSpaces = 1,       // runs of spaces become one; no space before CR ! . ?
    cmpMergeParagraphs = 2,    // a line that goes on in lower case joins the one before (implies 1)
    cmpDoubleParagraphs = 4,   // runs of empty lines become one
    cmpFirstSpacesToTab = 8,   // a space starting a line becomes a tab
    cmpAll = 15,
};

class TCompressor {
public:
    explicit TCompressor(std::uint32_t Steps);
    // Compresses the next piece of the text, appending what is settled to Out.
    void Feed(std::string_view In, std::string& Out);
    // The text has ended: appends the rest.
    void Finish(std::string& Out);
    // Whether the output differs from the input so far.
    bool Changed() const { return FChanged; }

private:
    void Run(std::string& Buf, bool Last);
    void Merge(std::string& T, bool Last);
    void Spaces(std::string& T, bool Last);
    void Paragraphs(std::string& T, bool Last);
    void Tabs(std::string& T, bool Last);

    std::uint32_t FSteps;
    bool FChanged = false;
    // What each step holds back until the next piece decides it.
    std::string FMergeCarry, FTabCarry;
    char FMergePrev = 0;        // the character before the merge step's carry (0 at the start)
    std::size_t FSpaceRun = 0;  // spaces (at most two) waiting for the character after them
    std::size_t FBreakRun = 0;  // CR LF pairs (at most three) waiting for the end of their run
    bool FBreakCR = false;      // and a CR that may begin one more
    std::string FBuf;
};

// Runs the steps of Steps on Text; returns whether the text changed.
bool CompressText(std::string& Text, std::uint32_t Steps);

}  // namespace tarvex
