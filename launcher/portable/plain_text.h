// Small helpers on NUL-terminated 8-bit text in any code page. Platform-free.
#pragma once
#include <cstddef>

// Whether text equals lowerCase, an ASCII text, with text's ASCII letters in either case. A
// double-byte character never matches: its first byte is never ASCII.
bool EqualsIgnoringCase(const char* text, const char* lowerCase);

// Appends text to the NUL-terminated contents of a buffer of the given size, as much as fits
// with the NUL. Returns the new length.
size_t AppendBounded(char* buffer, size_t size, size_t length, const char* text);
