// The request object stood in for by libcurl, behaving where the fetch
// leaves it at its defaults as WinHttp's object does: no proxy, redirects
// followed (at most 10), a transfer that delivers nothing for 30 s given up,
// cookies kept only while the object lives.
#include "songs/request_object.h"
#include "text/percent_escape.h"

#include <curl/curl.h>

#include <memory>
#include <string>

namespace tavenro {

namespace {

constexpr long kMaxRedirects = 10;
constexpr long kStallSeconds = 30;
constexpr long kConnectSeconds = 60;
constexpr char kAgent[] = "Mozilla/4.0 (compatible; Win32; WinHttp.WinHttpRequest.5)";

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

// The URL with blanks, control bytes and bytes beyond ASCII escaped, as
// WinHttp sends them rather than refusing the URL. (WinHttp escapes the
// UTF-8 form of a double-byte character; these are its ANSI bytes.)
std::string Escaped(std::string_view url) {
    return PercentEscaped(url, [](unsigned char byte) { return byte <= 0x20 || byte >= 0x7F; });
}

size_t KeepBody(char* data, size_t size, size_t count, void* body) {
    auto& bytes = *static_cast<Bytes*>(body);
    bytes.insert(bytes.end(), data, data + size * count);
    return size * count;
}

class CurlRequestObject final : public RequestObject {
  public:
    CurlRequestObject() {
        static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        (void)ready;
    }

    // The transfer is made in Send whatever the flag; the fetch never asks
    // for an asynchronous one.
    void Open(std::string_view method, std::string_view url, bool) override {
        method_ = method;
        url_ = url;
        body_.clear();
    }

    void Send() override {
        body_.clear();
        EasyHandle easy(curl_easy_init(), &curl_easy_cleanup);
        if (!easy)
            return;
        CURL* curl = easy.get();
        const std::string url = Escaped(url_);
        if (curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) != CURLE_OK)
            return;
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_USERAGENT, kAgent);
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
        if (method_ == "GET") {
            curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
        } else if (method_ == "HEAD") {
            curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        } else {
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, 0L);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, "");
            if (method_ != "POST")
                curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method_.c_str());
        }
        curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &KeepBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body_);
        // A failure keeps whatever part of the body arrived.
        curl_easy_perform(curl);
    }

    Bytes ResponseBody() override { return body_; }

  private:
    std::string method_;
    std::string url_;
    Bytes body_;
};

} // namespace

std::unique_ptr<RequestObject> MakeRequestObject() {
    return std::make_unique<CurlRequestObject>();
}

} // namespace tavenro
