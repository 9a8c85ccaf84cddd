#include "output/print_settings.h"

#include "platform/codepage.h"

namespace tarvex {

void ApplyMainPrintSettings(TDudiRiriPrinter& P) {
    P.SetMarginLeft(0.75f);
    P.SetMarginRight(0.5f);
    P.SetMarginTop(0.75f);
    P.SetMarginBottom(0.75f);
    P.SetLineSpacing(-1.5f);
    P.Footer = "- {p} -";
    P.HeaderYPos = 0.4f;
    P.FooterYPos = 0.4f;
    P.HeaderAlign = taCenter;
    P.FooterAlign = taCenter;
    TFontSpec f;
    f.Name = "Liberation Sans";
    f.Size = 12;
    f.Color = static_cast<std::int32_t>(0x80000008);  // the window-text colour: black on paper
    P.HeaderFont = f;
    P.FooterFont = f;
}

std::string FileNameHeader(std::string_view Path) { return Utf8ToCp1251(Path); }

}  // namespace tarvex
