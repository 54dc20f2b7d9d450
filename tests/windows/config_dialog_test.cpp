// The settings dialog's procedure inside one process: the version text of an executable
// without version information, the swatch brush's life, an OK whose save fails, the browse
// buttons against the common dialogs of older systems, and the colour chooser's refusal of a
// null colour.
#include "config_dialog/config_dialog.h"
#include "launcher/settings.h"
#include "resources/resource_ids.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <cderr.h>
#include <cstdlib>
#include <string>
#include <vector>

// The template from the built .scr; this test program carries no resources of its own.
class ConfigDialogProcedure : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("SAVER_BUILD_DIR"), nullptr);
        std::string path = SaverBinary();
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << path;
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(CONFIG_DIALOG_TEMPLATE), MAKEINTRESOURCEA(5));
        ASSERT_NE(found, nullptr);
        dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, found)));
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }
    HWND OpenDialog()
    {
        return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, nullptr,
                                          ConfigDialogProc, 0);
    }
    HMODULE module = nullptr;
    const DLGTEMPLATE* dialogTemplate = nullptr;
};

TEST_F(ConfigDialogProcedure, WithoutVersionInformationTheVersionIsZeroAndTheBrushGoesAtTheEnd)
{
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    for (int n : ConfigDialogState.versionNumbers)
        EXPECT_EQ(n, 0);
    char text[512] = {};
    GetDlgItemTextA(dialog, IDC_VERSION_TEXT, text, sizeof text);
    EXPECT_EQ(std::string(text).substr(0, 36), "velora_ss_lunch ver0.00 (build0000)\n");
    EXPECT_NE(ConfigDialogState.swatchBrush, nullptr);

    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(ConfigDialogState.swatchBrush, nullptr) << "the brush outlives the dialog";
    DestroyWindow(dialog);
}

TEST_F(ConfigDialogProcedure, OnlyTheSwatchGetsTheColourBrush)
{
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    HDC context = GetDC(dialog);
    INT_PTR swatch = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                                  reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_COLOR_SWATCH)));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(swatch), ConfigDialogState.swatchBrush);
    INT_PTR label = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_VERSION_TEXT)));
    EXPECT_NE(reinterpret_cast<HBRUSH>(label), ConfigDialogState.swatchBrush);
    ReleaseDC(dialog, context);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dialog);
}

// An OK whose save fails is told in an error box of the dialog's own, and the dialog stays open
// with the user's choices; the next OK, once the file can be written, ends it.
TEST_F(ConfigDialogProcedure, AFailedSaveIsToldAndTheDialogStaysOpenUntilASaveSucceeds)
{
    const std::string settingsPath = SettingsFileOf(ExecutablePath());
    DeleteFileA(settingsPath.c_str());
    RemoveDirectoryA(settingsPath.c_str()); // left by an earlier run that failed
    ASSERT_TRUE(CreateDirectoryA(settingsPath.c_str(), nullptr)); // the file's place taken
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    lstrcpyA(ConfigDialogState.settings.accessoryPath, "C:\\chosen\\velorandix.exe");
    char title[128] = {};
    GetWindowTextA(dialog, title, sizeof title);
    BoxAnswerer answerer;
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(SeenBoxes().size(), 1u);
    const SeenBox& box = SeenBoxes()[0];
    EXPECT_EQ(box.text, SAVE_FAILED_TEXT + settingsPath + SAVE_FAILED_ADVICE);
    EXPECT_EQ(box.caption, title);
    EXPECT_EQ(box.owner, dialog);
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_HAND));
    EXPECT_NE(ConfigDialogState.swatchBrush, nullptr) << "the dialog ended";
    EXPECT_STREQ(ConfigDialogState.settings.accessoryPath, "C:\\chosen\\velorandix.exe");

    RemoveDirectoryA(settingsPath.c_str());
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(SeenBoxes().size(), 1u);
    EXPECT_EQ(ConfigDialogState.swatchBrush, nullptr) << "the dialog did not end";
    DestroyWindow(dialog);
    DeleteFileA(settingsPath.c_str());
}

// OPENFILENAMEA up to lpTemplateName: all that the Windows 95 family and NT 4 know.
static const DWORD OLDER_FORM_SIZE = sizeof(void*) == 4 ? 76 : 136;

// The common dialogs as a scripted stand-in. Each call is kept with the starting name as it
// was then. An older system (the Windows 95 family, NT 4) refuses any size but the older form;
// a starting name may be refused; otherwise the user confirms the choice or, without one,
// cancels.
struct OpenFileCall {
    OPENFILENAMEA request;
    std::string startingName;
};

struct ScriptedCommonDialogs {
    bool olderSystem;
    bool refuseStartingName;
    const char* choice;
    DWORD error;
    std::vector<OpenFileCall> calls;
};
static ScriptedCommonDialogs gScriptedDialogs;

static BOOL WINAPI ScriptedGetOpenFileName(OPENFILENAMEA* request)
{
    gScriptedDialogs.calls.push_back({*request, request->lpstrFile});
    gScriptedDialogs.error = 0;
    if (gScriptedDialogs.olderSystem && request->lStructSize != OLDER_FORM_SIZE)
        gScriptedDialogs.error = CDERR_STRUCTSIZE;
    else if (gScriptedDialogs.refuseStartingName && request->lpstrFile[0] != '\0')
        gScriptedDialogs.error = FNERR_INVALIDFILENAME;
    else if (gScriptedDialogs.choice)
        lstrcpynA(request->lpstrFile, gScriptedDialogs.choice, request->nMaxFile);
    return gScriptedDialogs.error == 0 && gScriptedDialogs.choice != nullptr;
}

static DWORD WINAPI ScriptedCommDlgExtendedError()
{
    return gScriptedDialogs.error;
}

