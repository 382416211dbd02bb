#include "text/fatal.h"

#include <new>

namespace tavenro {

void InstallOutOfMemoryStop() {
    std::set_new_handler([] { FatalStop("内存不足，程序将结束。"); });
}

} // namespace tavenro
