#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "tests/tools/compound_file.h"
#include "tools/doc_import.h"

using namespace tarvex;
using tarvex::test::BuildCompound;
using tarvex::test::TCompoundSpec;
using tarvex::test::Utf16Le;

namespace {
// Records how the importer filled it.
class TRecordingTarget : public TTextImportTarget {
public:
    using TTextImportTarget::TTextImportTarget;
    void LoadFromStream(TStream& Stream) override {
        Calls += "load(" + std::string(1, NullReplacement()) + ")";
        TTextImportTarget::LoadFromStream(Stream);
    }
    void SetTextBuf(std::string_view Text) override {
        Calls += "set";
        TTextImportTarget::SetTextBuf(Text);
    }
    std::string Calls;
};

class TFailingStream : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    std::int64_t Read(void*, std::int64_t) override { throw EStreamError("Cannot read"); }
};

std::string Import(const std::string& File, bool IsTcr, TRecordingTarget& T, const TImportOptions& O = {}) {
    TMemoryStream s(File);
    ImportDocument("doc.doc", s, IsTcr, T, O);
    return T.Text();
}

std::string Word6(const std::string& Text) {
    TCompoundSpec spec;
    spec.Ident = 0xA5DC;
    spec.Text = Text;
    return BuildCompound(spec);
}

// A folder of fake converters for the DocConvert path.
class TConverters : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tarvex-import-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        Dir = tmpl;
        Script("fails", "exit 3");
        Script("silent", "exit 0");
        // Writes "Привет" in UTF-8 and the name it was given.
        Script("works", "printf '\\320\\237\\321\\200\\320\\270\\320\\262\\320\\265\\321\\202 %s' \"$1\"");
        DocFile = Dir + "/in.doc";
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    void Script(const std::string& Name, const std::string& Body) {
        const std::string path = Dir + "/" + Name;
        std::ofstream(path) << "#!/bin/sh\n" << Body << "\n";
        chmod(path.c_str(), 0755);
    }
    TDocConverter Tool(const std::string& Name) { return {Dir + "/" + Name, {}}; }
    std::string Run(const std::string& File, const std::vector<TDocConverter>& Tools) {
        std::ofstream(DocFile, std::ios::binary) << File;
        TFileStream s(DocFile, TFileStream::fmOpenRead);
        TImportOptions o;
        o.DocConvert = true;
        o.Converters = Tools;
        TTextImportTarget t;
        ImportDocument(DocFile, s, false, t, o);
        return t.Text();
    }
    std::string Dir, DocFile;
};
}  // namespace

TEST(DocImport, TcrLoadsWithTheCallersNulRule) {
    std::string f("!!8-Bit!!\0", 10);
    f += '\x01';
    f += 'A';
    f += '\x01';
    f += '\0';
    f += std::string(254, '\0');
    f += std::string("\0\x01\0", 3);
    TRecordingTarget keep;
    EXPECT_EQ(Import(f, true, keep), "A");  // a NUL ends the text
    EXPECT_EQ(keep.Calls, std::string("load(") + '\0' + ")");
    TRecordingTarget dots('.');
    EXPECT_EQ(Import(f, true, dots), "A.A");
}

TEST(DocImport, PlainFileUnderADocNameLoadsRawWithNulsAsSpaces) {
    TRecordingTarget t;
    EXPECT_EQ(Import(std::string("plain\0text", 10), false, t), "plain text");
    EXPECT_EQ(t.Calls, "load( )");
    EXPECT_EQ(t.NullReplacement(), '\0');  // restored
}

TEST(DocImport, Word6TextWithNulsAsSpaces) {
    TRecordingTarget t('#');
    EXPECT_EQ(Import(Word6(std::string("\xCF\xF0\xE8\0\xE2\r", 6)), false, t), "\xCF\xF0\xE8 \xE2\r");
    EXPECT_EQ(t.Calls, "load( )");
    EXPECT_EQ(t.NullReplacement(), '#');
}

TEST(DocImport, Word97TextDecodedFromUtf16) {
    TCompoundSpec spec;
    spec.Text = Utf16Le("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0\r");
    TRecordingTarget t;
    EXPECT_EQ(Import(BuildCompound(spec), false, t), "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0");
    EXPECT_EQ(t.Calls, "set");

    // Three bytes of text or fewer: the whole file is decoded instead.
    spec.Text = "ab";
    TRecordingTarget whole;
    Import(BuildCompound(spec), false, whole);
    EXPECT_EQ(whole.Calls, "set");
}

TEST(DocImport, TruncatedWordFilesStillLoadSomething) {
    TCompoundSpec spec;
    spec.Text = Utf16Le("some text");
    const std::string full = BuildCompound(spec);
    for (const std::string& f : {full.substr(0, 600), full.substr(0, 1040), full.substr(0, full.size() - 4),
                                 Word6("abc").substr(0, 1100)}) {
        TRecordingTarget t;
        Import(f, false, t);
        EXPECT_FALSE(t.Calls.empty());
        EXPECT_EQ(t.NullReplacement(), '\0');
    }
}

TEST(DocImport, NullReplacementIsRestoredWhenReadingFails) {
    TRecordingTarget t('x');
    TFailingStream s("whatever");
    EXPECT_THROW(ImportDocument("a.doc", s, false, t, {}), EStreamError);
    EXPECT_EQ(t.NullReplacement(), 'x');
}

TEST_F(TConverters, FirstWorkingConverterGivesTheText) {
    const std::string text = Run(Word6("built-in"), {Tool("missing"), Tool("fails"), Tool("silent"), Tool("works")});
    EXPECT_EQ(text, "\xCF\xF0\xE8\xE2\xE5\xF2 " + DocFile);
}

TEST_F(TConverters, BuiltInExtractionWhenNoConverterWorks) {
    EXPECT_EQ(Run(Word6("built-in"), {Tool("fails"), Tool("missing")}), "built-in");
    EXPECT_EQ(Run(Word6("built-in"), {}), "built-in");
}

TEST_F(TConverters, NotRunForFilesThatAreNoWordDocuments) {
    EXPECT_EQ(Run("plain", {Tool("works")}), "plain");
}

TEST(RunProgram, KillsAProgramThatTakesTooLong) {
    std::string out;
    EXPECT_FALSE(RunProgram({"/bin/sh", "-c", "echo partial; sleep 30"}, out, 300, 1000));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(RunProgram({"/bin/sh", "-c", "yes"}, out, 10000, 1000));  // too much output
    EXPECT_TRUE(RunProgram({"/bin/sh", "-c", "printf 'a\\0b'"}, out, 10000, 1000));
    EXPECT_EQ(out, std::string("a\0b", 3));
    EXPECT_FALSE(RunProgram({"/nonexistent/program"}, out, 1000, 1000));
}
