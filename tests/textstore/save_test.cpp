#include <gtest/gtest.h>

#include "tests/textstore/test_util.h"

namespace tarvex {
namespace {

std::string Save(TParagraphsList& L, TRiriLineBreak B, bool Clean = false, bool Trim = false) {
    TMemoryStream out;
    L.SaveToStream(out, Clean, 300, nullptr, B, Trim);
    return out.Data();
}

void Load(TParagraphsList& L, const std::string& Data) {
    TMemoryStream s(Data);
    TRiriLineBreak found = pbCRLF;
    L.LoadFromStream(s, 0, 300, nullptr, found, false);
}

TEST(Save, EveryBreakKindWritesItsBytes) {
    TParagraphsList l;
    Load(l, "one\r\ntwo\r\n\r\nthree");
    EXPECT_EQ(Save(l, pbCRLF), "one\r\ntwo\r\n\r\nthree");
    EXPECT_EQ(Save(l, pbLFCR), "one\n\rtwo\n\r\n\rthree");
    EXPECT_EQ(Save(l, pbCR), "one\rtwo\r\rthree");
    EXPECT_EQ(Save(l, pbLF), "one\ntwo\n\nthree");
}

TEST(Save, RoundTripKeepsEveryByte) {
    std::string data;
    for (int i = 0; i < 30000; ++i) data += "\xCF\xF0\xE8\xE2\xE5\xF2 line " + std::to_string(i) + "\t \r\n";
    data += std::string(100000, 'z');  // a last paragraph longer than a read
    TParagraphsList l;
    Load(l, data);
    EXPECT_EQ(Save(l, pbCRLF), data);
}

TEST(Save, TrimTrailingDropsBlanksAtParagraphEnds) {
    TParagraphsList l;
    Load(l, "a \t\r\n \r\nb  ");
    EXPECT_EQ(Save(l, pbLF, false, true), "a\n\nb");
}

TEST(Save, CodeCleanUpRemovesPairsThatEncloseOnlyCodes) {
    TParagraphsList l;
    l.StaticFormat = true;
    Load(l, std::string("a\2\2b\r\n\2\1\2x\r\n\2a\2\r\n\1\2\3\2\1y"));
    EXPECT_EQ(Save(l, pbCRLF, true), std::string("ab\r\n\1x\r\n\2a\2\r\n\3y"));
    EXPECT_EQ(Save(l, pbCRLF, false), std::string("a\2\2b\r\n\2\1\2x\r\n\2a\2\r\n\1\2\3\2\1y"))
        << "without CleanCodes nothing changes";
    l.StaticFormat = false;
    EXPECT_EQ(Save(l, pbCRLF, true), std::string("a\2\2b\r\n\2\1\2x\r\n\2a\2\r\n\1\2\3\2\1y"))
        << "codes are plain characters without StaticFormat";
}

TEST(Save, ProgressEndsWithOneCallEvenForAnEmptyList) {
    TParagraphsList l;
    int calls = 0;
    TMemoryStream out;
    l.SaveToStream(out, false, 300, [&](TParagraphsList&) { ++calls; }, pbCRLF, false);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(out.Data().empty());
}

TEST(Save, WriteErrorPropagates) {
    class TFullDisk : public TMemoryStream {
    public:
        void Write(const void*, std::int64_t) override { throw EStreamError("Cannot write: No space left on device"); }
    };
    TParagraphsList l;
    Load(l, "text");
    TFullDisk out;
    EXPECT_THROW(l.SaveToStream(out, false, 300, nullptr, pbCRLF, false), EStreamError);
}

}  // namespace
}  // namespace tarvex
