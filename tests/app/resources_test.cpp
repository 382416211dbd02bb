// The resources Tavenro.exe carries, read from this test's own module, which
// links the same compiled resource script.
#include "app/badge_win32.h"
#include "app/resource_ids.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace tavenro {
namespace {

std::string ToLowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class VersionRecord {
  public:
    VersionRecord() {
        char path[MAX_PATH]{};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        DWORD ignored = 0;
        data_.resize(GetFileVersionInfoSizeA(path, &ignored));
        if (!data_.empty() &&
            !GetFileVersionInfoA(path, 0, static_cast<DWORD>(data_.size()), data_.data()))
            data_.clear();
    }

    [[nodiscard]] bool Present() const { return !data_.empty(); }

    [[nodiscard]] std::string String(const std::string& name) const {
        void* value = nullptr;
        UINT length = 0;
        const std::string key = "\\StringFileInfo\\080404b0\\" + name;
        if (!VerQueryValueA(data_.data(), key.c_str(), &value, &length) || !value)
            return "<missing>";
        return static_cast<const char*>(value);
    }

    [[nodiscard]] const VS_FIXEDFILEINFO* Fixed() const {
        void* value = nullptr;
        UINT length = 0;
        return VerQueryValueA(data_.data(), "\\", &value, &length)
                   ? static_cast<const VS_FIXEDFILEINFO*>(value)
                   : nullptr;
    }

    [[nodiscard]] std::vector<WORD> Translation() const {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation", &value, &length))
            return {};
        const auto* words = static_cast<const WORD*>(value);
        return {words, words + length / sizeof(WORD)};
    }

  private:
    std::vector<char> data_;
};

TEST(Resources, VersionRecordInChinesePrcWithUnicodeStrings) {
    const VersionRecord record;
    ASSERT_TRUE(record.Present());
    EXPECT_EQ(record.Translation(), (std::vector<WORD>{0x0804, 1200}));
    for (const char* name : {"FileDescription", "ProductName", "Comments"})
        EXPECT_EQ(record.String(name), "Tavenro") << name;
    EXPECT_EQ(record.String("FileVersion"), "1.0.0.0");
    EXPECT_EQ(record.String("ProductVersion"), "1.0.0.0");
    EXPECT_NE(record.String("CompanyName"), "<missing>");
    EXPECT_NE(record.String("LegalCopyright"), "<missing>");
    const VS_FIXEDFILEINFO* fixed = record.Fixed();
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(Resources, ManifestAsksForCommonControlsSixAndNoDpiAwareness) {
    const HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
    ASSERT_TRUE(found);
    const char* text = static_cast<const char*>(LockResource(LoadResource(self, found)));
    const std::string manifest(text, SizeofResource(self, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_EQ(manifest.find(">true<"), std::string::npos) << "not DPI-aware";

    // And the loader honoured it: the common controls come from the side-by-side
    // assembly of version 6. (Wine's copy there still reports 5.81 from
    // DllGetVersion, so the version is read from where it was loaded.)
    InitCommonControls();
    char path[MAX_PATH]{};
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, MAX_PATH);
    const std::string loaded = ToLowerAscii(path);
    EXPECT_NE(loaded.find("microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::string::npos)
        << loaded;
}

TEST(Resources, IconInTheUsualSizes) {
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        HICON icon = static_cast<HICON>(LoadImageA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TAVENRO), IMAGE_ICON, size, size, 0));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(Resources, BadgeDecodesToNinetyByTwentyTwo) {
    const BadgePicture badge =
        BadgePicture::Load(GetModuleHandleA(nullptr), IDR_GROUP_BADGE, RGB(1, 2, 3));
    ASSERT_FALSE(badge.IsEmpty());
    EXPECT_EQ(badge.Size().cx, 90);
    EXPECT_EQ(badge.Size().cy, 22);
    EXPECT_TRUE(BadgePicture::Load(GetModuleHandleA(nullptr), 9999, RGB(1, 2, 3)).IsEmpty());
}

} // namespace
} // namespace tavenro
