// Reading the screen-saver command line, with the character stepping handed in.
#include "saver_host/portable/command_line.h"

static bool IsBlankOrControl(char c)
{
    unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 0x01 && byte <= 0x20;
}

const char* FindCommandTail(const char* commandLine, NextCharFunction nextChar)
{
    const char* p = commandLine;
    if (*p == '"') {
        do {
            p = nextChar(p);
        } while (*p != '\0' && *p != '"');
        if (*p == '"')
            ++p;
    } else {
        // Bytes 0x80 and above belong to the name: compare unsigned.
        while (static_cast<unsigned char>(*p) > 0x20)
            p = nextChar(p);
    }
    while (IsBlankOrControl(*p))
        p = nextChar(p);
    return p;
}

static const char* SkipSpaces(const char* p)
{
    while (*p == ' ')
        ++p;
    return p;
}

SaverCommand ScanCommandTail(const char* tail)
{
    const char* p = tail;
    while (*p == ' ' || *p == '-' || *p == '/')
        ++p;
    switch (*p) {
    case '\0': return {SaverMode::ConfigureWithoutOwner, nullptr};
    case 'S':
    case 's': return {SaverMode::FullScreen, p + 1};
    case 'C':
    case 'c': return {SaverMode::Configure, p[1] == ':' ? p + 2 : nullptr};
    case 'A':
    case 'a': return {SaverMode::ChangePassword, SkipSpaces(p + 1)};
    case 'P':
    case 'p':
    case 'L':
    case 'l': return {SaverMode::Preview, SkipSpaces(p + 1)};
    default: return {SaverMode::Unusable, p};
    }
}

uint32_t ParseWindowHandle(const char* text)
{
    uint32_t value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    return value;
}
