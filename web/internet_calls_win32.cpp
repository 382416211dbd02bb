// The page request's calls made on WinInet itself.
#include "web/internet_calls.h"
#include "web/wininet_entry_points.h"

#include <string>

namespace tavenro {

namespace {

template <class Pointer> void Bind(HMODULE library, const char* name, Pointer& entry) {
    // Through a generic function pointer: FARPROC and the real prototype
    // are unrelated function types.
    entry = library == nullptr ? nullptr
                               : reinterpret_cast<Pointer>(
                                     reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

WinInetEntryPoints BindWinInet() {
    // Stays loaded for the life of the process.
    const HMODULE library = ::LoadLibraryA("wininet.dll");
    WinInetEntryPoints entries;
#define TAVENRO_BIND_ENTRY_POINT(name) Bind(library, #name, entries.name);
    TAVENRO_WININET_ENTRY_POINTS(TAVENRO_BIND_ENTRY_POINT)
#undef TAVENRO_BIND_ENTRY_POINT
    return entries;
}

// WinInet reads its strings up to a terminating NUL.
const char* OrNull(const std::optional<std::string>& text) {
    return text ? text->c_str() : nullptr;
}

std::optional<std::string> Terminated(std::optional<std::string_view> text) {
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

class WinInetCalls final : public InternetCalls {
  public:
    InternetHandle Open(std::string_view agent, std::uint32_t accessType,
                        std::optional<std::string_view> proxy,
                        std::optional<std::string_view> proxyBypass) override {
        const auto open = WinInet().InternetOpenA;
        if (open == nullptr)
            return nullptr;
        const std::string agentText(agent);
        const auto proxyText = Terminated(proxy);
        const auto bypassText = Terminated(proxyBypass);
        return open(agentText.c_str(), accessType, OrNull(proxyText), OrNull(bypassText), 0);
    }

    InternetHandle Connect(InternetHandle internet, std::string_view host,
                           std::uint16_t port) override {
        const auto connect = WinInet().InternetConnectA;
        if (connect == nullptr)
            return nullptr;
        const std::string hostText(host);
        return connect(static_cast<HINTERNET>(internet), hostText.c_str(), port, nullptr, nullptr,
                       INTERNET_SERVICE_HTTP, 0, 0);
    }

    InternetHandle OpenRequest(InternetHandle connection, std::string_view verb,
                               std::string_view object, std::string_view version,
                               std::uint32_t flags) override {
        const auto openRequest = WinInet().HttpOpenRequestA;
        if (openRequest == nullptr)
            return nullptr;
        const std::string verbText(verb);
        const std::string objectText(object);
        const std::string versionText(version);
        return openRequest(static_cast<HINTERNET>(connection), verbText.c_str(), objectText.c_str(),
                           versionText.c_str(), nullptr, nullptr, flags, 0);
    }

    void SendRequest(InternetHandle request, std::string_view headers,
                     std::span<const std::uint8_t> body) override {
        const auto send = WinInet().HttpSendRequestA;
        if (send == nullptr)
            return;
        const std::string headerText(headers);
        send(static_cast<HINTERNET>(request), headerText.c_str(),
             static_cast<DWORD>(headerText.size()),
             body.empty() ? nullptr : const_cast<std::uint8_t*>(body.data()),
             static_cast<DWORD>(body.size()));
    }

    std::uint32_t ReadFile(InternetHandle request, std::span<std::uint8_t> buffer) override {
        const auto read = WinInet().InternetReadFile;
        DWORD count = 0;
        if (read == nullptr || !read(static_cast<HINTERNET>(request), buffer.data(),
                                     static_cast<DWORD>(buffer.size()), &count))
            return 0;
        return count;
    }

    void QueryRawHeaders(InternetHandle request, std::span<char> buffer) override {
        const auto query = WinInet().HttpQueryInfoA;
        if (query == nullptr)
            return;
        DWORD length = static_cast<DWORD>(buffer.size());
        query(static_cast<HINTERNET>(request), HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length,
              nullptr);
    }

    void CloseHandle(InternetHandle handle) override {
        if (const auto close = WinInet().InternetCloseHandle)
            close(static_cast<HINTERNET>(handle));
    }
};

} // namespace

WinInetEntryPoints& WinInet() {
    static WinInetEntryPoints entries = BindWinInet();
    return entries;
}

InternetCalls& PlatformInternetCalls() {
    static WinInetCalls calls;
    return calls;
}

} // namespace tavenro
