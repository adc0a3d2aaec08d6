/* The editor's resource and command ids, shared by the resource script and the window
   code: a menu item, an accelerator and a button that do the same thing share one id. */
#pragma once

/* Resources. Icon 1 is the one the shell shows for the program file. */
#define IDI_TOVIMAR 1
#define IDR_EDITFRM_MENU 100
#define IDR_EDITFRM_ACCEL 101

/* Menu commands. */
#define IDM_FILE_EXIT 200  /* FileExitMnu */
#define IDM_HELP_ABOUT 201 /* HelpAboutMnu */
#define IDM_HELP_NOTES 202 /* HelpNotesMnu */

/* The buttons of picButtons; Alt+A, Alt+U, Alt+D and Alt+R send the same ids. */
#define IDC_CMD_ADD 300
#define IDC_CMD_UPDATE 301
#define IDC_CMD_DELETE 302
#define IDC_CMD_REFRESH 303

/* Control arrays: txtFields(i) is IDC_TXT_FIELDS + i, lblLabels(i) IDC_LBL_LABELS + i,
   chkFields(2) IDC_CHK_FIELDS + 2. txtFields has no index 2. */
#define IDC_TXT_FIELDS 400
#define IDC_LBL_LABELS 410
#define IDC_CHK_FIELDS 420
#define IDC_PIC_BUTTONS 430
#define IDC_DAT_PRIMARY_RS 431

/* The navigation bar's buttons, children of datPrimaryRS; the bar passes their clicks
   on to its parent under these ids. */
#define IDC_NAV_FIRST 440
#define IDC_NAV_PREVIOUS 441
#define IDC_NAV_NEXT 442
#define IDC_NAV_LAST 443
