#include "cli/console_output.h"

#include <cstdio>

namespace tavenro {

void ConsoleOutput::Write(std::string_view bytes) {
    // The terminal's own encoding is not consulted: UTF-8 (or GBK for raw)
    // is what was asked for.
    (void)raw_;
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

} // namespace tavenro
