// Small helpers on NUL-terminated 8-bit text in any code page.
#include "launcher/portable/plain_text.h"
#include <cstring>

bool EqualsIgnoringCase(const char* text, const char* lowerCase)
{
    for (; *lowerCase != '\0'; ++text, ++lowerCase) {
        char c = *text;
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != *lowerCase)
            return false;
    }
    return *text == '\0';
}

size_t AppendBounded(char* buffer, size_t size, size_t length, const char* text)
{
    if (length >= size)
        return length;
    size_t room = size - 1 - length;
    size_t count = strlen(text);
    if (count > room)
        count = room;
    memcpy(buffer + length, text, count);
    length += count;
    buffer[length] = '\0';
    return length;
}
