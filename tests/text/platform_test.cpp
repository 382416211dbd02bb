// What the Windows build depends on from the platform it runs on.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

TEST(Platform, RunsInTheChineseCodePage) { EXPECT_EQ(GetACP(), 936u); }
#endif

TEST(Platform, LiteralsAreGbkBytes) {
    // The executable charset turns the UTF-8 source into GBK.
    EXPECT_EQ(std::string("#引号"), "\x23\xD2\xFD\xBA\xC5");
    EXPECT_EQ(std::string("學"), "\x8C\x57");
    EXPECT_EQ(std::string("　"), "\xA1\xA1");
}
