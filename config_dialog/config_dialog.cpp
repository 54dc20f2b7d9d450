// Placeholder until the dialog arrives.
#include "config_dialog/config_dialog.h"
ConfigDialogStateRecord ConfigDialogState;
INT_PTR CALLBACK ConfigDialogProc(HWND d, UINT m, WPARAM wp, LPARAM) {
    if (m == WM_INITDIALOG) return 1;
    if (m == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) { EndDialog(d, LOWORD(wp) == IDOK); return 1; }
    return 0;
}
int PickColor(HWND, COLORREF*) { return 0; }
void ReadFileVersion() {}
