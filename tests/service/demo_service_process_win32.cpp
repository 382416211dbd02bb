#include "tests/service/demo_service_process.h"

#include "tests/service/demo_service.h"

#include <cstdlib>
#include <string>

namespace tavenro::testing {

// A Windows test cannot start the Python service itself; under ctest,
// with_demo_service.sh starts it and names it in TAVENRO_DEMO_SERVICE.
std::unique_ptr<ServiceProcess> StartDemoService() {
    return nullptr;
}

// _putenv_s, not SetEnvironmentVariable: getenv reads the C runtime's copy.
void SetEnvironment(const char* name, const std::string& value) {
    _putenv_s(name, value.c_str());
}

} // namespace tavenro::testing
