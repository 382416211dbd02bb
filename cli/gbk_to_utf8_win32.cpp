#include "cli/gbk_to_utf8.h"

#include <windows.h>

#include <limits>
#include <string>

namespace tavenro {

namespace {

constexpr UINT kGbk = 936;

} // namespace

Text GbkToUtf8(std::string_view gbk) {
    if (gbk.empty() || gbk.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return {};
    const int bytes = static_cast<int>(gbk.size());
    // Without MB_ERR_INVALID_CHARS, bytes outside the table become the
    // default character instead of failing the whole text.
    const int wideLength = MultiByteToWideChar(kGbk, 0, gbk.data(), bytes, nullptr, 0);
    if (wideLength <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(kGbk, 0, gbk.data(), bytes, wide.data(), wideLength);

    const int utf8Length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (utf8Length <= 0)
        return {};
    Text utf8(static_cast<std::size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                        nullptr);
    return utf8;
}

} // namespace tavenro
