// Runs a program on the Wine desktop named by TAVENRO_TEST_DESKTOP and
// returns its exit code:
//
//     on_desktop program [arguments...]
//
// All programs of one Wine prefix share the default desktop, whose X display
// is fixed by whichever program first needed it; a test on its own desktop
// gets a desktop process of its own on the test's display. Without the
// variable the program runs on the default desktop.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// One argument quoted for CommandLineToArgv-style parsing.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: on_desktop program [arguments...]\n");
        return 2;
    }
    std::string commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += (i > 1 ? " " : "") + Quoted(argv[i]);

    std::string desktop;
    if (const char* name = std::getenv("TAVENRO_TEST_DESKTOP"); name && *name) {
        desktop = name;
        // The desktop must exist before a process can start on it.
        if (!CreateDesktopA(desktop.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr)) {
            std::fprintf(stderr, "on_desktop: cannot create desktop %s\n", desktop.c_str());
            return 2;
        }
    }

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop.empty() ? nullptr : desktop.data();
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);

    // The program ends with this launcher, should the launcher be killed;
    // what the program starts in turn (the browser) is left alone.
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "on_desktop: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(job);
    return static_cast<int>(code);
}
