// Resource identifiers of Drivora.
#pragma once

// Main frame: title, menu, accelerators, toolbar bitmap, icon.
#define IDR_MAINFRAME 128

// About box.
#define IDD_ABOUTBOX 100

// Help dialog.
#define IDD_HELP 130

// Framework identifiers the frame keeps.
#define IDS_APP_TITLE 57344
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_PRINT 57607
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_VIEW_TOOLBAR 59392
#define IDW_TOOLBAR 59392
#define IDW_PANE_FIRST 59648

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
