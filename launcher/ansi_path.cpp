// Paths between UTF-16 and the ANSI code page, checked both ways, the short name of a path the
// code page cannot hold, and how a path in the ANSI code page is split into characters.
#include "launcher/ansi_path.h"
#include "saver_host/saver_host.h"

UINT(WINAPI* gAnsiCodePage)() = GetACP;
int(WINAPI* gLocaleInfo)(LCID, LCTYPE, LPSTR, int) = GetLocaleInfoA;

LeadByteTest AnsiPathLeadBytes()
{
    return gAnsiCodePage() == CP_UTF8 ? IsUtf8LeadByte : IsSystemLeadByte;
}

// WideCharToMultiByte puts a default or a look-alike character (e for é) in place of one that
// has none, and the Windows 95 family knows no flag against look-alikes: only text that comes
// back unchanged the other way is taken. UTF-8 has a form for every character but a lone
// surrogate, which comes back as U+FFFD; Windows refuses to say whether a default was used
// there (ERROR_INVALID_PARAMETER), so it is not asked.
bool WideToAnsi(const WCHAR* wide, char* ansi, int ansiSize)
{
    UINT codePage = gAnsiCodePage();
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultAnswer = codePage == CP_UTF8 ? nullptr : &usedDefault;
    int length =
        WideCharToMultiByte(codePage, 0, wide, -1, ansi, ansiSize, nullptr, usedDefaultAnswer);
    if (length == 0 || usedDefault)
        return false;
    WCHAR back[WIDE_PATH_SIZE];
    if (MultiByteToWideChar(codePage, 0, ansi, -1, back, WIDE_PATH_SIZE) == 0)
        return false;
    for (int i = 0; back[i] == wide[i]; ++i) {
        if (wide[i] == L'\0')
            return true;
    }
    return false;
}

// Imported, not looked up: KERNEL32 exports GetShortPathNameW on every Windows that loads the
// saver. The Windows 95 family's is a stub that fails (ERROR_CALL_NOT_IMPLEMENTED), which
// counts as a path with no short name.
bool ShortAnsiPath(const WCHAR* longPath, char* ansi, int ansiSize)
{
    WCHAR shortPath[WIDE_PATH_SIZE];
    DWORD shortLength = GetShortPathNameW(longPath, shortPath, WIDE_PATH_SIZE);
    if (shortLength == 0 || shortLength >= static_cast<DWORD>(WIDE_PATH_SIZE))
        return false;
    return WideToAnsi(shortPath, ansi, ansiSize);
}
