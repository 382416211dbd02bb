// One plain HTTP request through the platform's request object, its body
// taken as text.
#pragma once

#include "songs/request_object.h"
#include "text/text_array.h"

#include <optional>
#include <string_view>

namespace tavenro {

// The response body up to its first zero byte, whatever the status; empty
// when anything fails. A URL not beginning with "http" in any case gets
// "http://" in front. The method defaults to "GET", the flag handed to the
// request object's Open to false. Sends no headers, cookies or body of its
// own.
[[nodiscard]] Text FetchPageText(std::string_view url,
                                 std::optional<std::string_view> method = std::nullopt,
                                 std::optional<bool> asynchronous = std::nullopt);

// The same through the given request object.
[[nodiscard]] Text FetchPageText(RequestObject& request, std::string_view url,
                                 std::optional<std::string_view> method = std::nullopt,
                                 std::optional<bool> asynchronous = std::nullopt);

} // namespace tavenro
