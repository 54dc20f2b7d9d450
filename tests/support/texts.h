// The texts the saver shows, in both its languages, as the product's own table holds them
// (resources/texts.h), for comparing with what a test reads back from a window.
#pragma once
#include "tests/support/desktop.h"

struct UserText {
    const wchar_t* japanese;
    const wchar_t* english;
};
// Each TEXT_ name of the table is then a UserText.
#define IN_LANGUAGE(japanese, english) (UserText{L"" japanese, L"" english})
#include "resources/texts.h"

// The text as a system in the locale shows it.
inline std::wstring In(const WineLocale& locale, const UserText& text)
{
    return locale.japaneseUi ? text.japanese : text.english;
}
