// The service's GBK texts as UTF-8, through the platform's table.
#include "cli/gbk_to_utf8.h"

#include <gtest/gtest.h>
#include <string>

namespace tavenro {
namespace {

std::string Utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || i + length > text.size())
            return false;
        char32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

TEST(GbkToUtf8, ConvertsGbkText) {
    struct Case {
        std::string_view gbk; // written as "..." and so GBK bytes
        std::u8string_view utf8;
    };
    const Case cases[] = {
        {"", u8""},
        {"http://a.example/1.mp3 ", u8"http://a.example/1.mp3 "},
        {"山间小路", u8"山间小路"},
        {"We&#39;re Home 回家", u8"We&#39;re Home 回家"},
        {"誠\\", u8"誠\\"}, // D5 5C 5C: one character, then a backslash
        {"一共搜索到 [6]首歌曲", u8"一共搜索到 [6]首歌曲"},
        {"\x80", u8"€"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.utf8));
        EXPECT_EQ(GbkToUtf8(c.gbk), Utf8(c.utf8));
    }
}

TEST(GbkToUtf8, BytesOutsideGbkStillGiveUtf8AndTheRestIsKept) {
    struct Case {
        std::string_view gbk;
        std::string_view begins;
        std::string_view ends;
    };
    const Case cases[] = {
        {"ab\x81", "ab", ""},     // a lead byte at the end
        {"a\xFF\xFFz", "a", "z"}, // no GBK character
        {"\x81\x7F"
         "z",
         "", "z"}, // a lead byte before a control byte
        {"a\x81\x20"
         "b",
         "a", "b"}, // a lead byte before a blank
    };
    for (const Case& c : cases) {
        const Text utf8 = GbkToUtf8(c.gbk);
        SCOPED_TRACE(utf8);
        EXPECT_TRUE(IsUtf8(utf8));
        EXPECT_TRUE(utf8.starts_with(c.begins));
        EXPECT_TRUE(utf8.ends_with(c.ends));
        EXPECT_GT(utf8.size(), c.begins.size() + c.ends.size());
    }
}

} // namespace
} // namespace tavenro
