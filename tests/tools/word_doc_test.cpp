#include <gtest/gtest.h>

#include "tests/tools/compound_file.h"
#include "textstore/stream.h"
#include "tools/word_doc.h"

using namespace tarvex;
using tarvex::test::BuildCompound;
using tarvex::test::Put32;
using tarvex::test::TCompoundSpec;
using tarvex::test::Utf16Le;

namespace {
struct TProbe {
    TWordKind Kind;
    std::string Text;
};
TProbe Probe(const std::string& File) {
    TMemoryStream in(File), out;
    in.Seek(17);
    const TWordKind k = WordDocProbe(in, &out);
    EXPECT_EQ(in.Position(), 0);
    EXPECT_EQ(out.Position(), 0);
    return {k, out.Data()};
}
}  // namespace

TEST(WordDoc, BothKindsAreRecognisedAndTheirTextExtracted) {
    TCompoundSpec word6;
    word6.Ident = 0xA5DC;
    word6.Text = "\xCF\xF0\xE8\xE2\xE5\xF2, Word 6\r";
    auto r = Probe(BuildCompound(word6));
    EXPECT_EQ(r.Kind, wkWord6);
    EXPECT_EQ(r.Text, word6.Text);

    TCompoundSpec word97;
    word97.Text = Utf16Le("\xCF\xF0\xE8\xE2\xE5\xF2 97\r");
    r = Probe(BuildCompound(word97));
    EXPECT_EQ(r.Kind, wkWord97);
    EXPECT_EQ(r.Text, word97.Text);
}

TEST(WordDoc, WithoutAnOutputStreamOnlyClassifies) {
    TCompoundSpec spec;
    spec.Text = "abc";
    TMemoryStream in(BuildCompound(spec));
    EXPECT_EQ(WordDocProbe(in, nullptr), wkWord97);
    EXPECT_EQ(in.Position(), 0);
}

TEST(WordDoc, EntryNamesInBytesOrWithAMarkerCharacter) {
    TCompoundSpec spec;
    spec.Text = "x";
    spec.NameAsBytes = true;
    EXPECT_EQ(Probe(BuildCompound(spec)).Kind, wkWord97);
    spec.NameAsBytes = false;
    spec.StreamName = "\x01WordDocument";
    EXPECT_EQ(Probe(BuildCompound(spec)).Kind, wkWord97);
    spec.StreamName = "WordDocumentX";
    EXPECT_EQ(Probe(BuildCompound(spec)).Kind, wkNone);
}

TEST(WordDoc, OtherFilesAreNotWordDocuments) {
    TCompoundSpec sheet;  // a spreadsheet: a compound file without "WordDocument"
    sheet.StreamName = "Workbook";
    sheet.Text = "cells";
    auto r = Probe(BuildCompound(sheet));
    EXPECT_EQ(r.Kind, wkNone);
    EXPECT_EQ(r.Text, "");

    TCompoundSpec excelIdent;
    excelIdent.Ident = 0x1234;
    excelIdent.Text = "abc";
    EXPECT_EQ(Probe(BuildCompound(excelIdent)).Kind, wkNone);

    EXPECT_EQ(Probe("plain text under a .doc name").Kind, wkNone);
    EXPECT_EQ(Probe("").Kind, wkNone);
    EXPECT_EQ(Probe("\xD0\xCF\x11\xE0").Kind, wkNone);  // the magic, then nothing
}

TEST(WordDoc, EveryTruncationFailsCleanly) {
    for (const std::uint16_t ident : {std::uint16_t{0xA5DC}, std::uint16_t{0xA5EC}}) {
        TCompoundSpec spec;
        spec.Ident = ident;
        spec.Text = std::string(300, 'q');
        const std::string full = BuildCompound(spec);
        for (std::size_t len = 0; len < full.size(); ++len) {
            const auto r = Probe(full.substr(0, len));
            if (r.Kind == wkNone) {
                EXPECT_EQ(r.Text, "") << len;
            } else {
                // A cut inside the text gives the part that is there.
                EXPECT_EQ(r.Text, spec.Text.substr(0, r.Text.size())) << len;
                EXPECT_EQ(r.Text.size(), len > 512 * 2 + spec.FcMin ? len - 512 * 2 - spec.FcMin : 0) << len;
            }
        }
    }
}

TEST(WordDoc, HostileOffsetsStayInsideTheFile) {
    TCompoundSpec spec;
    spec.Text = "text";
    const std::string good = BuildCompound(spec);

    std::string dirFar = good;
    Put32(dirFar, 0x30, 0xFFFFFFFF);
    EXPECT_EQ(Probe(dirFar).Kind, wkNone);

    std::string docFar = good;
    Put32(docFar, 512 + 128 * 2 + 0x74, 0xFFFFFFFE);
    EXPECT_EQ(Probe(docFar).Kind, wkNone);

    TCompoundSpec longText = spec;
    longText.FcMac = 0xFFFFFFFF;  // claims 4 GB of text
    auto r = Probe(BuildCompound(longText));
    EXPECT_EQ(r.Kind, wkWord97);
    EXPECT_EQ(r.Text, "text");

    TCompoundSpec reversed = spec;
    reversed.FcMac = 0x10;  // ends before it starts
    r = Probe(BuildCompound(reversed));
    EXPECT_EQ(r.Kind, wkWord97);
    EXPECT_EQ(r.Text, "");

    TCompoundSpec farStart = spec;
    farStart.FcMin = 0xFFFFFF00;
    farStart.Text.clear();
    farStart.FcMac = 0xFFFFFFFF;
    r = Probe(BuildCompound(farStart));
    EXPECT_EQ(r.Kind, wkWord97);
    EXPECT_EQ(r.Text, "");
}
