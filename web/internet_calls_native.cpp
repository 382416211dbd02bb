// WinInet's calls stood in for by libcurl, so that the page request makes
// real requests on Linux. The request is carried out when it is sent; the
// reads and the header query then take from what arrived.
#include "web/internet_calls.h"

#include "text/percent_escape.h"
#include "text/text.h"
#include "web/curl_easy_native.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tavenro {

namespace {

// WinInet keeps the cookies of every request of the process in one store
// unless a request says otherwise; so does this.
class CookieStore {
  public:
    CookieStore() : share_(CurlReady() ? curl_share_init() : nullptr) {
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, &mutex_);
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &Lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &Unlock);
    }
    CookieStore(const CookieStore&) = delete;
    CookieStore& operator=(const CookieStore&) = delete;
    ~CookieStore() { curl_share_cleanup(share_); }

    [[nodiscard]] CURLSH* get() const { return share_; }

  private:
    static void Lock(CURL*, curl_lock_data, curl_lock_access, void* mutex) {
        static_cast<std::mutex*>(mutex)->lock();
    }
    static void Unlock(CURL*, curl_lock_data, void* mutex) {
        static_cast<std::mutex*>(mutex)->unlock();
    }

    std::mutex mutex_;
    CURLSH* share_;
};

struct Node {
    virtual ~Node() = default;
};

struct Session : Node {
    std::string agent;
    std::uint32_t accessType = 0;
    std::string proxy;
};

struct Connection : Node {
    Session session;
    std::string host;
    std::uint16_t port = 0;
};

struct Request : Node {
    Connection connection;
    std::string verb;
    std::string object;
    std::string version;
    std::uint32_t flags = 0;
    std::vector<std::uint8_t> body;
    std::size_t bodyRead = 0;
    // The final response's status line and header lines, each with its CRLF,
    // and the empty line that ends them; empty when no response arrived.
    std::string rawHeaders;
    // A HEAD that carries a body: libcurl sends it as a POST named HEAD and
    // would wait for a response body that never comes, so the transfer is
    // ended when the final response's headers are complete.
    bool headWithBody = false;
    bool followsRedirects = false;
};

using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

// The proxy of a WinInet proxy list ("host:port" for every scheme, or
// "scheme=host:port" entries separated by blanks or semicolons) for the
// scheme; empty when the list names none for it.
std::string ProxyFor(std::string_view list, std::string_view scheme) {
    std::string fallback;
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t end = std::min(list.find_first_of(" ;", at), list.size());
        const std::string_view entry = list.substr(at, end - at);
        at = end + 1;
        if (entry.empty())
            continue;
        const std::size_t equals = entry.find('=');
        if (equals == std::string_view::npos) {
            if (fallback.empty())
                fallback = entry;
        } else if (entry.substr(0, equals) == scheme) {
            return std::string(entry.substr(equals + 1));
        }
    }
    return fallback;
}

size_t KeepBody(char* data, size_t size, size_t count, void* request) {
    auto& body = static_cast<Request*>(request)->body;
    body.insert(body.end(), data, data + size * count);
    return size * count;
}

// The object as WinInet puts it in the request line: blanks and control
// bytes escaped, the other bytes (those of double-byte characters too) as
// they are.
std::string EscapeBlanks(std::string_view object) {
    return PercentEscaped(object, [](unsigned char byte) { return byte <= 0x20 || byte == 0x7F; });
}

// The status code of a raw header block; 0 when there is none.
int StatusOf(std::string_view raw) {
    const std::size_t blank = raw.find(' ');
    int status = 0;
    for (std::size_t i = blank + 1; blank != std::string_view::npos && i < raw.size(); ++i) {
        if (raw[i] < '0' || raw[i] > '9')
            break;
        status = status * 10 + (raw[i] - '0');
    }
    return status;
}

size_t KeepHeaderLine(char* data, size_t size, size_t count, void* context) {
    auto& request = *static_cast<Request*>(context);
    const std::string_view line(data, size * count);
    // Each response (an interim 100, every redirect) starts afresh, so the
    // last one's headers remain.
    if (line.starts_with("HTTP/"))
        request.rawHeaders.clear();
    request.rawHeaders.append(line);
    if (request.headWithBody && line == "\r\n") {
        const int status = StatusOf(request.rawHeaders);
        const bool interim = status < 200 || (request.followsRedirects && status / 100 == 3);
        if (!interim)
            return 0; // ends the transfer; the headers are kept
    }
    return size * count;
}

class CurlInternetCalls final : public InternetCalls {
  public:
    InternetHandle Open(std::string_view agent, std::uint32_t accessType,
                        std::optional<std::string_view> proxy,
                        std::optional<std::string_view>) override {
        auto session = std::make_unique<Session>();
        session->agent = agent;
        session->accessType = accessType;
        session->proxy = proxy.value_or("");
        return Keep(std::move(session));
    }

    InternetHandle Connect(InternetHandle internet, std::string_view host,
                           std::uint16_t port) override {
        const auto* session = Find<Session>(internet);
        if (session == nullptr || host.empty())
            return nullptr;
        auto connection = std::make_unique<Connection>();
        connection->session = *session;
        connection->host = host;
        connection->port = port;
        return Keep(std::move(connection));
    }

