#include "text/fatal.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace tavenro {

void FatalStop(std::string_view message) {
    // Nothing here may allocate: the stop also ends a program whose heap is
    // exhausted, where an allocation would call the stop again, and again.
    char text[512];
    const std::size_t length = std::min(message.size(), sizeof text - 1);
    std::memcpy(text, message.data(), length);
    text[length] = '\0';
    MessageBoxA(nullptr, text, "Tavenro", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(static_cast<UINT>(-1));
}

} // namespace tavenro
