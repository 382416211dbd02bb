#include "tests/service/demo_service_process.h"

#include "tests/service/demo_service.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tavenro::testing {

namespace {

class PosixServiceProcess final : public ServiceProcess {
  public:
    PosixServiceProcess(pid_t pid, int port) : pid_(pid), port_(port) {}
    ~PosixServiceProcess() override {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    [[nodiscard]] int Port() const override { return port_; }

  private:
    pid_t pid_;
    int port_;
};

} // namespace

std::unique_ptr<ServiceProcess> StartDemoService() {
    int out[2];
    if (pipe(out) != 0)
        return nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);

    // The idle limit ends a service that a crashed test left behind.
    std::string script = TAVENRO_DEMO_SERVICE_SCRIPT;
    const char* argv[] = {"python3", script.c_str(), "--port", "0",
                          "--quiet", "--idle-exit",  "600",    nullptr};
    pid_t pid = 0;
    const int spawned =
        posix_spawnp(&pid, "python3", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return nullptr;
    }

    // The service prints its port as the first line once it listens.
    FILE* lines = fdopen(out[0], "r");
    int port = 0;
    const bool gotPort = lines != nullptr && std::fscanf(lines, "%d", &port) == 1 && port > 0;
    if (lines != nullptr)
        std::fclose(lines);
    else
        close(out[0]);
    auto process = std::make_unique<PosixServiceProcess>(pid, port);
    return gotPort ? std::move(process) : nullptr;
}

void SetEnvironment(const char* name, const std::string& value) {
    if (value.empty())
        unsetenv(name);
    else
        setenv(name, value.c_str(), 1);
}

} // namespace tavenro::testing
