#include <cfenv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "Texts.h"
#include "services/text/Text.h"
#include "tests/support/TestHeap.h"

using namespace services;

namespace {

// Counts the heap's blocks across one expression, so a test sees exact allocation sizes.
struct HeapScope {
    HeapScope() { testheap::Reset(); }
    int allocations() const { return testheap::Current().allocations; }
    std::size_t lastSize() const { return testheap::Current().lastSize; }
};

TEST(TextLength, AbsentEmptyAndBytes) {
    EXPECT_EQ(TextLength(nullptr), 0);
    EXPECT_EQ(TextLength(""), 0);
    EXPECT_EQ(TextLength(Text{}), 0);
    EXPECT_EQ(TextLength("D:\\e\\lib\\"), 9);
    EXPECT_EQ(TextLength("\xD0\xDE\xB8\xB4"), 4);  // two double-byte characters are four bytes
}

TEST(ConcatText, OneBlockOfExactSize) {
    HeapScope heap;
    const Text joined = ConcatText(Text{}, "tools\\link.ini");
    EXPECT_STREQ(joined.c_str(), "tools\\link.ini");
    EXPECT_EQ(heap.allocations(), 1);
    EXPECT_EQ(heap.lastSize(), 15u);

    const Text three = ConcatText("linker=", "C:\\x\\", "link.exe");
    EXPECT_STREQ(three.c_str(), "linker=C:\\x\\link.exe");
    EXPECT_EQ(heap.lastSize(), 21u);
}

TEST(ConcatText, EmptyPartsGiveAFreshEmptyText) {
    HeapScope heap;
    const Text empty = ConcatText(nullptr, "");
    EXPECT_FALSE(empty.IsAbsent());
    EXPECT_STREQ(empty.c_str(), "");
    EXPECT_EQ(heap.lastSize(), 1u);
}

TEST(ConcatText, ReleasesEveryBlock) {
    const int before = testheap::Current().live;
    {
        Text a = ConcatText("a", "b");
        Text b = ConcatText(a, a);
        a = std::move(b);  // the old block of `a` goes back at once
        EXPECT_EQ(testheap::Current().live, before + 1);
    }
    EXPECT_EQ(testheap::Current().live, before);
}

struct CompareCase { const char* a; const char* b; int want; };
constexpr CompareCase kCompare[] = {
    {nullptr, "", 0},          {nullptr, nullptr, 0},     {nullptr, "linker=", -1}, {"linker=", nullptr, 1},
    {"abc", "abc", 0},         {"ab", "abc", -1},         {"abc", "ab", 1},         {"a", "A", 1},
    {"A", "a", -1},            {"\x80", "\x7F", 1},       {"\x7F", "\xFF", -1},     {"C:\\x", "c:\\x", -1},
};

TEST(CompareText, Table) {
    for (const auto& c : kCompare) {
        SCOPED_TRACE(testing::Message() << (c.a ? c.a : "(absent)") << " vs " << (c.b ? c.b : "(absent)"));
        EXPECT_EQ(CompareText(c.a, c.b), c.want);
    }
}

struct FindCase { const char* text; const char* sought; int start; bool ignoreCase; int want; };
constexpr FindCase kFind[] = {
    {"abcde", "c", 1, false, 3},
    {"abcde", "c", 0, false, 3},                  // a start below 1 searches the whole text
    {"abcde", "c", -7, false, 3},
    {"abcde", "c", INT_MIN, false, 3},
    {"abcde", "c", 4, false, -1},
    {"abcde", "c", INT_MAX, false, -1},
    {"abcde", "", 3, false, 1},                    // empty sought text: 1 while bytes remain
    {"abcde", "", 5, false, 1},
    {"abcde", "", 6, false, -1},                   // one past the last byte
    {"", "", 1, false, -1},
    {nullptr, "a", 1, false, -1},
    {"ab", "abc", 1, false, -1},
    {"aaa", "aa", 1, false, 1},
    {"aaa", "aa", 2, false, 2},                    // overlapping occurrences count
    {"D:\\e\\LIB\\", "lib\\", 1, false, -1},       // case-sensitive
    {"D:\\e\\LIB\\", "lib\\", 1, true, 6},
    {"D:\\lib\\e\\lib\\", "lib\\", 1, false, 4},
    {"\xB0lib\\", "lib\\", 1, false, -1},          // a stray lead byte swallows the l
    {"\xB0lib\\lib\\", "lib\\", 1, false, 6},
    {"\xB0lib\\", "lib\\", 2, false, 2},           // characters are counted from the start position
    {"\xD5\x5C\\", "\\", 1, false, 3},             // 0x5C as a trail byte is no backslash
    {"\xD5\x5C", "\\", 1, false, -1},
    {"\xC4\x41", "\xC4\x61", 1, true, -1},         // a trail byte is never folded
    {"x\xC4\x41", "x\xC4\x41", 1, true, 1},
    {"ab\x81", "\x81", 1, false, 3},               // a lead byte just before the NUL is still compared
};

TEST(FindText, Table) {
    for (const auto& c : kFind) {
        SCOPED_TRACE(testing::Message() << "text=" << (c.text ? c.text : "(absent)") << " sought=" << c.sought
                                        << " start=" << c.start << " ignoreCase=" << c.ignoreCase);
        EXPECT_EQ(FindText(c.text, c.sought, c.start, c.ignoreCase), c.want);
    }
}

struct ReverseCase { const char* text; const char* sought; bool ignoreCase; int want; };
constexpr ReverseCase kReverse[] = {
    {"D:\\e\\lib\\x", "\\", false, 9},
    {"D:\\e\\lib\\", "\\", false, 9},
    {"Path", "\\", false, -1},
    {"", "\\", false, -1},
    {nullptr, "\\", false, -1},
    {"abc", "", false, 1},
    {"", "", false, -1},
    {"aaa", "aa", false, 2},                       // where the last occurrence begins
    {"D:\\\xD5\x5C", "\\", false, 3},              // the last 0x5C is a trail byte
    {"\xD5\x5C", "\\", false, -1},
    {"D:\\E\\lib\\", "e\\", true, 4},
    {"\xB0\\", "\\", false, -1},
};

TEST(FindTextReverse, Table) {
    for (const auto& c : kReverse) {
        SCOPED_TRACE(testing::Message() << "text=" << (c.text ? c.text : "(absent)") << " sought=" << c.sought);
        EXPECT_EQ(FindTextReverse(c.text, c.sought, c.ignoreCase), c.want);
    }
}

struct LeftCase { const char* text; int count; const char* want; };  // want nullptr: absent
constexpr LeftCase kLeft[] = {
    {"D:\\e\\lib\\", 0, nullptr},   {"D:\\e\\lib\\", -1, nullptr}, {"D:\\e\\lib\\", INT_MIN, nullptr},
    {"D:\\e\\lib\\", 100, "D:\\e\\lib\\"}, {"D:\\e\\lib\\", 9, "D:\\e\\lib\\"}, {"D:\\e\\lib\\", 5, "D:\\e\\"},
    {"\xD0\xDE\xB8\xB4", 1, "\xD0"}, {"", 3, nullptr},             {nullptr, 3, nullptr},
};

TEST(TextLeft, Table) {
    for (const auto& c : kLeft) {
        SCOPED_TRACE(testing::Message() << (c.text ? c.text : "(absent)") << " count=" << c.count);
        const Text left = TextLeft(c.text, c.count);
        EXPECT_EQ(left.IsAbsent(), c.want == nullptr);
        EXPECT_STREQ(left.c_str(), c.want ? c.want : "");
    }
}

TEST(CopyText, AbsentStaysAbsentEmptyStaysPresent) {
    EXPECT_TRUE(CopyText(nullptr).IsAbsent());
    EXPECT_TRUE(CopyText(Text{}).IsAbsent());
    const Text empty = CopyText("");
    EXPECT_FALSE(empty.IsAbsent());
    EXPECT_STREQ(empty.c_str(), "");

    const char* literal = "lib\\";
    const Text copy = CopyText(literal);
    EXPECT_STREQ(copy.c_str(), literal);
    EXPECT_NE(copy.c_str(), literal);
}

TEST(TextFromBytes, StopsAtNulAndGivesAbsentForEmpty) {
    EXPECT_STREQ(TextFromBytes(std::string_view("C:\\e\0junk", 9)).c_str(), "C:\\e");
    EXPECT_TRUE(TextFromBytes(std::string_view("\0x", 2)).IsAbsent());
    EXPECT_TRUE(TextFromBytes({}).IsAbsent());
}

TEST(ByteSet, LengthAndData) {
    constexpr unsigned char kSet[] = {1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'};
    constexpr unsigned char kWide[] = {1, 0, 0, 0, 0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(ByteSetLength(nullptr), 0u);
    EXPECT_EQ(ByteSetLength(kEmptyByteSet), 0u);
    EXPECT_EQ(ByteSetLength(kSet), 3u);
    EXPECT_EQ(ByteSetLength(kWide), 0x01020304u);  // little-endian
    EXPECT_EQ(ByteSetData(nullptr), nullptr);
    EXPECT_EQ(ByteSetData(kSet), kSet + 8);
}

TEST(ByteSet, CopyIsExactAndOwned) {
    constexpr unsigned char kSet[] = {1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'};
    HeapScope heap;
    const ByteSet copy = CopyByteSet(kSet);
    EXPECT_EQ(heap.lastSize(), sizeof kSet);
    ASSERT_NE(ByteSetRef(copy).block(), kSet);
    EXPECT_EQ(std::memcmp(ByteSetRef(copy).block(), kSet, sizeof kSet), 0);

    const ByteSet empty = CopyByteSet(kEmptyByteSet);
    EXPECT_EQ(heap.lastSize(), 8u);
    EXPECT_EQ(std::memcmp(ByteSetRef(empty).block(), kEmptyByteSet, 8), 0);
}

struct TruncCase { double value; std::int64_t want; };
const TruncCase kTrunc[] = {
    {8.0, 8}, {2.9, 2}, {-2.9, -2}, {2.5, 2}, {-2.5, -2}, {0.5, 0}, {-0.5, 0}, {-0.0, 0},
    {4294967295.0, 4294967295LL}, {-9223372036854775808.0, INT64_MIN},
    {1e300, INT64_MIN}, {-1e300, INT64_MIN}, {std::numeric_limits<double>::quiet_NaN(), INT64_MIN},
    {std::numeric_limits<double>::infinity(), INT64_MIN},
};

TEST(TruncateToInteger, TowardZeroInEveryRoundingModeAndModeKept) {
    for (const int mode : {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO}) {
        ASSERT_EQ(std::fesetround(mode), 0);
        for (const auto& c : kTrunc) {
            SCOPED_TRACE(testing::Message() << "mode=" << mode << " value=" << c.value);
            volatile double value = c.value;  // keep the compiler from folding the conversion
            EXPECT_EQ(TruncateToInteger(value), c.want);
            EXPECT_EQ(std::fegetround(), mode);
        }
    }
    std::fesetround(FE_TONEAREST);
}

// The program's texts are GBK bytes whatever the compiler's settings.
TEST(Texts, AreGbkBytes) {
    EXPECT_STREQ(text::kFatalCaption, "\xB4\xED\xCE\xF3");                            // 错误
    EXPECT_STREQ(text::kFatalHeading, "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!");  // 运行时出错!
    EXPECT_STREQ(text::kFatalMessageLabel, "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA");
}

}  // namespace
