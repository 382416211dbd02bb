// One complete HTTP or HTTPS request over WinInet, with default request
// headers, a cookie list the caller carries from request to request, proxy
// and redirect control.
#pragma once

#include "text/bytes.h"
#include "text/text_array.h"
#include "web/internet_calls.h"

namespace tavenro {

// The request's arguments. The pointers name the caller's in/out variables;
// a null pointer leaves the argument out, which behaves as a private empty
// variable whose final value is discarded.
struct PageRequest {
    Text url{};
    // 0 GET, 1 POST, 2 HEAD; any other value is GET.
    int method = 0;
    // The body of a POST or HEAD when the submit bytes are empty.
    Text submitText{};
    // Supplying it (even empty) turns WinInet's own cookie keeping off: the
    // list is sent as a Cookie header and the server's cookies are merged
    // into it afterwards.
    Text* cookies = nullptr;
    // Out: the cookies the server set, "a=1; b=2" (blanks removed when the
    // cookies are supplied).
    Text* returnedCookies = nullptr;
    // In/out: extra request lines ("Name: value" joined by CRLF); receives
    // the block actually sent, the default lines added.
    Text* headers = nullptr;
    // Out: the raw response headers, or 5000 blanks when they could not be
    // read.
    Text* returnedHeaders = nullptr;
    bool noRedirect = false;
    // In/out: the body of a POST or HEAD; when empty it receives the submit
    // text's bytes, which are then sent.
    Bytes* submitBytes = nullptr;
    // "host:port"; empty for direct access.
    Text proxy{};
};

// The response body (an error page's too); empty when the request could not
// be made. When no handle could be opened, none of the caller's variables is
// touched. Blocks until the response has been read.
[[nodiscard]] Bytes AccessPage(const PageRequest& request);

// The same over the given calls.
[[nodiscard]] Bytes AccessPage(InternetCalls& calls, const PageRequest& request);

} // namespace tavenro
