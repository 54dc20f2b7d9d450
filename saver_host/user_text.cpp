// Texts the user reads, held in UTF-16 whatever the ANSI code page. The NT family shows them
// through the wide functions, so that a Japanese text reaches a Western system's screen as
// written. The Windows 95 family has only stubs of most wide functions; its texts go through
// the ANSI ones, in its code page, which is the system's and so holds its own language.
#include "saver_host/saver_host.h"

// Room for a text in the ANSI code page: each UTF-16 unit takes at most two bytes there.
const int ANSI_TEXT_SIZE = 2 * USER_TEXT_SIZE;

// Best effort, for showing only: a character the code page lacks becomes its default.
static void ToAnsi(const WCHAR* text, char* ansi)
{
    if (!WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, ANSI_TEXT_SIZE, nullptr, nullptr))
        ansi[0] = '\0';
    ansi[ANSI_TEXT_SIZE - 1] = '\0';
}

int AnsiToUserText(const char* ansi, WCHAR* text, int size)
{
    int length = MultiByteToWideChar(CP_ACP, 0, ansi, -1, text, size);
    if (length == 0) {
        text[0] = '\0';
        return 0;
    }
    return length - 1;
}

int LoadUserText(UINT id, WCHAR* text, int size)
{
    text[0] = '\0';
    if (!SaverState.isWin9x)
        return LoadStringW(SaverState.instance, id, text, size);
    char ansi[ANSI_TEXT_SIZE];
    if (!LoadStringA(SaverState.instance, id, ansi, ANSI_TEXT_SIZE))
        return 0;
    return AnsiToUserText(ansi, text, size);
}

int ShowUserBox(HWND owner, const WCHAR* text, const WCHAR* caption, UINT type)
{
    if (!SaverState.isWin9x)
        return MessageBoxW(owner, text, caption, type);
    char ansiText[ANSI_TEXT_SIZE];
    char ansiCaption[ANSI_TEXT_SIZE];
    ToAnsi(text, ansiText);
    ToAnsi(caption, ansiCaption);
    return MessageBoxA(owner, ansiText, ansiCaption, type);
}

LRESULT SendUserText(HWND dialog, int control, UINT message, const WCHAR* text)
{
    if (!SaverState.isWin9x)
        return SendDlgItemMessageW(dialog, control, message, 0, reinterpret_cast<LPARAM>(text));
    char ansi[ANSI_TEXT_SIZE];
    ToAnsi(text, ansi);
    return SendDlgItemMessageA(dialog, control, message, 0, reinterpret_cast<LPARAM>(ansi));
}

void SetUserText(HWND dialog, int control, const WCHAR* text)
{
    SendUserText(dialog, control, WM_SETTEXT, text);
}

int GetUserText(HWND window, WCHAR* text, int size)
{
    text[0] = '\0';
    if (!SaverState.isWin9x)
        return GetWindowTextW(window, text, size);
    char ansi[ANSI_TEXT_SIZE];
    if (!GetWindowTextA(window, ansi, ANSI_TEXT_SIZE))
        return 0;
    return AnsiToUserText(ansi, text, size);
}
