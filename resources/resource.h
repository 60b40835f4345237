// Identifiers shared by peakgrid.rc and the Win32 front.
#pragma once

// Resources
#define IDR_MAINMENU 1000     // menu bar
#define IDR_ACCEL 1000        // accelerator table
#define IDI_PROGRAM 1000      // program icon
#define IDD_ABOUT 1000        // About box
#define IDC_PANE 1000         // the report pane (child control)

// String table
#define IDS_CLASSNAME 1001    // window class name, the module word
#define IDS_TITLE 1002        // main window title, default document title
#define IDS_FILTER 1003       // file dialog filter, '|' separated
#define IDS_DEFEXT 1004       // file dialog default extension
#define IDS_SAVEBEFORECLOSE 2001
#define IDS_REVERTSAVED 2002
#define IDS_REVERTSTANDARD 2003
#define IDS_TOOLONG 2005

// File and document commands
#define CM_NEW 1001
#define CM_OPEN 1002
#define CM_CLOSE 1003
#define CM_SAVE 1004
#define CM_SAVEAS 1005
#define CM_REVERT 1006
#define CM_PRINTSETUP 1007    // no action: beep
#define CM_PRINT 1008         // no action: beep
#define CM_EXIT 1009
#define CM_DEFAULTFOLDER 1010
#define CM_HELPMESSAGES 1011

// Edit commands
#define CM_UNDO 1101
#define CM_CUT 1102
#define CM_COPY 1103
#define CM_PASTE 1104
#define CM_DELETE 1105
#define CM_SELECTALL 1106

// Pane font and colours
#define CM_FONT 1201
#define CM_STANDARDFORMAT 1202
#define CM_BACKCOLOUR 1203

// Options: CM_OPTIONBASE + option number, 1301..1320
#define CM_OPTIONBASE 1300
#define CM_FIRSTOPTION 1301
#define CM_LASTOPTION 1320

// The "?" menu
#define CM_HELP 1401
#define CM_ABOUT 1402

// About box controls
#define IDC_ABOUT_ICON 1001
#define IDC_ABOUT_VERSION 1002
#define IDC_ABOUT_SYSTEMS 1003
#define IDC_ABOUT_CREDITS 1004
