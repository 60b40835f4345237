// The main window: start-up of the window half, the window procedure, its
// commands and menu updates, and the message loop.
#pragma once

#include <windows.h>

// Start-up steps on the window side, in order: register the class, load the
// cursors, build the pane font, create and show the main window (which
// creates the pane), prepare the file, font and colour dialog settings and
// load the accelerators.  False when the window could not be created.
bool createmainwindow(HINSTANCE instance, int show);
LRESULT CALLBACK mainwindowproc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Runs one menu or accelerator command.
void runcommand(int id);
// Enables and grays the items of the File (0) and Edit (1) pop-ups.
void updatepopup(HMENU popup, int position);
// Runs the message loop until the quit message; returns its exit code.
int messageloop();
