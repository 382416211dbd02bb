// The platform's HTTP request object as the page fetch uses it: the three
// members "Open", "Send" and "ResponseBody", called in that order. The
// Windows build drives the WinHttp COM object by member name
// (request_object_win32.cpp), the native build stands in with libcurl
// (request_object_native.cpp), and tests record the calls.
#pragma once

#include "text/bytes.h"

#include <memory>
#include <string_view>

namespace tavenro {

class RequestObject {
  public:
    virtual ~RequestObject() = default;

    // Prepares the request; nothing is sent yet.
    virtual void Open(std::string_view method, std::string_view url, bool asynchronous) = 0;

    // Performs the request without a body; when not asynchronous, returns
    // once the response has arrived or the request has failed.
    virtual void Send() = 0;

    // The response body; empty when there is none or it cannot be read.
    [[nodiscard]] virtual Bytes ResponseBody() = 0;
};

// A fresh request object of the platform, with what the platform needs
// around one use held for the object's lifetime (COM, under Windows). When
// the object cannot be made, its members do nothing and the body is empty.
[[nodiscard]] std::unique_ptr<RequestObject> MakeRequestObject();

} // namespace tavenro
