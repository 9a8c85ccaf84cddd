#pragma once
// Helpers shared by the text store tests.

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "textstore/paragraphs_list.h"
#include "textstore/stream.h"

namespace tarvex::test {

// A stream that hands out a few bytes per read, as a pipe may.
class TTrickleStream : public TStream {
public:
    TTrickleStream(std::string Data, unsigned Seed) : FData(std::move(Data)), FRng(Seed) {}
    std::int64_t Read(void* Buffer, std::int64_t Count) override {
        std::int64_t n = std::min<std::int64_t>({Count, static_cast<std::int64_t>(FData.size()) - FPos,
                                                 static_cast<std::int64_t>(1 + FRng() % 7000)});
        if (n <= 0) return 0;
        std::memcpy(Buffer, FData.data() + FPos, static_cast<std::size_t>(n));
        FPos += n;
        return n;
    }
    void Write(const void*, std::int64_t) override {}
    std::int64_t Size() override { return -1; }
    std::int64_t Position() override { return FPos; }
    void Seek(std::int64_t P) override { FPos = P; }

private:
    std::string FData;
    std::int64_t FPos = 0;
    std::mt19937 FRng;
};

// A stream whose reads fail after Limit bytes.
class TFailingStream : public TMemoryStream {
public:
    TFailingStream(std::string Data, std::int64_t Limit) : TMemoryStream(std::move(Data)), FLimit(Limit) {}
    std::int64_t Read(void* Buffer, std::int64_t Count) override {
        if (Position() >= FLimit) throw EStreamError("Cannot read: device error");
        return TMemoryStream::Read(Buffer, std::min(Count, FLimit - Position()));
    }

private:
    std::int64_t FLimit;
};

struct Loaded {
    std::vector<std::string> Pars;
    TRiriLineBreak Break = pbCRLF;
    bool BreakSeen = false;
};

inline std::vector<std::string> Texts(const TParagraphsList& L) {
    std::vector<std::string> v;
    for (std::int32_t i = 0; i < L.Count(); ++i) v.emplace_back(L.At(i).View());
    return v;
}

// Sum of lengths + 2 per break, and every StartPos, as the position model requires.
inline ::testing::AssertionResult PositionsConsistent(const TParagraphsList& L) {
    TPos pos = 0;
    for (std::int32_t i = 0; i < L.Count(); ++i) {
        if (L.StartPos(i) != pos)
            return ::testing::AssertionFailure() << "StartPos of paragraph " << i << " is " << L.StartPos(i)
                                                 << ", expected " << pos;
        const char* t = L.At(i).Text();
        if (t && std::strlen(t) != static_cast<std::size_t>(L.At(i).Len()))
            return ::testing::AssertionFailure() << "paragraph " << i << " is not NUL-terminated at its length";
        pos += L.At(i).Len() + 2;
    }
    if (L.Count() > 0 && L.TotalLen != pos - 2)
        return ::testing::AssertionFailure() << "TotalLen " << L.TotalLen << ", expected " << pos - 2;
    return ::testing::AssertionSuccess();
}

}  // namespace tarvex::test
