// Import benchmark: HTML to text, RTF to text and TCR decompression on
// generated documents.
//
//   tarvex_bench_import generate html|rtf|tcr SIZE_MB FILE
//   tarvex_bench_import run html|rtf|tcr|tcr-stream FILE
//
// "generate" writes a deterministic document of about SIZE_MB megabytes;
// "run" converts FILE in memory three times and prints the best speed as
// "MB/s<TAB>input_bytes<TAB>output_bytes" (input megabytes per second).

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/htm2txt.h"
#include "tools/rtf_to_text.h"
#include "tools/tcr.h"
#include "platform/huge_page_heap.h"

namespace {

// A small deterministic generator, so that every run measures the same bytes.
class TRandom {
public:
    std::uint32_t Next() {
        FState ^= FState << 13;
        FState ^= FState >> 7;
        FState ^= FState << 17;
        return static_cast<std::uint32_t>(FState >> 11);
    }
    std::uint32_t Below(std::uint32_t N) { return Next() % N; }

private:
    std::uint64_t FState = 0x9E3779B97F4A7C15ull;
};

// A Windows-1251 word, Cyrillic mostly, Latin sometimes.
std::string Word(TRandom& R) {
    std::string w;
    const std::uint32_t len = 2 + R.Below(9);
    const bool latin = R.Below(8) == 0;
    for (std::uint32_t i = 0; i < len; ++i)
        w.push_back(latin ? static_cast<char>('a' + R.Below(26)) : static_cast<char>(0xE0 + R.Below(32)));
    if (!latin && R.Below(5) == 0) w[0] = static_cast<char>(static_cast<unsigned char>(w[0]) - 32);
    return w;
}

std::string Html(std::size_t Size) {
    TRandom r;
    std::string s = "<!DOCTYPE html>\r\n<html><head><meta charset=\"windows-1251\"><title>Bench</title>"
                    "<style>p { margin: 0 }</style></head>\r\n<body>\r\n";
    while (s.size() < Size) {
        switch (r.Below(10)) {
            case 0:
                s += "<table class=\"grid\"><tr><td>" + Word(r) + "</td><td>" + Word(r) + "</td></tr></table>\r\n";
                break;
            case 1: s += "<h2>" + Word(r) + " " + Word(r) + "</h2>\r\n"; break;
            default: {
                s += "<p class=\"text\">";
                const std::uint32_t words = 20 + r.Below(60);
                for (std::uint32_t i = 0; i < words; ++i) {
                    const std::uint32_t k = r.Below(40);
                    if (k == 0) s += "<b>" + Word(r) + "</b>";
                    else if (k == 1) s += "<a href=\"http://example.org/" + std::to_string(r.Below(1000)) + "\">" + Word(r) + "</a>";
                    else if (k == 2) s += "&nbsp;&mdash;";
                    else if (k == 3) s += "&#1078;&quot;" + Word(r) + "&quot;";
                    else s += Word(r);
                    s += i % 12 == 11 ? "\r\n" : " ";
                }
                s += "</p>\r\n";
            }
        }
    }
    return s + "</body></html>\r\n";
}

std::string Hex(unsigned char C) {
    static const char* d = "0123456789abcdef";
    return {'\\', '\'', d[C >> 4], d[C & 15]};
}

// Laid out as word processors write Cyrillic text: \'hh bytes in a
// Windows-1251 font, some \uN with fallbacks, formatting in groups.
std::string Rtf(std::size_t Size) {
    TRandom r;
    std::string s =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}"
        "{\\f1\\fswiss\\fcharset204 Arial;}}{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}"
        "{\\stylesheet{\\s0\\f0\\fs24 Normal;}}{\\info{\\title Bench}{\\author Tarvex}}\r\n"
        "\\viewkind4\\uc1\\pard\\plain\\f0\\fs24\r\n";
    while (s.size() < Size) {
        s += "\\pard\\plain\\s0\\qj\\fi567\\sl360\\slmult1\\f0\\fs24 ";
        const std::uint32_t words = 20 + r.Below(60);
        std::string line;
        for (std::uint32_t i = 0; i < words; ++i) {
            const std::string w = Word(r);
            const std::uint32_t k = r.Below(30);
            std::string enc;
            if (k == 0) {
                enc = "{\\b ";
                for (const char c : w) enc += static_cast<unsigned char>(c) >= 0x80 ? Hex(static_cast<unsigned char>(c)) : std::string(1, c);
                enc += "}";
            } else if (k == 1) {
                enc = "\\u1078\\'e6" + w.substr(0, 0);
            } else if (k == 2) {
                enc = "\\emdash";
            } else {
                for (const char c : w) enc += static_cast<unsigned char>(c) >= 0x80 ? Hex(static_cast<unsigned char>(c)) : std::string(1, c);
            }
            line += enc + " ";
            if (line.size() > 200) {
                s += line + "\r\n";
                line.clear();
            }
        }
        s += line + "\\par\r\n";
        if (r.Below(200) == 0) {
            s += "{\\pict\\pngblip\\picw100\\pich100 ";
            for (int i = 0; i < 40; ++i) s += "89504e470d0a1a0a0000000d494844520000006400000064080200000000\r\n";
            s += "}\\par\r\n";
        }
    }
    return s + "}\r\n";
}

