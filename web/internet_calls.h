// The WinInet calls one page request makes, with WinInet's meaning and
// values. The Windows build calls WinInet itself (internet_calls_win32.cpp),
// the native build stands in with libcurl (internet_calls_native.cpp), and
// tests record the calls.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tavenro {

// An Internet, connection or request handle; nullptr is "no handle".
using InternetHandle = void*;

// WinInet's published values.
namespace wininet {
inline constexpr std::uint32_t kOpenTypeDirect = 1;
inline constexpr std::uint32_t kOpenTypeProxy = 3;

inline constexpr std::uint32_t kFlagReload = 0x80000000;
inline constexpr std::uint32_t kFlagNeedFile = 0x00000010;
inline constexpr std::uint32_t kFlagNoCookies = 0x00080000;
inline constexpr std::uint32_t kFlagNoAutoRedirect = 0x00200000;
inline constexpr std::uint32_t kFlagSecure = 0x00800000;
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttps = 0x00004000;
} // namespace wininet

class InternetCalls {
  public:
    virtual ~InternetCalls() = default;

    // InternetOpenA with flags 0. A left-out proxy or bypass list is a null
    // pointer. Returns the Internet handle or nullptr.
    [[nodiscard]] virtual InternetHandle Open(std::string_view agent, std::uint32_t accessType,
                                              std::optional<std::string_view> proxy,
                                              std::optional<std::string_view> proxyBypass) = 0;

    // InternetConnectA for the HTTP service, without user name or password,
    // flags and context 0. Returns the connection handle or nullptr.
    [[nodiscard]] virtual InternetHandle Connect(InternetHandle internet, std::string_view host,
                                                 std::uint16_t port) = 0;

    // HttpOpenRequestA without referrer or accept types, context 0. Returns
    // the request handle or nullptr.
    [[nodiscard]] virtual InternetHandle OpenRequest(InternetHandle connection,
                                                     std::string_view verb, std::string_view object,
                                                     std::string_view version,
                                                     std::uint32_t flags) = 0;

    // HttpSendRequestA with the header block and the body, both with their
    // lengths. Nobody looks at the outcome: a failed send shows up as an
    // empty body and unread headers.
    virtual void SendRequest(InternetHandle request, std::string_view headers,
                             std::span<const std::uint8_t> body) = 0;

    // InternetReadFile: the number of bytes placed at the start of buffer;
    // 0 at the end of the data and on failure.
    [[nodiscard]] virtual std::uint32_t ReadFile(InternetHandle request,
                                                 std::span<std::uint8_t> buffer) = 0;

    // HttpQueryInfoA for the raw response headers with CRLF line ends
    // (HTTP_QUERY_RAW_HEADERS_CRLF), offered buffer.size() bytes, without
    // index. On success the buffer holds them as a NUL-terminated text; on
    // failure (too small a buffer among others) it is left as it was.
    virtual void QueryRawHeaders(InternetHandle request, std::span<char> buffer) = 0;

    // InternetCloseHandle.
    virtual void CloseHandle(InternetHandle handle) = 0;
};

// The platform's calls, bound at their first use.
[[nodiscard]] InternetCalls& PlatformInternetCalls();

} // namespace tavenro
