// The launcher's version as the settings dialog shows it: the numbers of the executable's own
// FileVersion text, and the version line made of them over the credit line.
#include "config_dialog/config_dialog.h"

static const char FILE_VERSION_KEY[] = "\\StringFileInfo\\041104b0\\FileVersion";

void ReadFileVersion()
{
    int* numbers = ConfigDialogState.versionNumbers;
    for (int i = 0; i < VERSION_NUMBER_COUNT; ++i)
        numbers[i] = 0;

    char path[PATH_SIZE];
    if (!ReadExecutablePath(path))
        return;

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return;
    void* block = LocalAlloc(LMEM_FIXED, size);
    if (block == nullptr)
        return;

    char* text = nullptr;
    UINT textLength = 0;
    if (GetFileVersionInfoA(path, 0, size, block) &&
        VerQueryValueA(block, FILE_VERSION_KEY, reinterpret_cast<void**>(&text), &textLength) &&
        text != nullptr) {
        // The text lies inside the block; never read past the block's end.
        const char* blockEnd = static_cast<const char*>(block) + size;
        if (text >= static_cast<const char*>(block) && text < blockEnd)
            SplitVersionNumbers(text, static_cast<size_t>(blockEnd - text), numbers);
    }
    LocalFree(block);
}

void FormatVersionText(WCHAR* text)
{
    char line[VERSION_TEXT_SIZE] = {};
    const int* numbers = ConfigDialogState.versionNumbers;
    wsprintfA(line, VERSION_LINE_FORMAT, numbers[0], numbers[1], numbers[2]);
    int length = AnsiToUserText(line, text, VERSION_TEXT_SIZE);
    LoadUserText(IDS_VERSION_CREDIT, text + length, VERSION_TEXT_SIZE - length);
}
