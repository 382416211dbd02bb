// HostOfUrl (both modes, both switches), PortOfUrl and PathOfUrl over
// arbitrary URLs and label counts. Host and port against the rules; the path
// against what it must be whatever the host: "/" or the URL's own tail from a
// "/".
// Fields: URL, label count (empty: left out), reduce, keep port.
#include "fuzz/fuzz_support.h"
#include "fuzz/reference.h"
#include "web/url.h"

namespace tavenro {

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    const std::string_view url = fields.Text();
    const std::optional<int> labels = fields.Number();
    const bool reduce = fields.Flag();
    const bool keepPort = fields.Flag();

    fuzz::ExpectSame(fuzz::Call("HostOfUrl").With(url).With(reduce).With(keepPort).With(labels),
                     HostOfUrl(url, reduce, keepPort, labels),
                     reference::HostOfUrl(url, reduce, keepPort, labels));
    fuzz::ExpectSame(fuzz::Call("HostOfUrl").With(url), HostOfUrl(url),
                     reference::HostOfUrl(url, false, false, std::nullopt));
    fuzz::ExpectSame(fuzz::Call("PortOfUrl").With(url), PortOfUrl(url), reference::PortOfUrl(url));

    const Text path = PathOfUrl(url);
    fuzz::ExpectThat(path == "/" || (!path.empty() && path[0] == '/' && url.ends_with(path)),
                     fuzz::Call("PathOfUrl").With(url).With(path),
                     "\"/\" or the URL from one of its \"/\" to its end");
    return 0;
}

} // namespace tavenro
