#include "web/access_page.h"

#include "text/text.h"
#include "web/cookies.h"
#include "web/text_between.h"
#include "web/url.h"

#include <algorithm>
#include <array>

namespace tavenro {

namespace {

constexpr std::string_view kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr std::string_view kHttpVersion = "HTTP/1.1";
constexpr int kReadChunk = 1024;
// WinInet is offered this many bytes for the raw response headers; a larger
// block is not read at all.
constexpr int kHeaderBuffer = 5000;

constexpr int kGet = 0;

std::string_view MethodName(int method) {
    switch (method) {
    case 1:
        return "POST";
    case 2:
        return "HEAD";
    default:
        return "GET";
    }
}

// The value of the caller's User-Agent line, which WinInet is opened with
// (the line itself is sent too).
Text AgentOf(std::string_view headers) {
    constexpr std::string_view kName = "User-Agent:";
    const int at = FindText(headers, kName, std::nullopt, true);
    if (at == -1)
        return Text(kDefaultAgent);
    Text agent = TrimText(TextBetween(headers, kName, "\r\n"));
    if (!agent.empty())
        return agent;
    // The line is the last one, or its name is not in this exact case: its
    // value runs to the next line end or to the end of the block. Taking
    // what follows the block's first colon instead would hand WinInet the
    // other lines too whenever the block holds more than this one.
    const int valueStart = at + TextLength(kName);
    const int lineEnd = FindText(headers, "\r\n", valueStart, false);
    const int valueLength = (lineEnd == -1 ? TextLength(headers) + 1 : lineEnd) - valueStart;
    return TrimText(TextMid(headers, valueStart, valueLength));
}

std::uint32_t RequestFlags(bool cookiesSupplied, bool noRedirect, bool secure) {
    std::uint32_t flags = wininet::kFlagReload | wininet::kFlagNeedFile;
    if (cookiesSupplied)
        flags |= wininet::kFlagNoCookies;
    if (noRedirect)
        flags |= wininet::kFlagNoAutoRedirect;
    flags |= secure ? wininet::kFlagSecure : wininet::kFlagIgnoreRedirectToHttps;
    return flags;
}

// The caller's lines followed by every default line they lack (presence
// tested case-sensitively, as written), then the cookie list when there is
// one. No line end after the last line.
void AddDefaultHeaders(Text& headers, std::string_view url, std::string_view cookies) {
    const auto lacks = [&headers](std::string_view name) {
        return FindText(headers, name, std::nullopt, false) == -1;
    };
    if (headers.empty())
        headers = "Accept: */*";
    else if (lacks("Accept:"))
        headers += "\r\nAccept: */*";
    if (lacks("Referer:"))
        headers = ConcatText({headers, "\r\nReferer: ", url});
    if (lacks("Accept-Language:"))
        headers += "\r\nAccept-Language: zh-cn";
    if (lacks("Content-Type:"))
        headers += "\r\nContent-Type: application/x-www-form-urlencoded";
    if (!cookies.empty())
        headers = ConcatText({headers, "\r\nCookie: ", cookies});
}

// The first name=value pair of every Set-Cookie line, in order, joined by
// "; ".
Text CookiesOf(std::string_view rawHeaders) {
    Text cookies;
    for (const Text& line : SplitText(rawHeaders, "\r\n")) {
        if (FindText(line, "Set-Cookie", std::nullopt, false) == -1)
            continue;
        if (FindText(line, ";", std::nullopt, false) != -1)
            cookies += TrimText(TextBetween(line, "Set-Cookie:", ";"));
        else
            cookies += TrimText(ReplaceText(line, "Set-Cookie:", "", std::nullopt, std::nullopt,
                                            /*matchCase=*/false));
        cookies += "; ";
    }
    return TextLeft(cookies, TextLength(cookies) - 2);
}

// Closes a WinInet handle when its scope ends; the handles of one request
// are declared in opening order, so they close in the reverse.
class OpenHandle {
  public:
    OpenHandle(InternetCalls& calls, InternetHandle handle) : calls_(calls), handle_(handle) {}
    OpenHandle(const OpenHandle&) = delete;
    OpenHandle& operator=(const OpenHandle&) = delete;
    ~OpenHandle() {
        if (handle_ != nullptr)
            calls_.CloseHandle(handle_);
    }

