// An allocation hook for the out-of-memory tests: the executable that links
// failing_new.cpp gets a global operator new that counts allocations and can
// make them fail the way an exhausted heap does.
#pragma once

namespace tavenro::testing {

// From the next allocation on, counts allocations; the n-th (1-based) and
// every later one fail, as memory stays exhausted once it is. n = 0 only
// counts.
void FailAllocationsFrom(long n);

// Ends counting and failing; the number of allocations asked for since
// FailAllocationsFrom, the failed ones included.
long StopFailing();

} // namespace tavenro::testing
