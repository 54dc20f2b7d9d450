// The settings that are a number chosen in a control, shown and taken by the one table of
// them (SETTING_CONTROLS), each by what its kind of control needs.
#include "config_dialog/config_dialog.h"

// The items in the order of the values, each a text of the string table; the setting's value
// selected.
static void ShowInList(HWND dialog, const SettingControl& row, int value)
{
    const SettingsKey& key = *row.key;
    for (int item = 0; item <= key.highest - key.lowest; ++item) {
        WCHAR text[USER_CAPTION_SIZE];
        LoadUserText(row.firstItemText + item, text, USER_CAPTION_SIZE);
        SendUserText(dialog, row.control, CB_ADDSTRING, text);
    }
    SendDlgItemMessageA(dialog, row.control, CB_SETCURSEL, value - key.lowest, 0);
}

void ShowSettingControls(HWND dialog, const LauncherSettingsRecord* settings)
{
    for (const SettingControl& row : SETTING_CONTROLS) {
        int value = settings->*row.key->number;
        switch (row.kind) {
        case DROP_DOWN_LIST: ShowInList(dialog, row, value); break;
        }
    }
}

void TakeSettingControls(HWND dialog, LauncherSettingsRecord* settings)
{
    for (const SettingControl& row : SETTING_CONTROLS) {
        int& value = settings->*row.key->number;
        switch (row.kind) {
        case DROP_DOWN_LIST: {
            LRESULT item = SendDlgItemMessageA(dialog, row.control, CB_GETCURSEL, 0, 0);
            if (item != CB_ERR)
                value = row.key->lowest + static_cast<int>(item);
            break;
        }
        }
    }
}
