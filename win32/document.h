// The pane document: the report pane's text bound to a file on disk, the
// commands that act on it, the ask-to-save guard and the querybox.
#pragma once

#include <windows.h>

// A message box over the main window with string resource id, its "%s"
// replaced by text; returns the button pressed.  The default beep first.
int querybox(int id, UINT icon, UINT buttons, const char* caption, const char* text);
// Before closing the pane's text: asks to save it when modified.  True when
// closing may go on (the document then has no file and the pane is empty).
bool asktosave();
// Opens (creating when missing) a file as the document and loads it.
void openbyname(const char* path);
// Reloads the document's file into the pane (at most 32767 bytes).
void revertdocument();
// Writes the pane's text over the document's file.
void writedocument();
// Closes the document's open file, if any.
void closedocumentfile();
// Commands 1001 to 1005.
void newdocument();
void opendocument();
void closedocument();
void savedocument();
void saveasdocument();
// The shared file dialog starts in the default folder of the moment.
OPENFILENAMEA& sharedfiledialog();
