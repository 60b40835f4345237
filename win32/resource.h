// Identifiers shared by peakgrid.rc and the Win32 front.
#pragma once

// Resources
#define IDR_MAINMENU 1000  // menu bar
#define IDR_ACCEL 1000     // accelerator table
#define IDI_PROGRAM 1000   // program icon
#define IDD_ABOUT 1000     // About box
#define IDC_PANE 1000      // the report pane (child control)

// String table
#define IDS_CLASSNAME 1001  // window class name, the module word
#define IDS_TITLE 1002      // main window title, default document title
#define IDS_FILTER 1003     // file dialog filter, '|' separated
#define IDS_DEFEXT 1004     // file dialog default extension
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
#define CM_PRINTSETUP 1007  // no action: beep
#define CM_PRINT 1008       // no action: beep
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

// Parameter dialog: ten rows of five controls.  Row r's control of a column
// is the column's identifier + 5(r - 1), so a row's five are consecutive.
#define IDD_PARAMS 1100
#define IDC_ROW_LABEL 1101   // static text: the short label
#define IDC_ROW_COUNT1 1102  // static text: a binary table's row count
#define IDC_ROW_COUNT2 1103  // static text: its column count
#define IDC_ROW_VALUE 1104   // edit: the value
#define IDC_ROW_SET 1105     // push button "Set"
#define ROW_STRIDE 5
#define ROW_COUNT 10
#define ROWID(column, r) ((column) + ROW_STRIDE * ((r)-1))

// Value-entry dialog: label line k (1 to 12) is IDC_VALUE_LINE(k).
#define IDD_VALUE 1500
#define IDC_VALUE_CAPTION 1501  // static text "Type the value"
#define IDC_VALUE_EDIT 1502     // edit: the typed value
#define VALUE_LINES 12
#define IDC_VALUE_LINE(k) (IDC_VALUE_EDIT + (k))
