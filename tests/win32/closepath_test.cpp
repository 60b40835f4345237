// Ways the program ends: a fatal error's close request, and a dropped batch
// file that runs to its end (in a child process, since it ends the process).
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "datafile/messages.h"
#include "frame/frame.h"
#include "win32/mainwindow.h"
#include "win32/winstate.h"
#include "win32/gui_harness.h"

namespace {

const char kChildVariable[] = "PEAKGRID_GUI_DROP_CHILD";

// A real HDROP naming one file, as the shell builds it.
HDROP makedrop(const std::string& path) {
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + path.size() + 2);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// The child's watchdog: a batch that did not end the process in time.
void CALLBACK giveup(HWND window, UINT, UINT_PTR, DWORD) { DestroyWindow(window); }

}  // namespace

TEST(ClosePath, FatalErrorClosesTheWindowAndSetsTheExitCode) {
    TestDir dir;
    open_main_window(dir);
    on_next_dialog(answer(IDOK));
    EXPECT_THROW(fatalerror("Error: insufficient memory (vecalloc)"), RunAbandoned);
    EXPECT_EQ(answered_boxes(), std::vector<std::string>{"Error: insufficient memory (vecalloc)"});
    EXPECT_FALSE(IsWindow(g_win.main));  // unmodified pane: no save question
    EXPECT_TRUE(g_frame.closing);
    EXPECT_EQ(g_win.exitcode, 1);
    close_main_window();
    EXPECT_TRUE(all_dialogs_handled());
    g_win.exitcode = 0;
}

TEST(ClosePath, FatalErrorCancelledAtTheSaveQuestionKeepsRunning) {
    TestDir dir;
    open_main_window(dir);
    set_pane_text("unsaved notes");
    on_next_dialog(answer(IDOK));      // the error box
    on_next_dialog(answer(IDCANCEL));  // "Save document ... before closing?"
    EXPECT_THROW(fatalerror("Error: can't write matrix (ecrmat)"), RunAbandoned);
    EXPECT_TRUE(IsWindow(g_win.main));
    EXPECT_FALSE(g_frame.closing);
    EXPECT_EQ(g_win.exitcode, 0);
    EXPECT_EQ(pane_text(), "unsaved notes");
    close_main_window();
    EXPECT_TRUE(all_dialogs_handled());
}

// The child: drops the batch file named by the variable on a new main
// window and runs the message loop; a completed batch ends the process
// with status 0 from inside the runner.
TEST(ClosePath, DropChild) {
    const char* batch = std::getenv(kChildVariable);
    if (!batch) GTEST_SKIP() << "runs only as the child of DroppedBatchFileRunsAndEndsTheProcess";
    TestDir dir;
    open_main_window(dir);
    PostMessageA(g_win.main, WM_DROPFILES, reinterpret_cast<WPARAM>(makedrop(batch)), 0);
    SetTimer(g_win.main, 1, 30000, giveup);
    messageloop();
    std::exit(3);  // the batch did not end the process
}

TEST(ClosePath, DroppedBatchFileRunsAndEndsTheProcess) {
    TestDir dir;
    write_bytes(dir.file("export.txt"), "header\nB,1\tRun01.fsa\tS1 1 1 0 100.5 500 2000\n");
    write_bytes(dir.file("QOR4DIRP.txt"), dir.path);
    write_bytes(dir.file("run.txt"), "dropped\n1\n1\nexport.txt\n");
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string command = std::string("\"") + exe + "\" --gtest_filter=ClosePath.DropChild";
    SetEnvironmentVariableA(kChildVariable, dir.file("run.txt").c_str());
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    ASSERT_TRUE(started);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 50000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(read_bytes(dir.file("SampleNames")).rfind("Echantillon 1 = S1", 0), 0u);
    EXPECT_EQ(read_bytes(dir.file("Chan1")).size(), 1u * 6 * 4 + 18);
}
