#include <gtest/gtest.h>

#include <cstring>

#include "textstore/dyn_array.h"
#include "textstore/dyn_info.h"
#include "textstore/line_array.h"
#include "textstore/paragraphs_list.h"

namespace tarvex {
namespace {

// Records of 3000 bytes: ten a block, not a power of two, so moves cross blocks often.
class TBigItems : public TDynArray2 {
public:
    explicit TBigItems(std::uint16_t Stride = 3000) { SetLayout(sizeof(std::int32_t), Stride); }
    std::int32_t Get(std::int32_t i) {
        std::int32_t v;
        GetItem(i, &v);
        return v;
    }
    void Put(std::int32_t i, std::int32_t v) { SetItem(i, &v); }
};

TEST(DynArray, IndexRules) {
    TBigItems a;
    std::int32_t v = 7;
    a.Add(&v);
    v = 8;
    a.Add(&v);
    EXPECT_EQ(a.Get(-5), 7) << "a negative index means item 0";
    try {
        a.Get(2);
        FAIL() << "index Count must raise";
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds");
    }
    a.SetCount(-3);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_THROW(a.ItemPtr(0), ERangeError);
}

TEST(DynArray, CapacityIsWholeBlocks) {
    TBigItems a;  // 10 items a block
    a.SetCapacity(0);
    EXPECT_EQ(a.Capacity(), 10);
    a.SetCapacity(11);
    EXPECT_EQ(a.Capacity(), 20);
    a.SetCount(35);
    EXPECT_EQ(a.Capacity(), 40);
    a.SetCapacity(5);
    EXPECT_EQ(a.Capacity(), 10);
    EXPECT_EQ(a.Count(), 10) << "items beyond a reduced capacity are gone";
}

// Insert and delete at every index of arrays that span several blocks, in both
// block layouts, against a vector.
TEST(DynArray, InsertAndDeleteAcrossBlocksKeepOrder) {
    for (std::uint16_t stride : {3000, 4096}) {
        for (std::int32_t n : {1, 9, 10, 11, 37}) {
            for (std::int32_t at = 0; at <= n; ++at) {
                for (std::int32_t k : {1, 3, 12}) {
                    TBigItems a(stride);
                    std::vector<std::int32_t> ref;
                    for (std::int32_t i = 0; i < n; ++i) {
                        a.Add(&i);
                        ref.push_back(i);
                    }
                    a.InsertSlots(at, k);
                    for (std::int32_t j = 0; j < k; ++j) a.Put(at + j, 1000 + j);
                    ref.insert(ref.begin() + at, k, 0);
                    for (std::int32_t j = 0; j < k; ++j) ref[static_cast<std::size_t>(at + j)] = 1000 + j;
                    ASSERT_EQ(a.Count(), static_cast<std::int32_t>(ref.size()));
                    for (std::int32_t i = 0; i < a.Count(); ++i) ASSERT_EQ(a.Get(i), ref[static_cast<std::size_t>(i)]);
                    const std::int32_t del = std::min(k + 1, a.Count() - at);
                    a.DeleteSlots(at, del);
                    ref.erase(ref.begin() + at, ref.begin() + at + del);
                    ASSERT_EQ(a.Count(), static_cast<std::int32_t>(ref.size()));
                    for (std::int32_t i = 0; i < a.Count(); ++i)
                        ASSERT_EQ(a.Get(i), ref[static_cast<std::size_t>(i)]) << "stride " << stride << " n " << n << " at " << at;
                }
            }
        }
    }
}

TEST(DynArray, FewerRecordsABlockKeepTheItems) {
    TBigItems a;  // 10 items a block
    for (std::int32_t i = 0; i < 25; ++i) a.Add(&i);
    a.SetItemsPerBlock(3);
    EXPECT_EQ(a.ItemsPerBlock(), 3);
    EXPECT_EQ(a.Capacity(), 27);
    for (std::int32_t i = 0; i < 25; ++i) ASSERT_EQ(a.Get(i), i);
    a.SetItemsPerBlock(2);  // a power of two takes the shift path
    a.InsertSlots(3, 4);
    for (std::int32_t j = 0; j < 4; ++j) a.Put(3 + j, 100 + j);
    a.DeleteSlots(0, 5);  // 0 1 2 100 101 go
    EXPECT_EQ(a.Get(0), 102);
    EXPECT_EQ(a.Get(2), 3);
    EXPECT_EQ(a.Get(a.Count() - 1), 24);
    a.SetItemsPerBlock(1000);
    EXPECT_EQ(a.ItemsPerBlock(), 10) << "never more than a block holds";
    EXPECT_EQ(a.Get(a.Count() - 1), 24);
}

TEST(DynArray, ParagraphRecordsFillWholeBlocks) {
    TParagraphsList l;
    EXPECT_EQ(static_cast<std::int32_t>(sizeof(ParInfo)) * l.RecordsPerBlock(), TParagraphsList::kBlockSize - 8)
        << "24-byte records: the block's last 8 bytes stay unused";
    EXPECT_EQ(l.BlockCount(), 1) << "a new list holds one block";
}

// The line records of a wrapped paragraph: lines inserted and removed in the
// middle keep their neighbours, and the record stays small.
TEST(LineArray, ReplaceKeepsNeighbours) {
    static_assert(sizeof(LineInfo) == 28 && sizeof(TLineArray) == 16);
    TLineArray a;
    a.resize(4);
    for (std::size_t i = 0; i < 4; ++i) a[i].Start = static_cast<std::int32_t>(i + 1);
    a.Replace(1, 0, 2);  // 1 0 0 2 3 4
    ASSERT_EQ(a.size(), 6u);
    EXPECT_EQ(a[0].Start, 1);
    EXPECT_EQ(a[1], LineInfo{});
    EXPECT_EQ(a[3].Start, 2);
    EXPECT_EQ(a[5].Start, 4);
    a.Replace(3, 3, 0);  // 1 0 0
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[0].Start, 1);
    a[2].Start = 9;
    a.Replace(2, 1, 1);  // same size: the line is reset
    EXPECT_EQ(a[2].Start, 0);
    a.resize(1);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].Start, 1);
    a.Replace(0, 1, 0);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(a.begin(), a.end());
}

