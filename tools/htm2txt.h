#pragma once
// HTML and XML to plain text: tags dropped, a few block tags turned into line
// breaks or tabs, entities decoded to Windows-1251 bytes.

#include <string>
#include <string_view>

namespace tarvex {

class THtm2Txt {
public:
    // KeepOutsideBody keeps the text outside <html>/<body> (wanted for XML,
    // which has no body). An empty conversion gives back Source unchanged.
    static std::string Convert(std::string_view Source, bool KeepOutsideBody);

private:
    THtm2Txt(std::string_view Source, bool KeepOutsideBody);
    void Run();
    void ParseTag();
    void ParseEntity();
    bool LineEndAllowed();
    bool Taken() const { return FInBody || FKeep; }

    std::string_view FIn;
    std::size_t FPos = 0;
    std::string FOut;
    bool FInBody = false;
    bool FKeep;
};

// The byte an entity name stands for (the name without '&' and ';'), or -1.
// Names of codes below 192 match in any case, the Latin-1 letters exactly.
int HtmlEntityCode(std::string_view Name);

}  // namespace tarvex
