#include "cli/console_output.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace tavenro {

namespace {

void WriteBytes(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0)
            return;
        bytes.remove_prefix(written);
    }
}

void WriteUtf8ToConsole(HANDLE console, std::string_view utf8) {
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wideLength <= 0)
        return;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        wideLength);

    // Older consoles refuse very large writes; pieces never split a
    // surrogate pair.
    constexpr std::size_t kPiece = 8192;
    std::wstring_view rest = wide;
    while (!rest.empty()) {
        std::size_t length = std::min(rest.size(), kPiece);
        if (length < rest.size() && IS_HIGH_SURROGATE(rest[length - 1]))
            --length;
        DWORD written = 0;
        if (!WriteConsoleW(console, rest.data(), static_cast<DWORD>(length), &written, nullptr) ||
            written == 0)
            return;
        rest.remove_prefix(written);
    }
}

} // namespace

void ConsoleOutput::Write(std::string_view bytes) {
    if (bytes.empty())
        return;
    const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    if (!raw_ && GetConsoleMode(handle, &mode))
        WriteUtf8ToConsole(handle, bytes);
    else
        WriteBytes(handle, bytes);
}

} // namespace tavenro
