// The settings that are a number chosen in a control, shown and taken by the one table of
// them (SETTING_CONTROLS), each by what its kind of control needs.
#include "config_dialog/config_dialog.h"
#include <commctrl.h>

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

// The keys, a click beside the thumb and the ticks all go by the step. The template's control
// knows none of it: a trackbar starts at 0 to 100, by ones and by fifths.
static void ShowOnTrackbar(HWND dialog, const SettingControl& row, int value)
{
    const SettingsKey& key = *row.key;
    SendDlgItemMessageA(dialog,
                        row.control,
                        TBM_SETRANGE,
                        FALSE,
                        MAKELPARAM(key.lowest, key.highest));
    SendDlgItemMessageA(dialog, row.control, TBM_SETLINESIZE, 0, row.step);
    SendDlgItemMessageA(dialog, row.control, TBM_SETPAGESIZE, 0, row.step);
    SendDlgItemMessageA(dialog, row.control, TBM_SETTICFREQ, row.step, 0);
    SendDlgItemMessageA(dialog, row.control, TBM_SETPOS, TRUE, value);
}

void ShowSettingControls(HWND dialog, const LauncherSettingsRecord* settings)
{
    for (const SettingControl& row : SETTING_CONTROLS) {
        int value = settings->*row.key->number;
        switch (row.kind) {
        case DROP_DOWN_LIST: ShowInList(dialog, row, value); break;
        case TRACKBAR: ShowOnTrackbar(dialog, row, value); break;
        case CHECK_BOX:
            SendDlgItemMessageA(dialog, row.control, BM_SETCHECK, value == row.key->highest, 0);
            break;
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
        case TRACKBAR:
            value = static_cast<int>(SendDlgItemMessageA(dialog, row.control, TBM_GETPOS, 0, 0));
            break;
        case CHECK_BOX: {
            LRESULT check = SendDlgItemMessageA(dialog, row.control, BM_GETCHECK, 0, 0);
            value = check == BST_CHECKED ? row.key->highest : row.key->lowest;
            break;
        }
        }
    }
}

// The trackbar has moved the thumb by its line or page size, or to where it was dragged,
// before it tells: a position between steps, from a value the file held, goes on to the
// step beyond it in the direction of the move.
void KeepTrackbarOnItsSteps(HWND dialog, HWND control, int code)
{
    for (const SettingControl& row : SETTING_CONTROLS) {
        if (row.kind != TRACKBAR || GetDlgItem(dialog, row.control) != control)
            continue;
        int position = static_cast<int>(SendMessageA(control, TBM_GETPOS, 0, 0));
        int past = (position - row.key->lowest) % row.step;
        if (past == 0)
            return;
        bool up = code == TB_LINEDOWN || code == TB_PAGEDOWN; // to the right: higher
        bool down = code == TB_LINEUP || code == TB_PAGEUP;
        if (down || (!up && 2 * past >= row.step))
            position += row.step;
        SendMessageA(control, TBM_SETPOS, TRUE, position - past);
        return;
    }
}
