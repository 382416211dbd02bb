// A failed allocation here does what the standard operator new does when the
// heap is exhausted: it calls the installed new-handler and tries again, and
// throws std::bad_alloc when there is no handler. The program's own handler
// (InstallOutOfMemoryStop) is thus exercised exactly as a real failure would
// exercise it.
#include "tests/text/failing_new.h"

#include <cstdlib>
#include <new>

namespace tavenro::testing {

namespace {

// Plain globals: the hook runs before main and inside death-test children,
// where nothing may allocate. One thread only.
bool counting = false;
long failFrom = 0; // 0: never
long asked = 0;

// A handler that keeps returning without freeing anything would make the
// standard loop spin forever; after this many returns the hook gives up with
// bad_alloc, so that a broken stop shows as a failed test, not a hang.
constexpr int kHandlerReturnsBeforeGivingUp = 100;

bool ThisOneFails() {
    if (!counting)
        return false;
    ++asked;
    return failFrom != 0 && asked >= failFrom;
}

void* Allocate(std::size_t size) {
    if (size == 0)
        size = 1;
    const bool fails = ThisOneFails();
    for (int returns = 0;; ++returns) {
        if (!fails) {
            if (void* block = std::malloc(size))
                return block;
        }
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr || returns == kHandlerReturnsBeforeGivingUp)
            throw std::bad_alloc();
        handler();
    }
}

void* AllocateOrNull(std::size_t size) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

void FailAllocationsFrom(long n) {
    asked = 0;
    failFrom = n;
    counting = true;
}

long StopFailing() {
    counting = false;
    failFrom = 0;
    return asked;
}

} // namespace tavenro::testing

using tavenro::testing::Allocate;
using tavenro::testing::AllocateOrNull;

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
