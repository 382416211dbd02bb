// Running out of memory anywhere in the toolkit ends the program through its
// fatal stop (exit code -1) and never yields a shortened or otherwise wrong
// result. Every routine below returns its result through std::string or
// std::vector, whose growth asks the global operator new; failing_new.cpp
// makes the n-th of those requests fail as an exhausted heap would, for every
// n the routine reaches.
#include "songs/pattern.h"
#include "tests/text/failing_new.h"
#include "text/bytes.h"
#include "text/fatal.h"
#include "text/text.h"
#include "web/cookies.h"
#include "web/text_between.h"
#include "web/url.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <set>
#include <string>
#include <vector>

namespace tavenro {
namespace {

using testing::FailAllocationsFrom;
using testing::StopFailing;

#ifdef _WIN32
constexpr int kFatalExitCode = -1;
#else
constexpr int kFatalExitCode = 255; // -1 as a POSIX parent sees it
#endif
// How a death-test child ends when the routine came back after all.
constexpr int kReturnedWhole = 2;
constexpr int kReturnedWrong = 3;

// Long enough that no result fits in a string's inline buffer.
const Text kLong = "  Set-Cookie: sid=0123456789abcdef; path=/; 學 HttpOnly 　";
const Text kReply =
    "{xsong_name:\"晴天小调\",xsinger_name:\"王一鸣\",xsong_url:'http://a.example/1.mp3'},"
    "{xsong_name:\"北方的雪\",xsong_url:'http://a.example/2.mp3'}";

Text Joined(const TextArray& list) {
    Text joined;
    for (const Text& element : list)
        joined += element + "|";
    return joined;
}

Text AsText(const Bytes& bytes) {
    return Text(bytes.begin(), bytes.end());
}

struct Routine {
    const char* name;
    std::function<Text()> run;
};

const std::vector<Routine>& Routines() {
    static const std::vector<Routine> routines = {
        {"TextLeft", [] { return TextLeft(kLong, 40); }},
        {"TextRight", [] { return TextRight(kLong, 40); }},
        {"TextMid", [] { return TextMid(kLong, 3, 40); }},
        {"ReplaceText",
         [] { return ReplaceText(kLong, "e", "EEEE", std::nullopt, std::nullopt, true); }},
        {"SplitText", [] { return Joined(SplitText(kLong, " ")); }},
        {"TrimText", [] { return TrimText(kLong); }},
        {"RemoveSpaces", [] { return RemoveSpaces(kLong); }},
        {"ToLower", [] { return ToLower(kLong); }},
        {"ConcatText",
         [] {
             return ConcatText({kLong, "; ", kLong});
         }},
        {"ToText", [] { return ToText(ToBytes(kLong)); }},
        {"BlankText", [] { return BlankText(5000); }},
        {"BytesLeft", [] { return AsText(BytesLeft(ToBytes(kLong), 30)); }},
        {"BlankBytes", [] { return AsText(BlankBytes(64)); }},
        {"ConcatBytes", [] { return AsText(ConcatBytes(ToBytes(kLong), ToBytes(kReply))); }},
        {"ToInteger", [] { return ToText(ToInteger("　　　　　　　　　　－４２")); }},
        {"ArrayAppend",
         [] {
             TextArray list;
             for (int i = 0; i < 10; ++i)
                 ArrayAppend(list, kLong);
             return Joined(list);
         }},
        {"TextBetween", [] { return TextBetween(kLong, "sid=", ";"); }},
        {"HeaderFieldValue", [] { return HeaderFieldValue(kLong); }},
        {"HostOfUrl", [] { return HostOfUrl("http://Www.Example-Host.Cn:8080/Path/To/Page?q=1"); }},
        {"PortOfUrl", [] { return ToText(PortOfUrl("http://www.example-host.cn:8080/path")); }},
        {"PathOfUrl", [] { return PathOfUrl("http://www.example-host.cn/Path/To/Page?query=1"); }},
        {"MergeCookies",
         [] {
             Text kept = "session=0123456789abcdef; theme=dark; lang=zh-CN";
             Text fresh = "theme=light; token=fedcba9876543210; lang=deleted";
             return MergeCookies(kept, fresh) + "|" + fresh;
         }},
        {"SearchAll",
         [] {
             Pattern pattern;
             (void)CompilePattern(pattern, "xsong_name:\"(.*?)\"(.*?)xsong_url:'(.*?)'");
             Text found;
             for (const MatchResult& match : SearchAll(pattern, kReply))
                 found += SubmatchText(match, kReply, 1) + SubmatchText(match, kReply, 3) + "|";
             return found;
         }},
    };
    return routines;
}

// Every allocation the routine makes. Under Wine each death test starts a
// process, so there a spread of them.
std::vector<long> FailurePoints(long count) {
#ifdef _WIN32
    std::set<long> points = {1, 2, 3, count / 4, count / 2, count * 3 / 4, count};
    std::erase_if(points, [&](long n) { return n < 1 || n > count; });
    return {points.begin(), points.end()};
#else
    std::vector<long> points;
    for (long n = 1; n <= count; ++n)
        points.push_back(n);
    return points;
#endif
}

class OutOfMemoryDeathTest : public ::testing::TestWithParam<Routine> {
  protected:
    void SetUp() override { InstallOutOfMemoryStop(); }
};

TEST_P(OutOfMemoryDeathTest, EveryFailedAllocationEndsTheProgram) {
    const Routine& routine = GetParam();
    // A first run fills what the libraries keep between calls (the matcher's
    // cache of memory blocks), so that the count below is the count of every
    // later run, the death-test children's included.
    (void)routine.run();
    FailAllocationsFrom(0);
    const Text whole = routine.run();
    const long count = StopFailing();
    ASSERT_GT(count, 0) << "the case should make the routine allocate";
    RecordProperty("allocations", std::to_string(count));

    // One allocation more than the routine needs changes nothing.
    FailAllocationsFrom(count + 1);
    const Text again = routine.run();
    EXPECT_EQ(StopFailing(), count);
    EXPECT_EQ(again, whole);

    for (const long n : FailurePoints(count)) {
        SCOPED_TRACE(::testing::Message() << "allocation " << n << " of " << count);
        EXPECT_EXIT(
            {
                FailAllocationsFrom(n);
                const Text result = routine.run();
                StopFailing();
                std::_Exit(result == whole ? kReturnedWhole : kReturnedWrong);
            },
            ::testing::ExitedWithCode(kFatalExitCode), "内存不足");
    }
}

INSTANTIATE_TEST_SUITE_P(Toolkit, OutOfMemoryDeathTest, ::testing::ValuesIn(Routines()),
                         [](const ::testing::TestParamInfo<Routine>& info) {
                             return std::string(info.param.name);
                         });

// The hook is only as good as its likeness to the real thing: without a
// handler a failed allocation throws, as operator new does.
TEST(FailingNew, WithoutAHandlerThrowsBadAlloc) {
    const std::new_handler previous = std::set_new_handler(nullptr);
    bool threw = false;
    FailAllocationsFrom(1);
    try {
        (void)TextLeft(kLong, 40);
    } catch (const std::bad_alloc&) {
        threw = true;
    }
    StopFailing();
    std::set_new_handler(previous);
    EXPECT_TRUE(threw);
}

} // namespace
} // namespace tavenro
