// A thousand song searches in a row over the local demo service leave
// nothing behind: in the sanitizer build LeakSanitizer finds no leak, and in
// every native build the live heap after the thousandth search is what it was
// after the hundredth. The figures are recorded as test properties
// (--gtest_output=xml) and printed.
#include "songs/memory_result_list.h"
#include "songs/search_songs.h"

#include "tests/service/demo_service.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace tavenro {
namespace {

using testing::DemoService;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLeakSanitizer = true;
std::size_t LiveHeapBytes() {
    return __sanitizer_get_current_allocated_bytes();
}
int LeaksFound() {
    return __lsan_do_recoverable_leak_check();
}
#else
constexpr bool kLeakSanitizer = false;
std::size_t LiveHeapBytes() {
    return mallinfo2().uordblks;
}
int LeaksFound() {
    return 0;
}
#endif

// Resident memory of this process in KiB, as the kernel counts it.
long ResidentKiB(const char* field = "VmRSS:") {
    std::ifstream status("/proc/self/status");
    std::string name;
    long value = 0;
    while (status >> name) {
        if (name == field && status >> value)
            return value;
        status.ignore(1 << 10, '\n');
    }
    return -1;
}

// Headroom over the hundredth search's live heap: far below what a leak of
// one reply per search would leave (at least 900 replies' worth), above what
// the allocator's own bookkeeping may add.
constexpr std::size_t kHeapHeadroom = 64 * 1024;

TEST(SearchLeakTest, AThousandSearchesInARowLeaveNothingBehind) {
    DemoService service;
    const std::string closed = service.ClosedHostPort();
    // Every way a search ends: songs, an empty playlist, an empty body, a
    // long reply, no service at all.
    struct Kind {
        const char* number;
        const std::string* host; // null: the service
        std::size_t rows;
    };
    const Kind kinds[] = {
        {"10001", nullptr, 6}, {"10002", nullptr, 3},   {"10000", nullptr, 0},
        {"0", nullptr, 0},     {"900050", nullptr, 50}, {"10002", &closed, 0},
    };
    constexpr int kSearches = 1000;
    constexpr int kWarmUp = 100;

    MemoryResultList list;
    Text status;
    std::size_t heapAfterWarmUp = 0;
    long residentAfterWarmUp = 0;
    for (int i = 1; i <= kSearches; ++i) {
        const Kind& kind = kinds[i % std::size(kinds)];
        testing::SetEnvironment("TAVENRO_MUSIC_HOST", kind.host ? *kind.host : service.HostPort());
        SearchSongs(kind.number, list, [&](std::string_view caption) { status = caption; });
        ASSERT_EQ(list.rows.size(), kind.rows) << "search " << i << " for " << kind.number;
        if (i == kWarmUp) {
            heapAfterWarmUp = LiveHeapBytes();
            residentAfterWarmUp = ResidentKiB();
        }
    }
    list.rows.clear();
    list.rows.shrink_to_fit();
    status = Text();
    testing::SetEnvironment("TAVENRO_MUSIC_HOST", "");

    const std::size_t heapAtEnd = LiveHeapBytes();
    const long residentAtEnd = ResidentKiB();
    RecordProperty("live_heap_bytes_after_100", std::to_string(heapAfterWarmUp));
    RecordProperty("live_heap_bytes_after_1000", std::to_string(heapAtEnd));
    RecordProperty("resident_kib_after_100", std::to_string(residentAfterWarmUp));
    RecordProperty("resident_kib_after_1000", std::to_string(residentAtEnd));
    RecordProperty("peak_resident_kib", std::to_string(ResidentKiB("VmHWM:")));
    std::printf("live heap: %zu bytes after %d searches, %zu after %d; resident: %ld KiB, then "
                "%ld KiB (peak %ld KiB)%s\n",
                heapAfterWarmUp, kWarmUp, heapAtEnd, kSearches, residentAfterWarmUp, residentAtEnd,
                ResidentKiB("VmHWM:"), kLeakSanitizer ? "; LeakSanitizer checked" : "");

    EXPECT_LE(heapAtEnd, heapAfterWarmUp + kHeapHeadroom);
    EXPECT_EQ(LeaksFound(), 0) << "LeakSanitizer's report is above";
}

} // namespace
} // namespace tavenro
