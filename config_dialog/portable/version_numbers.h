// The numbers of the executable's FileVersion text ("1, 0, 106, 0 ") and the version text the
// settings dialog shows. Platform-free, so that it builds natively and can be fuzzed.
#pragma once
#include <cstddef>

const int VERSION_NUMBER_COUNT = 4;
// The dialog's version text: this line (major, minor in two digits, build in four; the
// revision is not shown), then the credit line of the string table (resources/texts.h)
// directly after its line feed, in VERSION_TEXT_SIZE units. The one text of the dialog that
// texts.h does not hold: it is made of numbers, the same in both languages.
inline constexpr char VERSION_LINE_FORMAT[] = "velora_ss_lunch ver%d.%02d (build%04d)\n";
const int VERSION_TEXT_SIZE = 512;

// Fills numbers with the first four pieces of text split at commas, each piece read as a
// signed decimal number; entries without a piece are 0. The text ends at its NUL or after
// length bytes, whichever comes first, and is not changed.
//
// The split is the one of a tokenizer with the single delimiter ",": a run of commas separates
// like one comma, and no empty piece comes before the first comma, between commas or after the
// last. A piece reads as a base-10 conversion reads it: leading white space skipped, an optional
// sign, then decimal digits up to the first other byte; no digits give 0, and a value beyond
// the 32-bit range stops at the nearest limit.
void SplitVersionNumbers(const char* text, size_t length, int numbers[VERSION_NUMBER_COUNT]);
