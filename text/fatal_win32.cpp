#include "text/fatal.h"

#include <windows.h>

#include <string>

namespace tavenro {

void FatalStop(std::string_view message) {
    const std::string text(message);
    MessageBoxA(nullptr, text.c_str(), "Tavenro", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(static_cast<UINT>(-1));
}

} // namespace tavenro
