#pragma once
// A Windows-style INI file in memory: [Section] headers and Key=Value lines.
// Section and key names match without regard to ASCII case; lines the model
// does not understand (comments, text without "=") are kept as they were, so
// a file edited by hand survives a rewrite. Nothing here fails on bad input.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

class TIniFile {
public:
    void Parse(std::string_view Text);
    std::string Serialize() const;
    // Parses the file Path. A missing or unreadable file, or one that is not a
    // regular file (a FIFO is never waited on, a device never read), leaves
    // the model empty and gives false.
    bool LoadFile(const std::string& Path);

    // The value as written, spaces around it and one pair of enclosing quotes removed.
    std::optional<std::string> Value(std::string_view Section, std::string_view Key) const;
    std::string ReadString(std::string_view Section, std::string_view Key, std::string_view Default) const;
    // Decimal, or hexadecimal with "$" or "0x" (the bit pattern of a 32-bit
    // number, "$FFFFFFFF" being -1); anything else, or a number out of range
    // (beyond 64 bits; a negated hexadecimal beyond 32), gives Default.
    std::int64_t ReadInteger(std::string_view Section, std::string_view Key, std::int64_t Default) const;
    // An integer, true when not 0.
    bool ReadBool(std::string_view Section, std::string_view Key, bool Default) const;

    void WriteString(std::string_view Section, std::string_view Key, std::string_view Value);
    void WriteInteger(std::string_view Section, std::string_view Key, std::int64_t Value);
    void WriteBool(std::string_view Section, std::string_view Key, bool Value);
    void DeleteKey(std::string_view Section, std::string_view Key);

    // The section's entry lines as they stand (no comments or blank lines).
    std::vector<std::string> SectionLines(std::string_view Section) const;
    // Replaces everything in the section by Lines (the section is created when missing).
    void ReplaceSection(std::string_view Section, const std::vector<std::string>& Lines);

private:
    struct TLine {
        std::string Text;  // the line as it stands
        std::string Key;   // empty for comments, blank lines and lines without "="
    };
    struct TSection {
        std::string Name;  // empty for lines before the first header
        std::vector<TLine> Lines;
    };
    std::vector<TSection> FSections;

    TSection* Find(std::string_view Name);
    const TSection* Find(std::string_view Name) const;
    TSection& Need(std::string_view Name);
};

}  // namespace tarvex
