// The demo service (demo_service.py beside this file) as the tests use it:
// one instance per test suite on 127.0.0.1, stopped with the suite.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tavenro::testing {

class ServiceProcess;

class DemoService {
  public:
    // Uses the service named by TAVENRO_DEMO_SERVICE ("127.0.0.1:port"), as
    // under ctest in the Windows builds, where with_demo_service.sh starts
    // it; otherwise starts one of its own (native builds only). Stops the
    // test with a failure when there is none.
    DemoService();
    ~DemoService();
    DemoService(const DemoService&) = delete;
    DemoService& operator=(const DemoService&) = delete;

    // "127.0.0.1:port".
    [[nodiscard]] const std::string& HostPort() const { return hostPort_; }

    // "http://127.0.0.1:port" followed by the target.
    [[nodiscard]] std::string Url(const std::string& target) const;

    // The request targets the service has received so far, oldest first.
    [[nodiscard]] std::vector<std::string> Requests() const;

    // A port on 127.0.0.1 on which nothing listens.
    [[nodiscard]] std::string ClosedHostPort() const;

  private:
    std::unique_ptr<ServiceProcess> process_;
    std::string hostPort_;
};

// Sets (or, with an empty value, clears) a variable of this process's
// environment as getenv sees it.
void SetEnvironment(const char* name, const std::string& value);

// The value percent-encoded for a query string (all but A-Z a-z 0-9 - . _ ~).
[[nodiscard]] std::string QueryValue(const std::string& value);

} // namespace tavenro::testing
