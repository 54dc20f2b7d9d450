// The system's ANSI code page (932 on Japanese Windows), as the platform-free text scanners
// take it: a lead-byte test and a character step.
#include "saver_host/saver_host.h"

bool IsSystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != 0;
}

const char* NextSystemCharacter(const char* text)
{
    return CharNextA(text);
}
