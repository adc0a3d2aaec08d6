// The reminder's resource and command ids: one vocabulary for the menu, the
// accelerators, the buttons and the code. Plain #defines, so the resource compiler
// reads them too.
#pragma once

#include "about_resources.h"  // IDI_LUMARET, the program's icon

// Form1's menu bar and its keyboard table.
#define IDR_FORM1_MENU 200
#define IDR_FORM1_ACCELERATORS 201

// Buttons: a click and their Alt key send the same command.
#define IDC_NEW_VERSE_CMD 1001  // "&Next Verse"
#define IDC_MINIMIZE_CMD 1002   // "&Amen"

// Menu items.
#define IDM_FILE_EXIT 1101
#define IDM_EDIT_COPY 1102
#define IDM_OPTIONS_AUTOSTART 1103
#define IDM_INTERVAL_0 1110  // "&Thirty Minutes"; the other intervals follow in menu order
#define IDM_HOURLY_CHIME 1120
#define IDM_DATA_EDITOR 1121
#define IDM_HELP_HELP 1130
#define IDM_HELP_ABOUT 1131

// Labels, for reading them back.
#define IDC_VERSES_LBL 1201
#define IDC_CHAP_VERSE_SEP_LBL 1202
#define IDC_CHAPTER_LBL 1203
#define IDC_BOOK_LBL 1204
#define IDC_VERSE_TXT_LBL 1205
