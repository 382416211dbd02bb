#include "songs/fetch_page.h"

#include "text/text.h"

namespace tavenro {

Text FetchPageText(RequestObject& request, std::string_view url,
                   std::optional<std::string_view> method, std::optional<bool> asynchronous) {
    // "https" and any letter case pass the test and are used as given.
    const Text address =
        StartsWith(ToLower(url), "http") ? Text(url) : ConcatText({"http://", url});
    request.Open(method.value_or("GET"), address, asynchronous.value_or(false));
    request.Send();
    return ToText(request.ResponseBody());
}

Text FetchPageText(std::string_view url, std::optional<std::string_view> method,
                   std::optional<bool> asynchronous) {
    // The object, and with it the platform's set-up, ends after the body has
    // become text.
    const auto request = MakeRequestObject();
    return FetchPageText(*request, url, method, asynchronous);
}

} // namespace tavenro
