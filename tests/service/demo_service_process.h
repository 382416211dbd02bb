// Starting and stopping demo_service.py from a test, where the platform
// allows it.
#pragma once

#include <memory>

namespace tavenro::testing {

// A running service that this process started; destroying it stops it.
class ServiceProcess {
  public:
    virtual ~ServiceProcess() = default;
    [[nodiscard]] virtual int Port() const = 0;
};

// Starts demo_service.py on a free port; null when it cannot be started.
[[nodiscard]] std::unique_ptr<ServiceProcess> StartDemoService();

} // namespace tavenro::testing
