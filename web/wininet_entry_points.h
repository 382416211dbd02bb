// The WinInet entry points of the page request, taken by name from
// "wininet.dll" when first needed rather than from the import table. Every
// call goes through this one table, so that a test can replace a single
// entry to make that call fail, and put the saved one back afterwards.
#pragma once

#include <windows.h>

#include <wininet.h>

namespace tavenro {

#define TAVENRO_WININET_ENTRY_POINTS(X)                                                            \
    X(InternetOpenA)                                                                               \
    X(InternetConnectA)                                                                            \
    X(HttpOpenRequestA)                                                                            \
    X(HttpSendRequestA)                                                                            \
    X(InternetReadFile)                                                                            \
    X(HttpQueryInfoA)                                                                              \
    X(InternetCloseHandle)

// Each member has the type of the real prototype; a null member is an entry
// point the library lacks (or a library that did not load), and the call is
// then taken as failed.
struct WinInetEntryPoints {
#define TAVENRO_DECLARE_ENTRY_POINT(name) decltype(&::name) name = nullptr;
    TAVENRO_WININET_ENTRY_POINTS(TAVENRO_DECLARE_ENTRY_POINT)
#undef TAVENRO_DECLARE_ENTRY_POINT
};

// The table, bound on the first call.
[[nodiscard]] WinInetEntryPoints& WinInet();

} // namespace tavenro
