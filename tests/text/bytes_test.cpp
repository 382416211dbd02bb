#include "text/bytes.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavenro {
namespace {

Bytes Of(std::initializer_list<int> values) {
    Bytes b;
    for (int v : values)
        b.push_back(static_cast<std::uint8_t>(v));
    return b;
}

TEST(BytesOps, LeftBlankConcatCompare) {
    const Bytes kilo(1024, 7);
    EXPECT_EQ(BytesLeft(kilo, 300), Bytes(300, 7));
    EXPECT_EQ(BytesLeft(kilo, 0), Bytes{});
    EXPECT_EQ(BytesLeft(kilo, -1), Bytes{});
    EXPECT_EQ(BytesLeft(kilo, 5000), kilo);
    EXPECT_EQ(BytesLength(kilo), 1024);

    EXPECT_EQ(BlankBytes(3), Of({0, 0, 0}));
    EXPECT_EQ(BlankBytes(0), Bytes{});
    EXPECT_EQ(BlankBytes(-2), Bytes{});

    EXPECT_EQ(ConcatBytes(Bytes{}, Bytes{}), Bytes{});
    EXPECT_EQ(ConcatBytes(Bytes{}, Of({1, 2, 3})), Of({1, 2, 3}));
    EXPECT_EQ(ConcatBytes(Of({1}), Of({0}), Of({2})), Of({1, 0, 2}));

    EXPECT_EQ(CompareBytes({}, {}), 0);
    EXPECT_NE(CompareBytes({}, Of({0})), 0);
    EXPECT_EQ(CompareBytes(Of({1, 2}), Of({1, 2})), 0);
    EXPECT_EQ(CompareBytes(Of({1, 2}), Of({1, 3})), -1);
    EXPECT_EQ(CompareBytes(Of({0xFF}), Of({1})), 1);
    EXPECT_EQ(CompareBytes(Of({1}), Of({1, 2})), 1);
}

TEST(BytesConversions, TextsAndBuffers) {
    EXPECT_EQ(ToBytes("abc").size(), 3u);
    EXPECT_TRUE(ToBytes("").empty());
    EXPECT_EQ(ToText(Of({0x61, 0x62, 0x00, 0x63})), "ab");
    EXPECT_EQ(ToText(Of({0x00, 0x61})), "");
    EXPECT_EQ(ToText(Of({0x61, 0x62})), "ab");
    EXPECT_EQ(ToText(Bytes{}), "");
    EXPECT_EQ(BlankText(5000), std::string(5000, ' '));
    EXPECT_EQ(BlankText(0), "");
    EXPECT_EQ(BlankText(-1), "");
    EXPECT_EQ(ToText(std::string_view("學")), "學");
}

TEST(BytesConversions, NumbersToText) {
    EXPECT_EQ(ToText(-12), "-12");
    EXPECT_EQ(ToText(0), "0");
    EXPECT_EQ(ToText(std::numeric_limits<int>::min()), "-2147483648");
    struct Case {
        double value;
        const char* want;
    };
    for (const Case& c : {Case{2.5, "2.5"}, Case{1.0 / 3, "0.3333333333333"},
                          Case{1e13, "1e+13"}, Case{1234567890123.0, "1234567890123"},
                          Case{0.0001, "0.0001"}, Case{0.00001, "1e-05"}, Case{-0.5, "-0.5"},
                          Case{100.0, "100"}}) {
        SCOPED_TRACE(c.want);
        EXPECT_EQ(ToText(c.value), c.want);
    }
}

TEST(BytesConversions, ToInteger) {
    struct Case {
        const char* text;
        int want;
    };
    for (const Case& c : {
             Case{"8080", 8080}, Case{" 42abc", 42}, Case{"-7", -7}, Case{"+7", 7},
             Case{"abc", 0}, Case{"", 0}, Case{"４４３", 443}, Case{"　12", 12},
             Case{"－５", -5}, Case{"4294967297", 1}, Case{"2147483648", -2147483648},
             Case{"0x1F", 0}, Case{"\t\n\v\f\r 9", 9}, Case{"- 1", 0}, Case{"12\x8C", 12},
             Case{"１\xA3", 1},
         }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ToInteger(c.text), c.want);
    }
}

TEST(TextArrayOps, AppendAndIndex) {
    TextArray list;
    EXPECT_EQ(ArrayCount(list), 0);
    ArrayAppend(list, "x");
    ArrayAppend(list, "");
    EXPECT_EQ(ArrayCount(list), 2);
    EXPECT_EQ(list.At(1), "x");
    EXPECT_EQ(list.At(2), "");
}

// The fatal stop ends the process with -1, which a POSIX parent sees as 255.
#ifdef _WIN32
constexpr int kFatalExitCode = -1;
#else
constexpr int kFatalExitCode = 255;
#endif

TEST(TextArrayOpsDeathTest, IndexOutsideStopsTheProgram) {
    TextArray list;
    ArrayAppend(list, "x");
    EXPECT_EXIT((void)list.At(0), testing::ExitedWithCode(kFatalExitCode), "");
    EXPECT_EXIT((void)list.At(2), testing::ExitedWithCode(kFatalExitCode), "");
}

} // namespace
} // namespace tavenro
