// The settings dialog's procedure inside one process: the version text of an executable
// without version information, the swatch brush's life, and the colour chooser's refusal of a
// null colour.
#include "config_dialog/config_dialog.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>

static const int VERSION_TEXT = 1007;

// Template 2003 from the built .scr; this test program carries no resources of its own.
class ConfigDialogProcedure : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* build = std::getenv("SAVER_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        std::string path = std::string("Z:") + build + "/velora_ss_launcher.scr";
        for (char& c : path)
            if (c == '/')
                c = '\\';
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << path;
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(2003), MAKEINTRESOURCEA(5));
        ASSERT_NE(found, nullptr);
        dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, found)));
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }
    HMODULE module = nullptr;
    const DLGTEMPLATE* dialogTemplate = nullptr;
};

TEST_F(ConfigDialogProcedure, WithoutVersionInformationTheVersionIsZeroAndTheBrushGoesAtTheEnd)
{
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, nullptr,
                                             ConfigDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    for (int n : ConfigDialogState.versionNumbers)
        EXPECT_EQ(n, 0);
    char text[512] = {};
    GetDlgItemTextA(dialog, VERSION_TEXT, text, sizeof text);
    EXPECT_EQ(std::string(text).substr(0, 36), "velora_ss_lunch ver0.00 (build0000)\n");
    EXPECT_NE(ConfigDialogState.swatchBrush, nullptr);

    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(ConfigDialogState.swatchBrush, nullptr) << "the brush outlives the dialog";
    DestroyWindow(dialog);
}

TEST_F(ConfigDialogProcedure, OnlyTheSwatchGetsTheColourBrush)
{
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, nullptr,
                                             ConfigDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    HDC context = GetDC(dialog);
    INT_PTR swatch = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                                  reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1003)));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(swatch), ConfigDialogState.swatchBrush);
    INT_PTR label = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, VERSION_TEXT)));
    EXPECT_NE(reinterpret_cast<HBRUSH>(label), ConfigDialogState.swatchBrush);
    ReleaseDC(dialog, context);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dialog);
}

TEST(PickColor, ANullColourShowsNothingAndAnswersZero)
{
    EXPECT_EQ(PickColor(nullptr, nullptr), 0);
}
