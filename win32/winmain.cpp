// The Win32 program's entry: the window half of start-up, the start-up
// order shared with the console front, and the message loop.
#include <windows.h>

#include <string>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "frame/frame.h"
#include "frame/startup.h"
#include "win32/mainwindow.h"
#include "win32/winstate.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    STARTUPINFOA info = {};
    info.cb = sizeof info;
    GetStartupInfoA(&info);
    int show = (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWDEFAULT;
    if (!createmainwindow(instance, show)) {
        MessageBoxA(nullptr, "The main window could not be created.", nullptr, MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
        return 1;
    }
    std::string args = argumentstring(GetCommandLineA());
    try {
        BatchOutcome o = startup(args.c_str());
        // A batch file that cannot be run is said, and the program goes on.
        if (o.end == BatchEnd::CannotOpen || o.end == BatchEnd::Empty)
            infobox(("Sorry: " + o.reason + ": " + parseargs(args.c_str()).batch_path).c_str());
    } catch (const RunAbandoned&) {
        abandon_outputs();  // a fatal error during start-up
    }
    int code = messageloop();
    return g_win.exitcode ? g_win.exitcode : code;
}
