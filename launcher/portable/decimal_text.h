// Reading a whole decimal number strictly: the numbers of the settings file and of the music
// device's replies, where any other text means "not known". Platform-free.
#pragma once
#include <cstdint>

// 1, with *value, when text is exactly an optional minus sign and decimal digits whose value
// lies within lowest to highest. 0, *value untouched, for anything else: empty text, a sign
// alone, a blank or any other byte, a value out of range however many digits it has.
int ReadDecimal(const char* text, int32_t lowest, int32_t highest, int32_t* value);
