#include "text/fatal.h"

#include <cstdio>
#include <cstdlib>

namespace tavenro {

void FatalStop(std::string_view message) {
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    std::_Exit(-1);
}

} // namespace tavenro
