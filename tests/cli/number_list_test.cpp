// Numbers read from a file or standard input, one a line.
#include "cli/number_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavenro {
namespace {

using ::testing::ElementsAreArray;
using namespace std::string_view_literals;

TEST(ParseNumberLines, ReadsOneNumberALine) {
    struct Case {
        const char* what;
        std::string_view content;
        std::vector<Text> numbers;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"final line end", "10001\n10002\n", {"10001", "10002"}},
        {"no final line end", "10001\n10002", {"10001", "10002"}},
        {"Windows line ends", "10001\r\n10002\r\n", {"10001", "10002"}},
        {"blanks around and blank lines", "\n  10001 \t\n\r\n\n10002", {"10001", "10002"}},
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "10001\r\n",
         {"10001"}},
        {"repeats kept", "1\n1\n", {"1", "1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const NumberLines lines = ParseNumberLines(c.content);
        EXPECT_EQ(lines.error, "");
        EXPECT_THAT(lines.numbers, ElementsAreArray(c.numbers));
    }
}

TEST(ParseNumberLines, NamesTheFirstLineThatIsNoNumber) {
    struct Case {
        std::string_view content;
        std::string_view error;
    };
    const Case cases[] = {
        {"10001\nabc\nxyz\n", "line 2: 'abc' is not a QQ number"},
        {"\n\n1 2\n", "line 3: '1 2' is not a QQ number"},
        {"10001,10002", "line 1: '10001,10002' is not a QQ number"},
        // A file saved as UTF-16: its zero bytes are shown as blanks.
        {"\xFF\xFE"
         "1\0"
         "2\0"sv,
         "line 1: '\xFF\xFE"
         "1 2 ' is not a QQ number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(ParseNumberLines(c.content).error, c.error);
    }
}

} // namespace
} // namespace tavenro
