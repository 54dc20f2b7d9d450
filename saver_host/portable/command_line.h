// Reading the screen-saver command line: the program name, the tail and the first switch.
// Platform-free: the caller supplies the code page's character stepping.
#pragma once
#include <cstdint>

// Steps to the next character of 8-bit text (one or two bytes); stays put at the NUL.
typedef const char* (*NextCharFunction)(const char* text);

// The command tail: the command line after the program name (quoted or not) and the control
// bytes and blanks that follow it.
const char* FindCommandTail(const char* commandLine, NextCharFunction nextChar);

enum class SaverMode {
    ConfigureWithoutOwner, // no switch at all
    Configure,             // "c": argument is the text after ':' or null without a colon
    ChangePassword,        // "a": argument is the text after the letter and its blanks
    Preview,               // "p" or "l": argument as for "a"
    FullScreen,            // "s": the rest is ignored
    Unusable,              // any other switch byte
};

struct SaverCommand {
    SaverMode mode;
    const char* argument;
};

// Only the first switch counts; what follows it is read by the mode alone.
SaverCommand ScanCommandTail(const char* tail);

// A decimal window handle: digits from the first byte on, wrapping in 32 bits; 0 when the
// text does not start with a digit. Leading blanks are not skipped.
uint32_t ParseWindowHandle(const char* text);
