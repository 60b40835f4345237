// The report pane: an EDIT control filling the main window's client area
// with a 4-pixel inner margin, its font and its colours.
#pragma once

#include <windows.h>

// The pane font description from the stock ANSI fixed-pitch font, and the
// font made from it (before the main window exists).
void buildpanefont();
// WM_CREATE: the pane (child 1000), the document title, the font, the brush.
void createpane(HWND main);
// WM_SIZE: fill the client area and keep the 4-pixel margin.
void sizepane(int width, int height);
// A new font from the description, with the margin kept (also after a run).
void applypanefont();
// The pane background colour from the colour dialog's choice.
void applypanecolour();
// The font and colour dialogs (commands 1201 and 1203).
void choosepanefont();
void choosepanecolour();
// Command 1202: back to the stock font and the system colours.
void standardformat();
// WM_SYSCOLORCHANGE.
void followsystemcolours();
// WM_CTLCOLOREDIT: sets the colours on the pane's device context and
// returns the pane brush.
LRESULT panecolours(HDC dc);
void releasepanebrush();
