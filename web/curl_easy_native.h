// What the two libcurl stand-ins (for WinInet and for WinHttp's request
// object) share: easy handles with libcurl set up first, and the limits that
// make a transfer end as WinHttp's would.
#pragma once

#include <curl/curl.h>

#include <memory>

namespace tavenro {

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

// Whether libcurl's global state is set up; sets it up on the first call.
// Every other libcurl call comes after it.
[[nodiscard]] bool CurlReady();

// A new easy handle (libcurl set up first); null when libcurl cannot make one.
[[nodiscard]] EasyHandle NewEasyHandle();

// Redirects followed, over http and https only, at most 10 of them.
void FollowRedirects(CURL* curl);

// A connection not made within 60 s, or a transfer that delivers nothing for
// 30 s, is given up (what arrived stays); no signals are used for the
// time-outs, so that threads are safe.
void LimitTransfer(CURL* curl);

} // namespace tavenro
