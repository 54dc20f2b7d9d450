// The configure mode's modal settings dialog (template 2003).
#pragma once
#include <windows.h>

struct ConfigDialogStateRecord {
    HBRUSH swatchBrush;        // WM_INITDIALOG and every confirmed colour; deleted at the end
    COLORREF customColors[16]; // PickColor: all black before every opening of the chooser
    int versionNumbers[4];     // ReadFileVersion: major, minor, build, revision
};
extern ConfigDialogStateRecord ConfigDialogState;

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int PickColor(HWND owner, COLORREF* color);
void ReadFileVersion();
