/* Identifiers shared by the resource script and the code: the settings dialog and its
   controls, the version resource's string block. Plain defines, so that windres reads it too. */
#pragma once

#define CONFIG_DIALOG_TEMPLATE 2003
#define IDC_ACCESSORY_PATH 1001
#define IDC_ACCESSORY_BROWSE 1002
#define IDC_COLOR_SWATCH 1003
#define IDC_COLOR_CHANGE 1004
#define IDC_PLAYLIST_PATH 1005
#define IDC_PLAYLIST_BROWSE 1006
#define IDC_VERSION_TEXT 1007

/* The predefined control classes by their atoms, as a dialog template names them. windres keeps
   a class given by name as a string; a number becomes the atom. */
#define BUTTON_CLASS 0x0080
#define EDIT_CLASS 0x0081
#define STATIC_CLASS 0x0082

/* The shell shows this icon group; the saver window's class asks for 100, which is absent. */
#define APPLICATION_ICON 102
