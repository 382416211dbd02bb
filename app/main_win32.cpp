// Tavenro.exe: start-up, event loop and end, in the order the program
// depends on (the announcement check must finish before the window shows).
#include "app/desktop_win32.h"
#include "app/exit_routines.h"
#include "app/main_window_win32.h"
#include "notice/check_for_update.h"
#include "text/fatal.h"

#include <ole2.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    using namespace tavenro;
    InstallOutOfMemoryStop();
    OleInitialize(nullptr);

    ExitRoutines exitRoutines;
    exitRoutines.Register(ReleaseNoticeTexts);

    Win32Desktop desktop;
    const std::unique_ptr<MainWindow> window = MainWindow::Build(instance, desktop);
    if (!window)
        FatalStop("无法创建主窗口，程序将退出。");
    desktop.SetMainWindow(window->Handle());

    // The window's created event. It may queue the window's end; that is
    // carried out by the event loop below, after the window has shown.
    CheckForUpdate(desktop);

    if (window->Exists()) {
        window->Show();
        RunEventLoop(window->Handle());
    }

    exitRoutines.RunAll();
    OleUninitialize();
    return 0;
}