// A TCR book: 256 syllables as the dictionary, codes drawn from them.
std::string Tcr(std::size_t Size) {
    TRandom r;
    std::string s("!!8-Bit!!\0", 10);
    for (int i = 0; i < 256; ++i) {
        std::string e;
        if (i == 1) e = "\r\n";
        else if (i == 2) e = " ";
        else if (i == 3) e = ", ";
        else if (i % 37 == 0) e = "";  // unused codes
        else {
            const std::uint32_t len = 1 + r.Below(4);
            for (std::uint32_t k = 0; k < len; ++k) e.push_back(static_cast<char>(0xE0 + r.Below(32)));
        }
        s.push_back(static_cast<char>(e.size()));
        s += e;
    }
    while (s.size() < Size) {
        const std::uint32_t k = r.Below(100);
        s.push_back(static_cast<char>(k < 15 ? 2 : k == 15 ? 1 : k == 16 ? 3 : r.Below(256)));
    }
    return s;
}

std::string ReadFile(const std::string& Name) {
    std::ifstream f(Name, std::ios::binary);
    if (!f) throw std::runtime_error("cannot open " + Name);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    try {
        const std::vector<std::string> a(argv + 1, argv + argc);
        if (a.size() == 4 && a[0] == "generate") {
            const std::size_t size = static_cast<std::size_t>(std::stoul(a[2])) * 1000000;
            const std::string doc = a[1] == "html" ? Html(size) : a[1] == "rtf" ? Rtf(size) : a[1] == "tcr" ? Tcr(size) : "";
            if (doc.empty()) throw std::runtime_error("unknown kind " + a[1]);
            std::ofstream(a[3], std::ios::binary).write(doc.data(), static_cast<std::streamsize>(doc.size()));
            return 0;
        }
        if (a.size() == 3 && a[0] == "run") {
            const std::string in = ReadFile(a[2]);
            double best = 1e30;
            std::size_t outSize = 0;
            for (int i = 0; i < 3; ++i) {
                const auto t0 = std::chrono::steady_clock::now();
                std::string out;
                if (a[1] == "html") out = tarvex::THtm2Txt::Convert(in, false);
                else if (a[1] == "rtf") out = tarvex::RtfToText(in);
                else if (a[1] == "tcr") out = tarvex::TcrDecompress(std::string_view(in));
                else if (a[1] == "tcr-stream") {
                    // As the editor loads a book: expanded while read, in the store's read size.
                    tarvex::TMemoryStream file(in);
                    tarvex::TTcrStream text(file);
                    out.resize(static_cast<std::size_t>(text.Size()));
                    std::size_t got = 0;
                    for (std::int64_t n; got < out.size() && (n = text.Read(out.data() + got, std::min<std::int64_t>(65500, static_cast<std::int64_t>(out.size() - got)))) > 0;)
                        got += static_cast<std::size_t>(n);
                    out.resize(got);
                }
                else throw std::runtime_error("unknown kind " + a[1]);
                const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
                best = std::min(best, s);
                outSize = out.size();
            }
            std::printf("%.1f\t%zu\t%zu\n", static_cast<double>(in.size()) / 1e6 / best, in.size(), outSize);
            return 0;
        }
        std::cerr << "usage: tarvex_bench_import generate html|rtf|tcr SIZE_MB FILE | run html|rtf|tcr FILE\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "tarvex_bench_import: " << e.what() << "\n";
        return 1;
    }
}
