// Code page 932 as the system's IsDBCSLeadByte and CharNextA see it, for the native tests and
// the fuzz targets of the platform-free code, which run where no such system is; and long
// names made of one character repeated, in any code page.
#pragma once
#include <string>

inline bool IsShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A single-byte code page: every byte a character of its own.
inline bool NoLeadByte(unsigned char)
{
    return false;
}

// A lead byte takes the next byte along unless that byte is the terminating NUL.
inline const char* StepShiftJis(const char* text)
{
    unsigned char byte = static_cast<unsigned char>(*text);
    if (byte == 0)
        return text;
    return (IsShiftJisLeadByte(byte) && text[1] != '\0') ? text + 2 : text + 1;
}

inline std::string Repeated(int count, const std::string& text)
{
    std::string repeated;
    for (int i = 0; i < count; ++i)
        repeated += text;
    return repeated;
}
