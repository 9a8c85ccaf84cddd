#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "tests/tools/compound_file.h"
#include "tools/doc_import.h"
#include "textstore/paragraphs_list.h"

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

// Counts the loads without reading anything.
class TIdleTarget : public TTextImportTarget {
public:
    using TTextImportTarget::TTextImportTarget;
    void LoadFromStream(TStream&) override { ++Loads; }
    int Loads = 0;
};

TEST(DocImport, ATcrBombIsRefusedBeforeItIsExpanded) {
    // Regression: 8 MB of codes expanded to 2.14 GB (and twice that in
    // memory) before the store found the line too long.
    std::string f("!!8-Bit!!\0", 10);
    f += '\x03';
    f += std::string("ab\0", 3);
    for (int i = 1; i < 256; ++i) f += '\xFF' + std::string(255, 'x');
    const std::size_t codes = TParagraphsList::kMaxParLen / 255 + 1;
    TMemoryStream bomb(f + std::string(codes, '\x05'));
    TIdleTarget spaces(' ');
    try {
        ImportDocument("bomb.tcr", bomb, true, spaces, {});
        ADD_FAILURE() << "the bomb was loaded";
    } catch (const ERiriError& e) {
        EXPECT_STREQ(e.what(), "Text too long");
    }
    EXPECT_EQ(spaces.Loads, 0);
    // When a NUL ends the text first, the long line is never reached.
    TMemoryStream ended(f + '\0' + std::string(codes, '\x05'));
    TIdleTarget nul;
    ImportDocument("bomb.tcr", ended, true, nul, {});
    EXPECT_EQ(nul.Loads, 1);
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
    EXPECT_EQ(Import(BuildCompound(spec), false, t), "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0\r")
        << "the paragraph mark stays";
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

TEST_F(TConverters, ACancelledConverterFallsBackToTheBuiltInExtraction) {
    Script("hangs", "sleep 300");
    std::ofstream(DocFile, std::ios::binary) << Word6("built in\r");
    TFileStream s(DocFile, TFileStream::fmOpenRead);
    TImportOptions o;
    o.DocConvert = true;
    o.Converters = {Tool("hangs"), Tool("works")};
    int asked = 0;
    o.Cancelled = [&] { return ++asked > 2; };
    TTextImportTarget t;
    ImportDocument(DocFile, s, false, t, o);
    EXPECT_EQ(t.Text(), "built in\r") << "no converter after a cancel";
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

namespace {
// Whether process Pid is gone (or a zombie nobody reaps, which is as dead),
// waiting a little for a kill to land.
bool Gone(pid_t Pid) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream stat("/proc/" + std::to_string(Pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line)) return true;
        const std::size_t close = line.rfind(')');
        if (close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z') return true;
        usleep(10000);
    }
    return false;
}

// A shell line that starts a background sleeper, records its process id in
// PidFile, and then runs Rest.
std::vector<std::string> WithChild(const std::string& PidFile, const std::string& Rest) {
    return {"/bin/sh", "-c", "sleep 300 & echo $! > '" + PidFile + "'; " + Rest};
}

pid_t ReadPid(const std::string& PidFile) {
    pid_t pid = 0;
    std::ifstream(PidFile) >> pid;
    return pid;
}
}  // namespace

TEST(RunProgram, WhatAKilledConverterStartedGoesWithIt) {
    char tmpl[] = "/tmp/tarvex-run-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string pidFile = std::string(tmpl) + "/pid";
    std::string out;
    EXPECT_FALSE(RunProgram(WithChild(pidFile, "sleep 300"), out, 300, 1000));
    const pid_t child = ReadPid(pidFile);
    ASSERT_GT(child, 0);
    EXPECT_TRUE(Gone(child)) << "the converter's own child outlived the timeout";

    // Cancelled from outside: the same.
    int polls = 0;
    EXPECT_FALSE(RunProgram(WithChild(pidFile, "sleep 300"), out, 60000, 1000, [&] { return ++polls > 3; }));
    EXPECT_TRUE(Gone(ReadPid(pidFile)));
    std::system(("rm -rf '" + std::string(tmpl) + "'").c_str());
}

TEST(RunProgram, AConverterThatEndsLeavingAChildBehindIsDone) {
    // Regression: the child kept the output pipe open and the import waited
    // for the whole timeout, then failed.
    char tmpl[] = "/tmp/tarvex-run-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string pidFile = std::string(tmpl) + "/pid";
    std::string out;
    EXPECT_TRUE(RunProgram(WithChild(pidFile, "echo converted"), out, 60000, 1000));
    EXPECT_EQ(out, "converted\n");
    EXPECT_TRUE(Gone(ReadPid(pidFile))) << "left running";
    std::system(("rm -rf '" + std::string(tmpl) + "'").c_str());
}