TEST(LineArray, PackedStyleAndSpaces) {
    LineInfo l;
    l.Spaces = kMaxLineSpaces;
    l.Style = 255;
    EXPECT_EQ(l.Spaces, kMaxLineSpaces) << "the style byte must not eat into the count";
    EXPECT_EQ(l.Style, 255u);
}

TEST(DynPoints, GapsAndInsertsKeepOrderOnShortAndLongTails) {
    // Short tails are shifted point by point, long ones moved as a block:
    // both must give what the library's insert gives.
    for (std::size_t size : {0u, 1u, 63u, 64u, 65u, 200u})
        for (std::size_t at = 0; at <= size; at += size / 7 + 1)
            for (std::size_t n : {1u, 2u, 5u}) {
                TDynInfoArray d, expect;
                for (std::size_t k = 0; k < size; ++k) d.push_back({static_cast<std::int32_t>(k), static_cast<std::uint32_t>(k)});
                expect = d;
                DynOpenGap(d, at, n);
                for (std::size_t k = 0; k < n; ++k) d[at + k] = {-1, 7};
                expect.insert(expect.begin() + static_cast<std::ptrdiff_t>(at), n, TDynPoint{-1, 7});
                ASSERT_EQ(d.size(), expect.size());
                for (std::size_t k = 0; k < d.size(); ++k) {
                    ASSERT_EQ(d[k].Offset, expect[k].Offset) << size << " " << at << " " << n << " " << k;
                    ASSERT_EQ(d[k].State, expect[k].State);
                }
                DynInsert(d, 0, {-2, 9});
                EXPECT_EQ(d.front().Offset, -2);
                EXPECT_EQ(d.size(), expect.size() + 1);
            }
}

}  // namespace
}  // namespace tarvex