class BrowseButtons : public ConfigDialogProcedure {
protected:
    void SetUp() override
    {
        ConfigDialogProcedure::SetUp();
        gGetOpenFileName = ScriptedGetOpenFileName;
        gCommDlgExtendedError = ScriptedCommDlgExtendedError;
    }
    void TearDown() override
    {
        gGetOpenFileName = realGetOpenFileName;
        gCommDlgExtendedError = realCommDlgExtendedError;
        ConfigDialogProcedure::TearDown();
    }
    GetOpenFileNameFunction realGetOpenFileName = gGetOpenFileName;
    CommDlgExtendedErrorFunction realCommDlgExtendedError = gCommDlgExtendedError;
};

// The older systems get the older form of the same request, and their answer counts as the
// first one would, the retry from an empty starting name included.
TEST_F(BrowseButtons, AnOlderSystemGetsTheOlderFormOfTheSameRequest)
{
    const UINT FULL = sizeof(OPENFILENAMEA);
    const UINT OLDER = OLDER_FORM_SIZE;
    const char STORED[] = "C:\\stored\\velorandix.exe";
    const char CHOSEN[] = "C:\\chosen\\velorandix.exe";
    char* const accessory = ConfigDialogState.settings.accessoryPath;
    char* const playlist = ConfigDialogState.settings.playlistPath;
    struct Case {
        const char* what;
        int button;
        int edit;
        char* path;
        bool olderSystem;
        bool refuseStartingName;
        const char* choice;
        std::vector<UINT> sizes;
        std::vector<std::string> startingNames;
        const char* result;
    };
    const Case cases[] = {
        {"newer system", IDC_ACCESSORY_BROWSE, IDC_ACCESSORY_PATH, accessory, false, false,
         CHOSEN, {FULL}, {STORED}, CHOSEN},
        {"older system, accessory", IDC_ACCESSORY_BROWSE, IDC_ACCESSORY_PATH, accessory, true,
         false, CHOSEN, {FULL, OLDER}, {STORED, STORED}, CHOSEN},
        {"older system, playlist", IDC_PLAYLIST_BROWSE, IDC_PLAYLIST_PATH, playlist, true, false,
         CHOSEN, {FULL, OLDER}, {STORED, STORED}, CHOSEN},
        {"older system, cancelled", IDC_ACCESSORY_BROWSE, IDC_ACCESSORY_PATH, accessory, true,
         false, nullptr, {FULL, OLDER}, {STORED, STORED}, STORED},
        {"older system refusing the starting name", IDC_PLAYLIST_BROWSE, IDC_PLAYLIST_PATH,
         playlist, true, true, CHOSEN, {FULL, OLDER, OLDER}, {STORED, STORED, ""}, CHOSEN},
        {"older system refusing the starting name, cancelled", IDC_ACCESSORY_BROWSE,
         IDC_ACCESSORY_PATH, accessory, true, true, nullptr, {FULL, OLDER, OLDER},
         {STORED, STORED, ""}, STORED},
    };
    for (const Case& c : cases) {
        HWND dialog = OpenDialog();
        ASSERT_NE(dialog, nullptr);
        lstrcpynA(c.path, STORED, SETTINGS_PATH_SIZE);
        SetDlgItemTextA(dialog, c.edit, STORED);
        gScriptedDialogs = ScriptedCommonDialogs();
        gScriptedDialogs.olderSystem = c.olderSystem;
        gScriptedDialogs.refuseStartingName = c.refuseStartingName;
        gScriptedDialogs.choice = c.choice;

        SendMessageA(dialog, WM_COMMAND, c.button, 0);
        const std::vector<OpenFileCall>& calls = gScriptedDialogs.calls;
        std::vector<UINT> sizes;
        std::vector<std::string> startingNames;
        for (const OpenFileCall& call : calls) {
            sizes.push_back(call.request.lStructSize);
            startingNames.push_back(call.startingName);
        }
        EXPECT_EQ(sizes, c.sizes) << c.what;
        EXPECT_EQ(startingNames, c.startingNames) << c.what;
        ASSERT_FALSE(calls.empty()) << c.what;
        const OPENFILENAMEA& first = calls[0].request;
        EXPECT_EQ(first.hwndOwner, dialog) << c.what;
        EXPECT_EQ(first.nMaxFile, static_cast<DWORD>(SETTINGS_PATH_SIZE)) << c.what;
        for (size_t i = 1; i < calls.size(); ++i) {
            const OPENFILENAMEA& call = calls[i].request;
            EXPECT_EQ(call.hwndOwner, first.hwndOwner) << c.what << ", call " << i;
            EXPECT_EQ(call.lpstrFilter, first.lpstrFilter) << c.what << ", call " << i;
            EXPECT_EQ(call.lpstrFile, first.lpstrFile) << c.what << ", call " << i;
            EXPECT_EQ(call.nMaxFile, first.nMaxFile) << c.what << ", call " << i;
            EXPECT_EQ(call.lpstrTitle, first.lpstrTitle) << c.what << ", call " << i;
            EXPECT_EQ(call.Flags, first.Flags) << c.what << ", call " << i;
            EXPECT_EQ(call.lpstrDefExt, first.lpstrDefExt) << c.what << ", call " << i;
        }
        EXPECT_STREQ(c.path, c.result) << c.what;
        char shown[SETTINGS_PATH_SIZE] = {};
        GetDlgItemTextA(dialog, c.edit, shown, sizeof shown);
        EXPECT_STREQ(shown, c.result) << c.what;

        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        DestroyWindow(dialog);
    }
}

TEST(PickColor, ANullColourShowsNothingAndAnswersZero)
{
    EXPECT_EQ(PickColor(nullptr, nullptr), 0);
}
