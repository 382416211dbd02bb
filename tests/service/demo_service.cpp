#include "tests/service/demo_service.h"

#include "songs/fetch_page.h"
#include "tests/service/demo_service_process.h"
#include "text/text.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace tavenro::testing {

DemoService::DemoService() {
    if (const char* given = std::getenv("TAVENRO_DEMO_SERVICE"); given != nullptr && *given) {
        hostPort_ = given;
        return;
    }
    process_ = StartDemoService();
    if (process_ == nullptr) {
        ADD_FAILURE() << "no demo service: set TAVENRO_DEMO_SERVICE or run through ctest";
        return;
    }
    hostPort_ = "127.0.0.1:" + std::to_string(process_->Port());
}

DemoService::~DemoService() = default;

std::string DemoService::Url(const std::string& target) const {
    return "http://" + hostPort_ + target;
}

std::vector<std::string> DemoService::Requests() const {
    std::vector<std::string> requests;
    for (const Text& line : SplitText(FetchPageText(Url("/requests")), "\n"))
        requests.push_back(line);
    return requests;
}

std::string DemoService::ClosedHostPort() const {
    return "127.0.0.1:" + FetchPageText(Url("/unused-port"));
}

std::string QueryValue(const std::string& value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
            byte == '~') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

} // namespace tavenro::testing