    [[nodiscard]] InternetHandle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

  private:
    InternetCalls& calls_;
    InternetHandle handle_;
};

} // namespace

Bytes AccessPage(InternetCalls& calls, const PageRequest& request) {
    const std::string_view url = request.url;
    const int method = request.method >= 0 && request.method <= 2 ? request.method : kGet;
    const bool secure = ToLower(TextLeft(url, 5)) == "https";

    // Left-out variables are private ones whose values are dropped.
    Text ownHeaders;
    Text ownReturnedHeaders;
    Text ownReturnedCookies;
    Bytes ownSubmitBytes;
    Text& headers = request.headers != nullptr ? *request.headers : ownHeaders;
    Text& returnedHeaders =
        request.returnedHeaders != nullptr ? *request.returnedHeaders : ownReturnedHeaders;
    Text& returnedCookies =
        request.returnedCookies != nullptr ? *request.returnedCookies : ownReturnedCookies;
    Bytes& submitBytes = request.submitBytes != nullptr ? *request.submitBytes : ownSubmitBytes;
    const Text cookies = request.cookies != nullptr ? *request.cookies : Text();

    Bytes body;
    {
        const Text agent = AgentOf(headers);
        const OpenHandle internet(
            calls,
            request.proxy.empty()
                ? calls.Open(agent, wininet::kOpenTypeDirect, std::nullopt, std::nullopt)
                : calls.Open(agent, wininet::kOpenTypeProxy,
                             secure ? request.proxy : ConcatText({"http=", request.proxy}), ""));
        if (!internet)
            return {};
        // A port beyond 16 bits wraps as WinInet's 16-bit port argument does.
        const OpenHandle connection(calls,
                                    calls.Connect(internet.get(), HostOfUrl(url),
                                                  static_cast<std::uint16_t>(PortOfUrl(url))));
        if (!connection)
            return {};
        const OpenHandle page(calls, calls.OpenRequest(connection.get(), MethodName(method),
                                                       PathOfUrl(url), kHttpVersion,
                                                       RequestFlags(request.cookies != nullptr,
                                                                    request.noRedirect, secure)));
        if (!page)
            return {};

        AddDefaultHeaders(headers, url, cookies);
        if (method == kGet) {
            calls.SendRequest(page.get(), headers, {});
        } else {
            // Bytes already in the variable win over the submit text.
            if (submitBytes.empty())
                submitBytes = ToBytes(request.submitText);
            calls.SendRequest(page.get(), headers, submitBytes);
        }

        std::array<std::uint8_t, kReadChunk> chunk;
        for (;;) {
            const std::size_t read =
                std::min<std::size_t>(calls.ReadFile(page.get(), chunk), chunk.size());
            if (read == 0)
                break;
            body.insert(body.end(), chunk.begin(),
                        chunk.begin() + static_cast<std::ptrdiff_t>(read));
        }

        Text raw = BlankText(kHeaderBuffer);
        calls.QueryRawHeaders(page.get(), raw);
        raw.resize(std::min(raw.find('\0'), raw.size()));
        // One spelling of the name, so that the cookie lines are found below.
        returnedHeaders = ReplaceText(raw, "Set-Cookie", "Set-Cookie", std::nullopt, std::nullopt,
                                      /*matchCase=*/false);
    }

    returnedCookies = CookiesOf(returnedHeaders);
    if (request.cookies != nullptr)
        MergeCookies(*request.cookies, returnedCookies);
    return body;
}

Bytes AccessPage(const PageRequest& request) {
    return AccessPage(PlatformInternetCalls(), request);
}

} // namespace tavenro
