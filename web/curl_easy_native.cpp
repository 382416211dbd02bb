#include "web/curl_easy_native.h"

namespace tavenro {

namespace {

constexpr long kMaxRedirects = 10;
constexpr long kStallSeconds = 30;
constexpr long kConnectSeconds = 60;

} // namespace

bool CurlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

EasyHandle NewEasyHandle() {
    return EasyHandle(CurlReady() ? curl_easy_init() : nullptr, &curl_easy_cleanup);
}

void FollowRedirects(CURL* curl) {
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
}

void LimitTransfer(CURL* curl) {
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
}

} // namespace tavenro
