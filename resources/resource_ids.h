/* Identifiers shared by the resource scripts and the code: the settings dialog and its
   controls, the string table's texts, the icon. Plain defines, so that windres reads it too. */
#pragma once

#define CONFIG_DIALOG_TEMPLATE 2003
#define IDC_ACCESSORY_PATH 1001
#define IDC_ACCESSORY_BROWSE 1002
#define IDC_COLOR_SWATCH 1003
#define IDC_COLOR_CHANGE 1004
#define IDC_PLAYLIST_PATH 1005
#define IDC_PLAYLIST_BROWSE 1006
#define IDC_VERSION_TEXT 1007
#define IDC_PLAYLIST_CONTENTS 1008
#define IDC_PLAY_ORDER 1009
#define IDC_VOLUME 1010
#define IDC_FADE_IN 1011

/* The string table's texts (texts.h holds them), loaded by number. */
#define IDS_MISSING_ACCESSORY 1
#define IDS_MISSING_ACCESSORY_CAPTION 2
#define IDS_SAVE_FAILED 3
#define IDS_SAVE_FAILED_ADVICE 4
#define IDS_UNUSABLE_PATH 5
#define IDS_UNUSABLE_PATH_ADVICE 6
#define IDS_ACCESSORY_DIALOG_TITLE 7
#define IDS_ACCESSORY_FILE_TYPE 8
#define IDS_PLAYLIST_DIALOG_TITLE 9
#define IDS_PLAYLIST_FILE_TYPE 10
#define IDS_VERSION_CREDIT 11
/* The play order's items: IDS_PLAY_ORDER_FIRST plus the setting's value. */
#define IDS_PLAY_ORDER_FIRST 12
#define IDS_PLAY_ORDER_CONTINUE 13
#define IDS_PLAY_ORDER_SHUFFLE 14
#define IDS_PLAYLIST_ONE_TRACK 15
#define IDS_PLAYLIST_TRACKS 16
#define IDS_PLAYLIST_MISSING_TRACKS 17
#define IDS_PLAYLIST_NO_TRACK 18
#define IDS_PLAYLIST_UNREADABLE 19
#define IDS_SAVE_PARTLY_FAILED 20

/* The predefined control classes by their atoms, as a dialog template names them. windres keeps
   a class given by name as a string; a number becomes the atom. */
#define BUTTON_CLASS 0x0080
#define EDIT_CLASS 0x0081
#define STATIC_CLASS 0x0082
#define COMBOBOX_CLASS 0x0085
/* A common control has no atom: the trackbar goes by its name. */
#define TRACKBAR_CLASS_NAME "msctls_trackbar32"

/* The shell shows this icon group; the saver window's class asks for 100, which is absent. */
#define APPLICATION_ICON 102
