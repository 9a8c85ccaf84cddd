#pragma once
// Compressing lines: cleans up text copied from fixed-width sources. Each
// step is one bit of the Compress setting; they run in the order merge,
// spaces, empty lines, tabs. Every step keeps the text's length or shortens
// it, so the text is rewritten in place.

#include <cstdint>
#include <string>

namespace tarvex {

enum : std::uint32_t {
    cmpDoubleSpaces = 1,       // runs of spaces become one; no space before CR ! . ?
    cmpMergeParagraphs = 2,    // a line that goes on in lower case joins the one before (implies 1)
    cmpDoubleParagraphs = 4,   // runs of empty lines become one
    cmpFirstSpacesToTab = 8,   // a space starting a line becomes a tab
    cmpAll = 15,
};

// Runs the steps of Steps on Text; returns whether the text changed.
bool CompressText(std::string& Text, std::uint32_t Steps);

}  // namespace tarvex
