// Drives the real Win32 windows of the program from inside a test process.
//
// Modal dialogs and message boxes run their own message loops, so a test
// queues what to do with each window that opens before it triggers it: a
// thread CBT hook sees every new dialog (#32770) activate, and a short timer
// set on that dialog runs the queued action inside its modal loop.  A
// dialog that opens with nothing queued is recorded and cancelled, so a
// forgotten dialog fails the test instead of hanging it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/test_dir.h"

using DialogAction = std::function<void(HWND dialog)>;

// Creates the main window (again, after a test destroyed it) and registers
// the module, with the start folder in dir; the report pane starts empty
// and unmodified, the pane document has no file.
void open_main_window(const TestDir& dir);
// The same without registering the module (start-up does that itself).
void open_unregistered_main_window(const TestDir& dir);
// Destroys the main window if it exists (answering the exit question No),
// then drains the thread's queue, a pending quit message included.
void close_main_window();
// Dispatches the messages waiting on this thread.
void pump_messages();

// Queues an action for the next dialog or message box that opens.
void on_next_dialog(DialogAction action);
// True when every queued action ran; lists the unexpected dialogs.
bool all_dialogs_handled(std::string* unexpected = nullptr);
// Forgets queued actions and recorded unexpected dialogs.
void reset_dialogs();

// Actions and readers for dialogs and message boxes.
std::string box_text(HWND box);        // a message box's text
std::string window_text(HWND window);  // a window's caption or text
void press(HWND dialog, int id);       // click a button
std::string dialog_item_text(HWND dialog, int id);
DialogAction answer(int button);  // press a button, recording the box text
// Texts of the message boxes answered through answer(), in order.
std::vector<std::string>& answered_boxes();

// The report pane's text with CR LF made LF.
std::string pane_text();
void set_pane_text(const std::string& text);  // marks the pane modified

// A test with a fresh main window in a temporary folder; at its end every
// queued dialog must have come and no unexpected one.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { open_main_window(dir); }
    void TearDown() override {
        close_main_window();
        std::string unexpected;
        EXPECT_TRUE(all_dialogs_handled(&unexpected)) << unexpected;
    }
    TestDir dir;
};
