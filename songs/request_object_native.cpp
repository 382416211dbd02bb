// The request object stood in for by libcurl, behaving where the fetch
// leaves it at its defaults as WinHttp's object does: no proxy, redirects
// followed (at most 10), a transfer that delivers nothing for 30 s given up,
// cookies kept only while the object lives.
#include "songs/request_object.h"
#include "text/percent_escape.h"
#include "web/curl_easy_native.h"

#include <memory>
#include <string>

namespace tavenro {

namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; Win32; WinHttp.WinHttpRequest.5)";

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
    // The transfer is made in Send whatever the flag; the fetch never asks
    // for an asynchronous one.
    void Open(std::string_view method, std::string_view url, bool) override {
        method_ = method;
        url_ = url;
        body_.clear();
    }

    void Send() override {
        body_.clear();
        const EasyHandle easy = NewEasyHandle();
        if (!easy)
            return;
        CURL* curl = easy.get();
        const std::string url = Escaped(url_);
        if (curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) != CURLE_OK)
            return;
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
        FollowRedirects(curl);
        LimitTransfer(curl);
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
