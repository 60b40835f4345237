#include "win32/gui_harness.h"

#include <deque>
#include <set>

#include "frame/frame.h"
#include "frame/report.h"
#include "frame/run.h"
#include "win32/document.h"
#include "win32/mainwindow.h"
#include "win32/winstate.h"
#include "framework/registry.h"
#include "support/core_reset.h"

namespace {

struct Dialogs {
    std::deque<DialogAction> queue;
    std::vector<std::string> unexpected;
    std::vector<std::string> answered;
    std::set<HWND> seen;  // dialogs that have had their action
    HHOOK hook = nullptr;
};
Dialogs g_dialogs;

const UINT_PTR kActionTimer = 0x5EED;

void CALLBACK runaction(HWND dialog, UINT, UINT_PTR id, DWORD) {
    KillTimer(dialog, id);
    if (g_dialogs.queue.empty()) {
        g_dialogs.unexpected.push_back(window_text(dialog) + ": " + box_text(dialog));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    DialogAction action = g_dialogs.queue.front();
    g_dialogs.queue.pop_front();
    action(dialog);
}

// A dialog gets its action when it first activates: one that becomes active
// again after a nested dialog closed is not a new dialog.
LRESULT CALLBACK cbthook(int code, WPARAM wparam, LPARAM lparam) {
    HWND w = reinterpret_cast<HWND>(wparam);
    if (code == HCBT_ACTIVATE && !g_dialogs.seen.count(w)) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (std::string(cls) == "#32770") {
            g_dialogs.seen.insert(w);
            SetTimer(w, kActionTimer, 10, runaction);
        }
    } else if (code == HCBT_DESTROYWND) {
        g_dialogs.seen.erase(w);
    }
    return CallNextHookEx(g_dialogs.hook, code, wparam, lparam);
}

}  // namespace

void pump_messages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void open_main_window(const TestDir& dir) {
    open_unregistered_main_window(dir);
    registermodule();
    pump_messages();
}

void open_unregistered_main_window(const TestDir& dir) {
    close_main_window();
    reset_core_state();
    reset_dialogs();
    if (!g_dialogs.hook) g_dialogs.hook = SetWindowsHookExA(WH_CBT, cbthook, nullptr, GetCurrentThreadId());
    write_bytes(dir.file("QOR4DIRP.txt"), dir.path);
    g_doc = PaneDocument();
    g_win.helpmessages = false;
    createmainwindow(GetModuleHandleA(nullptr), SW_SHOW);
    g_report.start_folder = dir.path;
    pump_messages();
}

void close_main_window() {
    if (g_win.main && IsWindow(g_win.main)) {
        SendMessageA(g_win.pane, EM_SETMODIFY, FALSE, 0);
        if (g_report.published) on_next_dialog(answer(IDNO));
        DestroyWindow(g_win.main);
    }
    pump_messages();
    g_win.main = nullptr;
    g_win.pane = nullptr;
    g_win.lastdialog = nullptr;
}

void on_next_dialog(DialogAction action) { g_dialogs.queue.push_back(std::move(action)); }

bool all_dialogs_handled(std::string* unexpected) {
    if (unexpected) {
        unexpected->clear();
        for (const std::string& u : g_dialogs.unexpected) *unexpected += u + "\n";
    }
    return g_dialogs.queue.empty() && g_dialogs.unexpected.empty();
}

void reset_dialogs() {
    g_dialogs.queue.clear();
    g_dialogs.unexpected.clear();
    g_dialogs.answered.clear();
}

std::string box_text(HWND box) {
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

std::string window_text(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); }

DialogAction answer(int button) {
    return [button](HWND box) {
        g_dialogs.answered.push_back(box_text(box));
        press(box, button);
    };
}

std::vector<std::string>& answered_boxes() { return g_dialogs.answered; }

std::string pane_text() {
    int n = GetWindowTextLengthA(g_win.pane);
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    GetWindowTextA(g_win.pane, &text[0], n + 1);
    text.resize(static_cast<std::size_t>(n));
    std::string lf;
    for (char c : text)
        if (c != '\r') lf += c;
    return lf;
}

void set_pane_text(const std::string& text) {
    SetWindowTextA(g_win.pane, text.c_str());
    SendMessageA(g_win.pane, EM_SETMODIFY, TRUE, 0);
}

std::string dialog_item_text(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