    InternetHandle OpenRequest(InternetHandle connection, std::string_view verb,
                               std::string_view object, std::string_view version,
                               std::uint32_t flags) override {
        const auto* parent = Find<Connection>(connection);
        if (parent == nullptr)
            return nullptr;
        auto request = std::make_unique<Request>();
        request->connection = *parent;
        request->verb = verb.empty() ? "GET" : verb;
        request->object = object.empty() ? "/" : object;
        request->version = version;
        request->flags = flags;
        return Keep(std::move(request));
    }

    void SendRequest(InternetHandle handle, std::string_view headers,
                     std::span<const std::uint8_t> body) override {
        auto* request = Find<Request>(handle);
        if (request == nullptr)
            return;
        request->body.clear();
        request->bodyRead = 0;
        request->rawHeaders.clear();
        Perform(*request, headers, body);
    }

    std::uint32_t ReadFile(InternetHandle handle, std::span<std::uint8_t> buffer) override {
        auto* request = Find<Request>(handle);
        if (request == nullptr)
            return 0;
        const std::size_t count = std::min(buffer.size(), request->body.size() - request->bodyRead);
        std::copy_n(request->body.begin() + static_cast<std::ptrdiff_t>(request->bodyRead), count,
                    buffer.begin());
        request->bodyRead += count;
        return static_cast<std::uint32_t>(count);
    }

    void QueryRawHeaders(InternetHandle handle, std::span<char> buffer) override {
        const auto* request = Find<Request>(handle);
        if (request == nullptr || request->rawHeaders.empty() ||
            request->rawHeaders.size() + 1 > buffer.size())
            return;
        std::memcpy(buffer.data(), request->rawHeaders.data(), request->rawHeaders.size());
        buffer[request->rawHeaders.size()] = '\0';
    }

    void CloseHandle(InternetHandle handle) override {
        const std::lock_guard lock(mutex_);
        nodes_.erase(handle);
    }

  private:
    InternetHandle Keep(std::unique_ptr<Node> node) {
        const std::lock_guard lock(mutex_);
        InternetHandle handle = node.get();
        nodes_.emplace(handle, std::move(node));
        return handle;
    }

    template <class Kind> Kind* Find(InternetHandle handle) {
        const std::lock_guard lock(mutex_);
        const auto found = nodes_.find(handle);
        return found == nodes_.end() ? nullptr : dynamic_cast<Kind*>(found->second.get());
    }

    void Perform(Request& request, std::string_view headers, std::span<const std::uint8_t> body) {
        const Connection& connection = request.connection;
        const bool secure = (request.flags & wininet::kFlagSecure) != 0;
        const std::string scheme = secure ? "https" : "http";
        request.headWithBody = request.verb == "HEAD" && !body.empty();

        const std::string url = scheme + "://" + connection.host + ":" +
                                std::to_string(connection.port) + EscapeBlanks(request.object);
        const EasyHandle easy = NewEasyHandle();
        if (!easy)
            return;
        CURL* curl = easy.get();
        if (curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) != CURLE_OK)
            return;
        curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
        curl_easy_setopt(curl, CURLOPT_USERAGENT, connection.session.agent.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTP_VERSION,
                         request.version == "HTTP/1.0" ? CURL_HTTP_VERSION_1_0
                                                       : CURL_HTTP_VERSION_1_1);
        // Direct access ignores the environment's proxy settings, as WinInet does.
        const std::string proxy = connection.session.accessType == wininet::kOpenTypeProxy
                                      ? ProxyFor(connection.session.proxy, scheme)
                                      : std::string();
        curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());

        HeaderList lines(nullptr, &curl_slist_free_all);
        const auto addLine = [&lines](const std::string& line) {
            curl_slist* head = lines.release();
            curl_slist* grown = curl_slist_append(head, line.c_str());
            lines.reset(grown != nullptr ? grown : head);
        };
        for (const Text& line : SplitText(headers, "\r\n"))
            if (!line.empty())
                addLine(line);
        // WinInet sends the body at once, without asking first.
        addLine("Expect:");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, lines.get());

        if (request.verb == "GET") {
            curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
        } else {
            // libcurl sends no body with its own HEAD.
            if (request.verb == "HEAD" && !request.headWithBody)
                curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
            else if (request.verb != "POST")
                curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(body.size()));
            static constexpr char kNoBody[] = "";
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS,
                             body.empty() ? kNoBody : reinterpret_cast<const char*>(body.data()));
        }

        if ((request.flags & wininet::kFlagNoCookies) == 0) {
            curl_easy_setopt(curl, CURLOPT_SHARE, cookies_.get());
            curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
        }
        request.followsRedirects = (request.flags & wininet::kFlagNoAutoRedirect) == 0;
        if (request.followsRedirects)
            FollowRedirects(curl);
        LimitTransfer(curl);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &KeepBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &request);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &KeepHeaderLine);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, &request);
        // The outcome is not examined: what arrived before a failure stays.
        curl_easy_perform(curl);
    }

    CookieStore cookies_;
    std::mutex mutex_;
    std::map<InternetHandle, std::unique_ptr<Node>> nodes_;
};

} // namespace

InternetCalls& PlatformInternetCalls() {
    static CurlInternetCalls calls;
    return calls;
}

} // namespace tavenro
