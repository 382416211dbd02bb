// The one way the program stops on a condition it cannot go on from (an
// index outside a list, memory exhausted). Each platform supplies it: the
// Windows build shows a modal error box, the native build writes to stderr;
// both end the process with exit code -1.
#pragma once

#include <string_view>

namespace tavenro {

[[noreturn]] void FatalStop(std::string_view message);

// Routes a failed allocation to FatalStop; called once at program start.
void InstallOutOfMemoryStop();

} // namespace tavenro
