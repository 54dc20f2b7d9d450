// The configure mode end to end: the real .scr's settings dialog under Wine in a Japanese
// locale, its template, version and icon resources, what OK and Cancel leave in the settings
// file, an OK that cannot save, the two file-open dialogs and the colour chooser, driven as a
// user drives them, and the user's own settings file where the saver's folder cannot be written.
#include "config_dialog/config_dialog.h"
#include "launcher/playlist.h"
#include "launcher/settings.h"
#include "resources/resource_ids.h"
#include "saver_host/saver_host.h"
#include "tests/support/desktop.h"
#include "tests/support/files.h"
#include "tests/support/sound.h"
#include "tests/support/texts.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

const char DIALOG_CLASS[] = "#32770";

// The dialog's two languages, as their templates hold them.
struct TemplateLanguage {
    const char* name;
    WORD id; // the resources' language
    const wchar_t* title;
    WORD fontSize;
    const wchar_t* font;
};
const TemplateLanguage JAPANESE = {
    "Japanese", MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
    L"velorandixデスクトップアクセサリ用スクリーンセーバーランチャー", 9, L"ＭＳ Ｐゴシック"};
const TemplateLanguage ENGLISH = {"English", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                  L"velorandix Screen Saver Launcher", 8, L"MS Shell Dlg"};

// The language a system shows: Japanese under a Japanese UI, English under any other.
static const TemplateLanguage& LanguageOf(const WineLocale& system)
{
    return system.japaneseUi ? JAPANESE : ENGLISH;
}

// The systems the dialog is shown on.
const WineLocale* const SYSTEMS[] = {&JAPANESE_SYSTEM, &ENGLISH_SYSTEM,
                                     &WESTERN_SYSTEM_JAPANESE_UI};

// Where a control or the dialog stands in dialog units: x, y, width and height.
typedef std::array<short, 4> Place;

// The controls the dialog has always had, in their template order, exactly as users know them,
// with their text in each language. The template may hold others between them: those are
// checked by what every control needs (see ExpectEveryControlHasItsPlace), not by their places.
struct TemplateControl {
    int id;
    const wchar_t* className;
    const wchar_t* japanese;
    const wchar_t* english;
    DWORD style; // besides WS_CHILD | WS_VISIBLE
    Place place;
    const wchar_t* TextIn(const TemplateLanguage& language) const
    {
        return &language == &ENGLISH ? english : japanese;
    }
};
const TemplateControl FORM_CONTROLS[] = {
    {1, L"Button", L"OK", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, {138, 160, 50, 14}},
    {2, L"Button", L"ｷｬﾝｾﾙ", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, {192, 160, 50, 14}},
    {-1, L"Button", L"velorandixデスクトップアクセサリ本体 (設定必須)",
     L"velorandix desktop accessory (required)", BS_GROUPBOX, {7, 7, 235, 49}},
    {IDC_ACCESSORY_PATH, L"Edit", L"", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
     {17, 32, 194, 14}},
    {-1, L"Static", L"※使用するvelorandix.exeを指定してください",
     L"Choose the velorandix.exe to run:", SS_LEFT | WS_GROUP, {18, 19, 134, 8}},
    {IDC_ACCESSORY_BROWSE, L"Button", L"...", L"...", BS_PUSHBUTTON | WS_TABSTOP,
     {215, 32, 17, 14}},
    {-1, L"Button", L"スクリーンセーバーの設定", L"Screen saver settings", BS_GROUPBOX,
     {7, 61, 235, 92}},
    {IDC_VERSION_TEXT, L"Static", L"ああああああああああああ\nああああああああああああ",
     L"Version\nCredit", SS_LEFT | WS_GROUP, {7, 158, 129, 16}},
    {-1, L"Static", L"背景色　：", L"Color:", SS_RIGHT | WS_GROUP, {18, 79, 31, 8}},
    {IDC_COLOR_CHANGE, L"Button", L"背景色の変更", L"Change...", BS_PUSHBUTTON | WS_TABSTOP,
     {80, 75, 50, 18}},
    {IDC_PLAYLIST_PATH, L"Edit", L"", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
     {57, 102, 154, 14}},
    {-1, L"Static", L"BGM　：", L"Music:", SS_RIGHT | WS_GROUP, {18, 106, 31, 8}},
    {IDC_PLAYLIST_BROWSE, L"Button", L"...", L"...", BS_PUSHBUTTON | WS_TABSTOP,
     {215, 102, 17, 14}},
    {-1, L"Static", L"↓空欄ならBGM無し", L"Empty: no music", SS_LEFT | WS_GROUP, {151, 91, 60, 8}},
    {IDC_COLOR_SWATCH, L"Static", L"　", L" ", SS_LEFT | SS_NOTIFY | SS_SUNKEN | WS_GROUP,
     {57, 75, 18, 18}},
};
const size_t FORM_CONTROL_COUNT = sizeof FORM_CONTROLS / sizeof FORM_CONTROLS[0];
// The predefined classes a template names by atom.
const struct {
    WORD atom;
    const wchar_t* name;
} CLASS_ATOMS[] = {{0x80, L"Button"},    {0x81, L"Edit"},      {0x82, L"Static"},
                   {0x83, L"ListBox"},   {0x84, L"ScrollBar"}, {0x85, L"ComboBox"}};
// The dialog's size in dialog units.
const int DIALOG_WIDTH = 249, DIALOG_HEIGHT = 181;
// The play order's items, in the order of the setting's values.
const UserText PLAY_ORDERS[] = {TEXT_PLAY_ORDER_FIRST, TEXT_PLAY_ORDER_CONTINUE,
                                TEXT_PLAY_ORDER_SHUFFLE};

const wchar_t VERSION_FIRST_LINE[] = L"velora_ss_lunch ver1.00 (build0106)";

// The colour chooser's controls: the red, green and blue fields, "add to custom colours",
// and the frame of the 16 custom colours (two rows of eight).
const int CHOOSER_RED = 706, CHOOSER_GREEN = 707, CHOOSER_BLUE = 708;
const int CHOOSER_ADD_CUSTOM = 712, CHOOSER_CUSTOM_COLORS = 721;
// The file-open dialog's file-type list and the two forms of its file-name field.
const int FILE_TYPE_LIST = 0x470, FILE_NAME_COMBO = 0x47c, FILE_NAME_EDIT = 0x480;

// The rectangle of a child in its parent's client coordinates.
static RECT ClientRectIn(HWND parent, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The screen point at a fraction of a window's client area.
static POINT ScreenPointIn(HWND window, double acrossX, double downY)
{
    RECT client;
    GetClientRect(window, &client);
    POINT point = {static_cast<LONG>(client.right * acrossX),
                   static_cast<LONG>(client.bottom * downY)};
    ClientToScreen(window, &point);
    return point;
}

struct DescendantSearch {
    const char* className;
    HWND found;
};

static BOOL CALLBACK MatchDescendant(HWND window, LPARAM lParam)
{
    DescendantSearch* search = reinterpret_cast<DescendantSearch*>(lParam);
    if (lstrcmpiA(ClassNameOf(window).c_str(), search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

static HWND FindDescendant(HWND parent, const char* className)
{
    DescendantSearch search = {className, nullptr};
    EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

static std::string ReadIni(const std::string& ini, const char* key)
{
    char value[1024];
    GetPrivateProfileStringA(SETTINGS_SECTION, key, "<missing>", value, sizeof value,
                             ini.c_str());
    return value;
}

static void Click(HWND button)
{
    PostMessageA(button, BM_CLICK, 0, 0);
}

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        EndLeftoversWithWindowOf(SAVER_CLASS_NAME); // a second saver would only bring it forward
        ASSERT_TRUE(CopyInto(SaverBinary(), saver));
    }
    void TearDown() override { Kill(child); }

    // Starts the saver with the tail on the system and waits for its dialog to show and paint.
    HWND Open(const std::string& tail = "/c", const WineLocale& system = JAPANESE_SYSTEM)
    {
        child = StartInLocale(system, saver, tail);
        dialog = WaitForWindow(child.processId, DIALOG_CLASS, nullptr, 15000);
        EXPECT_NE(dialog, nullptr) << "no dialog for " << tail << "; the saver is "
                                   << StateOf(child);
        for (int i = 0; dialog && i < 100 && !IsWindowVisible(dialog); ++i)
            PumpFor(50);
        PumpFor(400);
        return dialog;
    }

    HWND Control(int id) { return GetDlgItem(dialog, id); }

    DWORD ExitCode() { return WaitForExit(child, 10000); }

    // A visible dialog of the saver's process owned by the settings dialog: the file-open
    // dialog or the colour chooser.
    HWND WaitForOwnedDialog()
    {
        for (int i = 0; i < 200; ++i) {
            for (HWND window : WindowsOf(child.processId)) {
                if (window != dialog && ClassNameOf(window) == DIALOG_CLASS &&
                    GetWindow(window, GW_OWNER) == dialog && IsWindowVisible(window)) {
                    PumpFor(500);
                    return window;
                }
            }
            PumpFor(50);
        }
        return nullptr;
    }

    void WaitUntilGone(HWND window)
    {
        for (int i = 0; i < 200 && IsWindow(window) && IsWindowVisible(window); ++i)
            PumpFor(50);
        PumpFor(300);
    }

    COLORREF SwatchPixel()
    {
        POINT centre = ScreenPointIn(Control(IDC_COLOR_SWATCH), 0.5, 0.5);
        return ScreenPixel(centre.x, centre.y);
    }
    // The swatch as soon as it shows the colour, or as it is after five seconds. Wine holds
    // every hidden top-level window for two seconds, waiting for a window manager that the
    // virtual screen does not have, so the chooser returns that much later.
    COLORREF SwatchPixelOnceIt(COLORREF expected)
    {
        COLORREF pixel = SwatchPixel();
        for (int i = 0; i < 100 && pixel != expected; ++i) {
            PumpFor(50);
            pixel = SwatchPixel();
        }
        return pixel;
    }

    // The file-open dialog from a browse button, its name typed and confirmed with OK.
    HWND OpenFileDialog(int button)
    {
        Click(Control(button));
        HWND files = WaitForOwnedDialog();
        EXPECT_NE(files, nullptr) << "no file-open dialog from button " << button;
        return files;
    }
    void ChooseFileByName(HWND files, const std::string& name)
    {
        HWND field = GetDlgItem(files, FILE_NAME_COMBO);
        if (!field)
            field = GetDlgItem(files, FILE_NAME_EDIT);
        ASSERT_NE(field, nullptr) << "no file-name field";
        SetWindowTextW(field, Wide(name).c_str());
        Click(GetDlgItem(files, IDOK));
        WaitUntilGone(files);
    }

    CleanUserSettingsFolder userFolder;
    ScratchFolder scratch{std::string("config_dialog ") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string dir = scratch.Path();
    std::string saver = dir + "\\velora saver.scr";
    std::string ini = SettingsFileOf(saver);
    Child child;
    HWND dialog = nullptr;
};

// ---- Resources of the executable ---------------------------------------------------------

class Resources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryExA(SaverBinary().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }
    HMODULE module = nullptr;
};

// The settings dialog's template in a module of the .scr, in the language.
static const BYTE* SaversTemplate(HMODULE module, const TemplateLanguage& language)
{
    HRSRC found = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_DIALOG),
                                  MAKEINTRESOURCEW(CONFIG_DIALOG_TEMPLATE), language.id);
    return found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
}

// A control as the template holds it.
struct TemplateItem {
    DWORD style, extendedStyle;
    Place place;
    WORD id;
    WORD classAtom; // 0 for a class given by name
    std::wstring className, text;
    WORD creationData; // its size in bytes
};
// A standard (not extended) dialog template, its controls in template order.
struct DialogTemplate {
    DWORD style, extendedStyle;
    Place place;
    std::wstring menu, windowClass, title, font; // a number as "#n"; "" for none
    WORD fontSize;
    std::vector<TemplateItem> controls;
};

// Reads a standard dialog template in order.
struct TemplateReader {
    const BYTE* p;
    WORD Word()
    {
        WORD value = *reinterpret_cast<const WORD*>(p);
        p += 2;
        return value;
    }
    DWORD Dword()
    {
        DWORD value = *reinterpret_cast<const DWORD*>(p);
        p += 4;
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    std::wstring String()
    {
        std::wstring text = reinterpret_cast<const wchar_t*>(p);
        p += (text.size() + 1) * 2;
        return text;
    }
    // A name, or 0xFFFF and a number.
    std::wstring NameOrNumber(WORD* number = nullptr)
    {
        if (*reinterpret_cast<const WORD*>(p) != 0xFFFF)
            return String();
        Word();
        WORD value = Word();
        if (number)
            *number = value;
        return L"#" + std::to_wstring(value);
    }
    void AlignDword(const BYTE* base) { p = base + ((p - base + 3) & ~3); }
};

static DialogTemplate ReadTemplate(const BYTE* base)
{
    TemplateReader read = {base};
    DialogTemplate dialog = {};
    dialog.style = read.Dword();
    if (dialog.style == 0xFFFF0001u) // extended: left to the caller
        return dialog;
    dialog.extendedStyle = read.Dword();
    WORD count = read.Word();
    for (short& value : dialog.place)
        value = read.Short();
    dialog.menu = read.NameOrNumber();
    dialog.windowClass = read.NameOrNumber();
    dialog.title = read.String();
    if (dialog.style & DS_SETFONT) {
        dialog.fontSize = read.Word();
        dialog.font = read.String();
    }
    for (int i = 0; i < count; ++i) {
        TemplateItem item = {};
        read.AlignDword(base);
        item.style = read.Dword();
        item.extendedStyle = read.Dword();
        for (short& value : item.place)
            value = read.Short();
        item.id = read.Word();
        item.className = read.NameOrNumber(&item.classAtom);
        for (const auto& predefined : CLASS_ATOMS)
            if (item.classAtom == predefined.atom)
                item.className = predefined.name;
        item.text = read.NameOrNumber();
        item.creationData = read.Word();
        read.p += item.creationData;
        dialog.controls.push_back(item);
    }
    return dialog;
}

// The template's controls in the language, as the .scr holds them.
static std::vector<TemplateItem> TemplateControls(const TemplateLanguage& language)
{
    std::vector<TemplateItem> controls;
    HMODULE module = LoadLibraryExA(SaverBinary().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const BYTE* base = module ? SaversTemplate(module, language) : nullptr;
    if (base)
        controls = ReadTemplate(base).controls;
    if (module)
        FreeLibrary(module);
    return controls;
}

static bool IsFormControl(const TemplateItem& item, const TemplateControl& entry,
                          const TemplateLanguage& language)
{
    return item.id == static_cast<WORD>(entry.id) && item.className == entry.className &&
           item.text == entry.TextIn(language);
}

// The template's form, and the controls the dialog has always had, in their order, exactly.
static void ExpectTemplate(HMODULE module, const TemplateLanguage& language,
                           DialogTemplate* dialog)
{
    const BYTE* base = SaversTemplate(module, language);
    ASSERT_NE(base, nullptr) << "no dialog " << CONFIG_DIALOG_TEMPLATE;
    *dialog = ReadTemplate(base);
    ASSERT_NE(dialog->style, 0xFFFF0001u) << "extended template";
    EXPECT_EQ(dialog->style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                                DS_MODALFRAME | DS_CENTER | DS_SETFONT));
    EXPECT_EQ(dialog->extendedStyle, 0u);
    EXPECT_EQ(dialog->place, (Place{0, 0, DIALOG_WIDTH, DIALOG_HEIGHT}));
    EXPECT_EQ(dialog->menu, L"");
    EXPECT_EQ(dialog->windowClass, L""); // the system's dialog class
    EXPECT_EQ(dialog->title, language.title);
    EXPECT_EQ(dialog->fontSize, language.fontSize);
    EXPECT_EQ(dialog->font, language.font);

    size_t form = 0;
    for (size_t i = 0; i < dialog->controls.size(); ++i) {
        const TemplateItem& item = dialog->controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(item.extendedStyle, 0u);
        EXPECT_EQ(item.creationData, 0);
        if (form == FORM_CONTROL_COUNT || !IsFormControl(item, FORM_CONTROLS[form], language))
            continue;
        const TemplateControl& entry = FORM_CONTROLS[form++];
        EXPECT_EQ(item.style, WS_CHILD | WS_VISIBLE | entry.style);
        EXPECT_NE(item.classAtom, 0) << "class by atom";
        EXPECT_EQ(item.place, entry.place);
    }
    for (; form < FORM_CONTROL_COUNT; ++form)
        ADD_FAILURE() << "missing or out of order: control " << FORM_CONTROLS[form].id << " "
                      << Ansi(FORM_CONTROLS[form].TextIn(language));
}

// Both languages hold the form and the same controls in the same places: only texts differ.
TEST_F(Resources, TheDialogTemplateIsTheStandardFormWithTheSameControlsInEachLanguage)
{
    DialogTemplate japanese, english;
    {
        SCOPED_TRACE("Japanese");
        ASSERT_NO_FATAL_FAILURE(ExpectTemplate(module, JAPANESE, &japanese));
    }
    {
        SCOPED_TRACE("English");
        ASSERT_NO_FATAL_FAILURE(ExpectTemplate(module, ENGLISH, &english));
    }
    ASSERT_EQ(japanese.controls.size(), english.controls.size());
    for (size_t i = 0; i < japanese.controls.size(); ++i) {
        const TemplateItem &one = japanese.controls[i], &other = english.controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(one.id, other.id);
        EXPECT_EQ(one.className, other.className);
        EXPECT_EQ(one.style, other.style);
        EXPECT_EQ(one.place, other.place);
    }
}

TEST_F(Resources, TheVersionResourceCarriesEveryItem)
{
    std::wstring path = Wide(SaverBinary());
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x006A0000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x006A0000u);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 0x40004u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x04B0);

    struct Item {
        const wchar_t* name;
        const wchar_t* value; // null: any text that is not empty
    } items[] = {
        {L"Comments", L""},
        {L"LegalTrademarks", L""},
        {L"PrivateBuild", L""},
        {L"SpecialBuild", L""},
        {L"FileDescription", L"velora_ss_launcher"},
        {L"InternalName", L"velora_ss_launcher"},
        {L"FileVersion", L"1, 0, 106, 0 "},
        {L"OriginalFilename", L"velora_ss_launcher.exe"},
        {L"ProductName", JAPANESE.title},
        {L"ProductVersion", L"Version 1.0 (Build 106) "},
        {L"CompanyName", nullptr},
        {L"LegalCopyright", nullptr},
    };
    for (const Item& item : items) {
        std::wstring key = std::wstring(L"\\StringFileInfo\\041104b0\\") + item.name;
        wchar_t* text = nullptr;
        length = 0;
        bool found = VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&text),
                                    &length);
        ASSERT_TRUE(found) << "no value " << std::string(key.begin(), key.end());
        std::wstring value = (text && length) ? std::wstring(text) : std::wstring();
        if (item.value)
            EXPECT_EQ(value, item.value) << std::string(key.begin(), key.end());
        else
            EXPECT_FALSE(value.empty()) << std::string(key.begin(), key.end());
    }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInResource;
    WORD id;
};
#pragma pack(pop)

static BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list)
{
    reinterpret_cast<std::vector<UINT_PTR>*>(list)->push_back(reinterpret_cast<UINT_PTR>(name));
    return TRUE;
}

TEST_F(Resources, OneIconGroupNumbered102WithTwoImagesOfSixteenColoursAndNoIcon100)
{
    std::vector<UINT_PTR> groups;
    EnumResourceNamesW(module, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON), CollectName,
                       reinterpret_cast<LONG_PTR>(&groups));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0], 102u);
    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(100), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON)),
              nullptr);
    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(100), reinterpret_cast<LPCWSTR>(RT_ICON)),
              nullptr);

    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(102),
                                reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
    ASSERT_NE(found, nullptr);
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const WORD* header = reinterpret_cast<const WORD*>(group);
    EXPECT_EQ(header[1], 1); // icons, not cursors
    ASSERT_EQ(header[2], 2);
    const GroupIconEntry* entries = reinterpret_cast<const GroupIconEntry*>(group + 6);
    const int sizes[] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        const GroupIconEntry& entry = entries[i];
        EXPECT_EQ(entry.width, sizes[i]);
        EXPECT_EQ(entry.height, sizes[i]);
        EXPECT_EQ(entry.colorCount, 16);
        EXPECT_EQ(entry.bitCount, 4);
        EXPECT_NE(entry.id, 100);
        HRSRC imageFound = FindResourceW(module, MAKEINTRESOURCEW(entry.id),
                                         reinterpret_cast<LPCWSTR>(RT_ICON));
        ASSERT_NE(imageFound, nullptr) << "image " << entry.id;
        const BITMAPINFOHEADER* image = static_cast<const BITMAPINFOHEADER*>(
            LockResource(LoadResource(module, imageFound)));
        EXPECT_EQ(image->biWidth, sizes[i]);
        EXPECT_EQ(image->biHeight, 2 * sizes[i]); // colour bits and mask
        EXPECT_EQ(image->biBitCount, 4);
    }
}

// ---- The dialog on the screen ----------------------------------------------------------

TEST_F(ConfigDialog, OpensForEveryConfigureCommandLineWithItsOwner)
{
    HWND named = CreateWindowExA(0, "STATIC", "named owner", WS_POPUP | WS_VISIBLE, 0, 0, 40,
                                 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND front = CreateWindowExA(0, "STATIC", "foreground", WS_POPUP | WS_VISIBLE, 50, 0, 40,
                                 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    struct Case {
        std::string tail;
        HWND owner;
    } cases[] = {
        {"", nullptr},
        {"/c", front},
        {"/c:" + std::to_string(reinterpret_cast<UINT_PTR>(named)), named},
    };
    for (const Case& c : cases) {
        SetForegroundWindow(front);
        PumpFor(200);
        ASSERT_NE(Open(c.tail), nullptr);
        EXPECT_EQ(TextOf(dialog), JAPANESE.title) << c.tail;
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), c.owner) << c.tail;
        Click(Control(IDCANCEL));
        EXPECT_EQ(ExitCode(), 0u) << c.tail;
    }
    DestroyWindow(named);
    DestroyWindow(front);
}

static INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

// Dialog units become pixels by the dialog's own font. MapDialogRect answers only for a dialog
// of the calling process, so the driver makes a hidden twin of the saver's dialog from the
// very template in the .scr, in the same session and hence with the same font.
static HWND TwinOfTheSaversDialog(HMODULE* module, const TemplateLanguage& language)
{
    *module = LoadLibraryExA(SaverBinary().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const BYTE* dialogTemplate = *module ? SaversTemplate(*module, language) : nullptr;
    if (!dialogTemplate)
        return nullptr;
    return CreateDialogIndirectParamW(GetModuleHandleA(nullptr),
                                      reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate),
                                      nullptr, QuietDialogProc, 0);
}

static bool IsGroupBox(HWND control)
{
    return lstrcmpiA(ClassNameOf(control).c_str(), "Button") == 0 &&
           (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// A control named for a message: its identifier and its text.
static std::string Named(HWND control)
{
    return "control " + std::to_string(static_cast<short>(GetDlgCtrlID(control))) + " \"" +
           Ansi(TextOf(control)) + "\"";
}

// What every control of the dialog needs, whichever the template adds: to lie inside the
// client area, clear of every other control but the group box that holds it whole; and, when
// it takes the focus, to be a tab stop, which Tab reaches in template order.
static void ExpectEveryControlHasItsPlace(HWND dialog, const std::vector<HWND>& controls)
{
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<HWND> stops;
    for (size_t i = 0; i < controls.size(); ++i) {
        HWND control = controls[i];
        RECT rect = ClientRectIn(dialog, control), inside, overlap;
        EXPECT_TRUE(IntersectRect(&inside, &rect, &client) && EqualRect(&inside, &rect))
            << Named(control) << " is outside the client area";
        for (size_t j = i + 1; j < controls.size(); ++j) {
            RECT other = ClientRectIn(dialog, controls[j]);
            if (!IntersectRect(&overlap, &rect, &other))
                continue;
            EXPECT_TRUE((IsGroupBox(control) && EqualRect(&overlap, &other)) ||
                        (IsGroupBox(controls[j]) && EqualRect(&overlap, &rect)))
                << Named(control) << " and " << Named(controls[j]) << " overlap";
        }
        bool tabStop = GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP;
        if (!(SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_STATIC))
            EXPECT_TRUE(tabStop) << Named(control) << " takes the focus but is no tab stop";
        if (tabStop)
            stops.push_back(control);
    }
    ASSERT_FALSE(stops.empty());
    for (size_t i = 0; i < stops.size(); ++i)
        EXPECT_EQ(GetNextDlgTabItem(dialog, stops[i], FALSE), stops[(i + 1) % stops.size()])
            << "Tab from " << Named(stops[i]);
}

// On each system the dialog is in its language, every text read back whole, and laid out as
// its template says.
TEST_F(ConfigDialog, EveryControlMatchesTheTemplate)
{
    for (const WineLocale* system : SYSTEMS) {
        SCOPED_TRACE(system->name);
        const TemplateLanguage& language = LanguageOf(*system);
        ASSERT_NE(Open("/c", *system), nullptr);
        EXPECT_EQ(TextOf(dialog), language.title);
        HMODULE module = nullptr;
        HWND twin = TwinOfTheSaversDialog(&module, language);
        ASSERT_NE(twin, nullptr);
        EXPECT_FALSE(IsWindowVisible(twin));
        RECT frame = {0, 0, DIALOG_WIDTH, DIALOG_HEIGHT};
        ASSERT_TRUE(MapDialogRect(twin, &frame));
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, frame.right) << "the dialog's width in dialog units";
        EXPECT_EQ(client.bottom, frame.bottom) << "the dialog's height in dialog units";
        // Centred on the screen.
        RECT window;
        GetWindowRect(dialog, &window);
        EXPECT_LE(std::abs(window.left + window.right - GetSystemMetrics(SM_CXSCREEN)), 2);
        EXPECT_LE(std::abs(window.top + window.bottom - GetSystemMetrics(SM_CYSCREEN)), 2);

        std::vector<TemplateItem> items = TemplateControls(language);
        ASSERT_FALSE(items.empty());
        std::vector<HWND> controls;
        HWND control = GetWindow(dialog, GW_CHILD);
        for (const TemplateItem& item : items) {
            ASSERT_NE(control, nullptr) << "missing control " << item.id;
            SCOPED_TRACE("control " + std::to_string(static_cast<short>(item.id)) + " at y " +
                         std::to_string(item.place[1]));
            EXPECT_EQ(GetDlgCtrlID(control) & 0xFFFF, item.id);
            EXPECT_EQ(_wcsicmp(Wide(ClassNameOf(control)).c_str(), item.className.c_str()), 0);
            // An edit control takes WS_BORDER off its style and draws the border itself; a
            // drop-down list hands WS_VSCROLL on to its list.
            bool edit = item.className == L"Edit", comboBox = item.className == L"ComboBox";
            DWORD wanted = item.style & ~(edit ? WS_BORDER : 0) & ~(comboBox ? WS_VSCROLL : 0);
            DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
            EXPECT_EQ(style & wanted, wanted);
            if (item.id == IDC_PLAY_ORDER)
                EXPECT_EQ(TextOf(control), In(*system, TEXT_PLAY_ORDER_FIRST)) << "the default";
            else if (item.id != IDC_VERSION_TEXT)
                EXPECT_EQ(TextOf(control), item.text);

            // Position and size are converted each on its own, as the dialog does it.
            RECT expected = {item.place[0], item.place[1], item.place[2], item.place[3]};
            MapDialogRect(twin, &expected);
            RECT actual = ClientRectIn(dialog, control);
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            EXPECT_EQ(actual.right - actual.left, expected.right) << "width";
            // A closed drop-down list is as high as its font makes it; its template gives the
            // height of the open list.
            if (!comboBox || (item.style & 3) == CBS_SIMPLE)
                EXPECT_EQ(actual.bottom - actual.top, expected.bottom) << "height";
            controls.push_back(control);
            control = GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(control, nullptr) << "more controls than the template's";
        ExpectEveryControlHasItsPlace(dialog, controls);

        // The play orders, in the order of the setting's values.
        HWND orders = Control(IDC_PLAY_ORDER);
        ASSERT_EQ(SendMessageW(orders, CB_GETCOUNT, 0, 0), 3);
        for (int i = 0; i < 3; ++i) {
            wchar_t item[64] = {};
            SendMessageW(orders, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            EXPECT_EQ(item, In(*system, PLAY_ORDERS[i])) << "item " << i;
        }

        // The version text: the version line, then one credit line.
        std::wstring version = TextOf(Control(IDC_VERSION_TEXT));
        size_t lineFeed = version.find(L'\n');
        ASSERT_NE(lineFeed, std::wstring::npos);
        EXPECT_EQ(version.substr(0, lineFeed), VERSION_FIRST_LINE);
        std::wstring credit = version.substr(lineFeed + 1);
        EXPECT_FALSE(credit.empty());
        EXPECT_EQ(credit.find(L'\n'), std::wstring::npos);

        // The first tab stop, OK, has the keyboard focus.
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof thread;
        ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread));
        EXPECT_EQ(thread.hwndFocus, Control(IDOK));

        DestroyWindow(twin);
        FreeLibrary(module);
        Click(Control(IDCANCEL));
        EXPECT_EQ(ExitCode(), 0u);
    }
}

// In a folder of its own, and in one of Japanese names whose path takes more than MAX_PATH
// bytes in code page 932 though fewer characters: the saver reads its own path for its settings
// file and for its version alike.
TEST_F(ConfigDialog, WithoutSettingsFileItShowsTheDefaultsAndOkCreatesTheFile)
{
    // Folders of ten characters, so that the path ends just past 300 bytes however long the
    // build tree's own path is.
    std::string deep = dir;
    while (deep.size() < 300) {
        std::string name;
        for (int i = 0; i < 10; ++i)
            name += "音";
        deep += "\\" + name;
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep;
    }
    ASSERT_LT(Wide(deep).size(), 240u);
    for (const std::string& folder : {dir, deep}) {
        SCOPED_TRACE(folder.size());
        saver = folder + "\\velora saver.scr";
        ini = SettingsFileOf(saver);
        ASSERT_TRUE(CopyInto(SaverBinary(), saver));
        ASSERT_FALSE(FileExistsAt(ini));
        ASSERT_NE(Open(), nullptr);
        EXPECT_EQ(TextOf(Control(IDC_ACCESSORY_PATH)), L"");
        EXPECT_EQ(TextOf(Control(IDC_PLAYLIST_PATH)), L"");
        EXPECT_EQ(SwatchPixel(), DEFAULT_BACKGROUND_COLOR);
        std::wstring version = TextOf(Control(IDC_VERSION_TEXT));
        EXPECT_EQ(version.substr(0, version.find(L'\n')), VERSION_FIRST_LINE);
        Click(Control(IDOK));
        EXPECT_EQ(ExitCode(), 1u);
        ASSERT_TRUE(FileExistsAt(ini));
        for (const SettingsKey& key : SETTINGS_KEYS)
            EXPECT_EQ(ReadIni(ini, key.name), DefaultValueText(key)) << key.name;
    }
}

// The play order too: the loaded one shown, and the one the user then picks saved. Every other
// key is written back as it was loaded.
TEST_F(ConfigDialog, OkWritesTheLoadedSettingsBackAndExitsWithOne)
{
    LauncherSettingsRecord loaded;
    SetSampleSettings(&loaded, 0); // the keys this test does not name, away from their defaults
    loaded.backgroundColor = 3368601;
    lstrcpyA(loaded.accessoryPath, "C:\\tools\\velorandix.exe");
    lstrcpyA(loaded.playlistPath, "D:\\music\\list.m3u");
    loaded.playOrder = PLAY_ORDER_SHUFFLE;
    ASSERT_TRUE(WriteTextFile(ini, "[other]\r\nkeep=1\r\n" + SettingsText(loaded)));
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(TextOf(Control(IDC_ACCESSORY_PATH)), L"C:\\tools\\velorandix.exe");
    EXPECT_EQ(TextOf(Control(IDC_PLAYLIST_PATH)), L"D:\\music\\list.m3u");
    EXPECT_EQ(SwatchPixel(), static_cast<COLORREF>(3368601));
    EXPECT_EQ(TextOf(Control(IDC_PLAY_ORDER)), L"シャッフル");
    // The list opened with a click, the item above picked with the keyboard.
    POINT list = ScreenPointIn(Control(IDC_PLAY_ORDER), 0.5, 0.5);
    MoveMouseTo(list.x, list.y);
    ClickMouse();
    PumpFor(300);
    PressKey(VK_UP);
    PressKey(VK_RETURN);
    PumpFor(300);
    EXPECT_EQ(TextOf(Control(IDC_PLAY_ORDER)), L"続きから");

    // Written again: a changed file shows that OK wrote the keys.
    ASSERT_TRUE(WriteTextFile(ini, "[other]\r\nkeep=1\r\n"));
    Click(Control(IDOK));
    EXPECT_EQ(ExitCode(), 1u);
    LauncherSettingsRecord saved = loaded;
    saved.playOrder = PLAY_ORDER_CONTINUE;
    for (const SettingsKey& key : SETTINGS_KEYS)
        EXPECT_EQ(ReadIni(ini, key.name), SettingValueText(key, saved)) << key.name;
    EXPECT_EQ(ReadIni(ini, PLAY_ORDER_KEY), "1");
}

TEST_F(ConfigDialog, CancelEscapeAndTheCloseBoxSaveNothingAndExitWithZero)
{
    std::string content = SettingsText({{BACKGROUND_COLOR_KEY, "255"},
                                        {ACCESSORY_PATH_KEY, "C:\\a\\velorandix.exe"},
                                        {PLAYLIST_PATH_KEY, ""}});
    enum class Way { CancelButton, EscapeKey, CloseBox };
    const Way ways[] = {Way::CancelButton, Way::EscapeKey, Way::CloseBox};
    for (Way way : ways) {
        SCOPED_TRACE(static_cast<int>(way));
        ASSERT_TRUE(WriteTextFile(ini, content));
        ASSERT_NE(Open(), nullptr);
        // A file chosen in memory is still not saved.
        ASSERT_TRUE(WriteTextFile(dir + "\\velorandix.exe", "MZ"));
        HWND files = OpenFileDialog(IDC_ACCESSORY_BROWSE);
        ASSERT_NE(files, nullptr);
        ChooseFileByName(files, dir + "\\velorandix.exe");
        EXPECT_EQ(TextOf(Control(IDC_ACCESSORY_PATH)), Wide(dir + "\\velorandix.exe"));
        switch (way) {
        case Way::CancelButton: Click(Control(IDCANCEL)); break;
        case Way::EscapeKey:
            SetForegroundWindow(dialog);
            PumpFor(200);
            PressKey(VK_ESCAPE);
            break;
        case Way::CloseBox: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
        EXPECT_EQ(ExitCode(), 0u);
        EXPECT_EQ(ReadTextFile(ini), content);
    }

    // With no settings file, Cancel creates none.
    DeleteFileA(ini.c_str());
    ASSERT_NE(Open(), nullptr);
    Click(Control(IDCANCEL));
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_FALSE(FileExistsAt(ini));
}

// Where the saver may not write (a 64-bit build in System32, Program Files) and the user's own
// profile cannot be written either, OK tells the user which file could not be written, the
// user's own, tried last, in an error box of the dialog's in its language, and the dialog stays.
TEST_F(ConfigDialog, AnOkThatCannotSaveNamesTheFileAndLeavesTheDialogOpen)
{
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr)); // the file's place taken
    // The user's folder's place taken by a file: Wine, which knows no rights on its folders,
    // lets any folder be written, but no folder can be made where a file stands.
    ASSERT_TRUE(BlockUserSettingsFolder());
    for (const WineLocale* system : SYSTEMS) {
        SCOPED_TRACE(system->name);
        ASSERT_NE(Open("/c", *system), nullptr);
        Click(Control(IDOK));
        HWND box = WaitForOwnedDialog();
        ASSERT_NE(box, nullptr) << "no message box";
        EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), In(*system, TEXT_SAVE_FAILED) +
                                                       Wide(UserSettingsFileOf(saver)) +
                                                       In(*system, TEXT_SAVE_FAILED_ADVICE));
        EXPECT_EQ(TextOf(box), LanguageOf(*system).title);
        Click(GetDlgItem(box, IDOK));
        WaitUntilGone(box);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog ended with the box";

        Click(Control(IDCANCEL));
        EXPECT_EQ(ExitCode(), 0u);
    }
}

TEST_F(ConfigDialog, TextTypedIntoTheEditControlsIsNotSaved)
{
    ASSERT_TRUE(WriteTextFile(ini, SettingsText({{BACKGROUND_COLOR_KEY, "0"},
                                                 {ACCESSORY_PATH_KEY, "C:\\a\\velorandix.exe"},
                                                 {PLAYLIST_PATH_KEY, "C:\\a\\list.m3u"}})));
    ASSERT_NE(Open(), nullptr);
    SetForegroundWindow(dialog);
    PumpFor(200);

    // Typed onto the accessory's path; the playlist's path cleared by hand.
    POINT field = ScreenPointIn(Control(IDC_ACCESSORY_PATH), 0.5, 0.5);
    MoveMouseTo(field.x, field.y);
    ClickMouse();
    PumpFor(200);
    PressKey(VK_END);
    for (WORD key : {WORD('X'), WORD('Y'), WORD('Z')})
        PressKey(key);
    field = ScreenPointIn(Control(IDC_PLAYLIST_PATH), 0.5, 0.5);
    MoveMouseTo(field.x, field.y);
    ClickMouse();
    PumpFor(200);
    PressKey(VK_END);
    for (int i = 0; i < 20; ++i)
        PressKey(VK_BACK);
    PumpFor(300);
    EXPECT_EQ(TextOf(Control(IDC_ACCESSORY_PATH)), L"C:\\a\\velorandix.exexyz");
    EXPECT_EQ(TextOf(Control(IDC_PLAYLIST_PATH)), L"");

    Click(Control(IDOK));
    EXPECT_EQ(ExitCode(), 1u);
    EXPECT_EQ(ReadIni(ini, ACCESSORY_PATH_KEY), "C:\\a\\velorandix.exe");
    EXPECT_EQ(ReadIni(ini, PLAYLIST_PATH_KEY), "C:\\a\\list.m3u");
}

// ---- The file-open dialogs ---------------------------------------------------------------

// A folder of the test's holding a file of each name, the first named by the settings file.
static void MakeFolderOfFiles(const std::string& folder, const std::string& ini, const char* key,
                              std::initializer_list<std::string> names)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& name : names)
        ASSERT_TRUE(WriteTextFile(folder + "\\" + name, "x")) << name;
    ASSERT_TRUE(WriteTextFile(ini, SettingsText({{key, folder + "\\" + *names.begin()}})));
}

// The file-open dialog's title, its one file type, and how many files it lists (any number
// when listed is negative).
static void ExpectFileDialogShows(HWND files, const wchar_t* title, const wchar_t* fileType,
                                  LRESULT listed)
{
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(TextOf(files), title);
    EXPECT_EQ(TextOf(GetDlgItem(files, FILE_TYPE_LIST)), fileType);
    if (listed < 0)
        return;
    HWND list = FindDescendant(files, "SysListView32");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), listed) << "files listed";
}

TEST_F(ConfigDialog, TheAccessoryBrowserListsOnlyVelorandixAndTakesTheChosenPathAtOnce)
{
    std::string app = dir + "\\app";
    ASSERT_NO_FATAL_FAILURE(MakeFolderOfFiles(
        app, ini, ACCESSORY_PATH_KEY, {"other.exe", "velorandix.exe", "notes.txt", "list.m3u"}));
    ASSERT_NE(Open(), nullptr);

    // Only velorandix.exe is listed; Cancel leaves the path as it was.
    HWND files = OpenFileDialog(IDC_ACCESSORY_BROWSE);
    ASSERT_NO_FATAL_FAILURE(
        ExpectFileDialogShows(files, L"velorandix.exeを選択してください", L"velorandix.exe", 1));
    Click(GetDlgItem(files, IDCANCEL));
    WaitUntilGone(files);
    EXPECT_EQ(TextOf(Control(IDC_ACCESSORY_PATH)), Wide(app + "\\other.exe"));

    // A name without extension gets "exe"; the dialog started in the stored path's folder.
    // Wine's dialog checks that the typed name exists before it appends the extension, hence
    // the file of the bare name beside the real one.
    ASSERT_TRUE(WriteTextFile(app + "\\velorandix", "x"));
    files = OpenFileDialog(IDC_ACCESSORY_BROWSE);
    ASSERT_NE(files, nullptr);
    ChooseFileByName(files, "velorandix");
    EXPECT_EQ(TextOf(Control(IDC_ACCESSORY_PATH)), Wide(app + "\\velorandix.exe"));

    Click(Control(IDOK));
    EXPECT_EQ(ExitCode(), 1u);
    EXPECT_EQ(ReadIni(ini, ACCESSORY_PATH_KEY), app + "\\velorandix.exe");
}

TEST_F(ConfigDialog, ThePlaylistBrowserListsM3uFilesAndAlsoAddsExe)
{
    std::string music = dir + Ansi(L"\\音楽");
    ASSERT_NO_FATAL_FAILURE(MakeFolderOfFiles(
        music, ini, PLAYLIST_PATH_KEY,
        {"old.m3u", Ansi(L"曲.m3u"), "songs.m3u", "utf8.m3u8", "songs.exe", "songs", "cover.txt"}));
    ASSERT_TRUE(WriteTextFile(music + Ansi(L"\\曲.m3u"), "cover.txt\r\nmissing.wav\r\n"));
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(TextOf(Control(IDC_PLAYLIST_CONTENTS)), L"再生できる曲がありません") << "old.m3u";

    // Only the three .m3u files and the .m3u8 file are listed. The line follows the choice.
    HWND files = OpenFileDialog(IDC_PLAYLIST_BROWSE);
    ASSERT_NO_FATAL_FAILURE(ExpectFileDialogShows(
        files, L"m3u形式のプレイリストを選択してください", L"m3u files {*.m3u;*.m3u8}", 4));
    ChooseFileByName(files, Ansi(L"曲.m3u"));
    EXPECT_EQ(TextOf(Control(IDC_PLAYLIST_PATH)), Wide(music + Ansi(L"\\曲.m3u")));
    EXPECT_EQ(TextOf(Control(IDC_PLAYLIST_CONTENTS)), L"2 曲（1 曲が見つかりません）");

    files = OpenFileDialog(IDC_PLAYLIST_BROWSE);
    ASSERT_NE(files, nullptr);
    ChooseFileByName(files, "songs");
    // The dialog is given "exe" as its default extension, and the systems of the Windows 95
    // family append exactly that. Wine's dialog prefers the extension of the selected filter
    // and keeps the bare name when that file is missing; it appends no extension at all
    // when the dialog is given none.
    std::wstring chosen = TextOf(Control(IDC_PLAYLIST_PATH));
    EXPECT_TRUE(chosen == Wide(music + "\\songs.exe") || chosen == Wide(music + "\\songs.m3u"))
        << "a default extension is appended; chosen: " << Ansi(chosen);

    Click(Control(IDOK));
    EXPECT_EQ(ExitCode(), 1u);
    EXPECT_EQ(Wide(ReadIni(ini, PLAYLIST_PATH_KEY)), chosen);
}

// On a Western system the ANSI code page (1252) cannot hold a Japanese folder's name. The file
// chosen there is kept by its short name, and the next run finds the accessory by it; the
// file-open dialog speaks the system's language.
TEST_F(ConfigDialog, AJapaneseFolderChosenOnAWesternSystemIsFoundByTheNextRun)
{
    const std::string folder = dir + Ansi(L"\\デスクトップ アクセサリ");
    const std::string accessory = folder + "\\velorandix.exe";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyInto(FixturePath("velorandix.exe"), accessory));
    for (const WineLocale* system : {&ENGLISH_SYSTEM, &WESTERN_SYSTEM_JAPANESE_UI}) {
        SCOPED_TRACE(system->name);
        DeleteFileA(ini.c_str());
        ASSERT_NE(Open("/c", *system), nullptr);
        HWND files = OpenFileDialog(IDC_ACCESSORY_BROWSE);
        ASSERT_NO_FATAL_FAILURE(ExpectFileDialogShows(
            files, In(*system, TEXT_ACCESSORY_DIALOG_TITLE).c_str(),
            In(*system, TEXT_ACCESSORY_FILE_TYPE).c_str(), -1));
        ChooseFileByName(files, accessory);
        std::string kept = Ansi(TextOf(Control(IDC_ACCESSORY_PATH)));
        EXPECT_NE(kept, accessory) << "the long name, which code page 1252 cannot hold";
        EXPECT_EQ(kept.find('?'), std::string::npos) << kept;
        Click(Control(IDOK));
        EXPECT_EQ(ExitCode(), 1u);
        EXPECT_EQ(ReadIni(ini, ACCESSORY_PATH_KEY), kept);

        // No warning box stands in the way: the accessory starts, and a key ends the run.
        child = StartInLocale(*system, saver, "/s");
        EXPECT_NE(WaitForWindow(0, "VelorandixFixture", nullptr, 15000), nullptr)
            << "the accessory did not start from " << kept << "; the saver is "
            << StateOf(child);
        EXPECT_EQ(WaitForWindow(child.processId, DIALOG_CLASS, nullptr, 0), nullptr);
        PressKey(VK_SPACE);
        EXPECT_EQ(WaitForExit(child, 10000), 0u);
    }
}

TEST_F(ConfigDialog, AStoredPathThatIsNoValidFileNameStillLetsTheUserBrowse)
{
    // Windows refuses such a starting name and would show no dialog at all: the dialog then
    // starts from no name, and the stored path stays until a file is confirmed.
    const std::string stored = "C:\\tools\\bad|name<1>.exe";
    ASSERT_TRUE(WriteTextFile(ini, SettingsText({{ACCESSORY_PATH_KEY, stored}})));
    ASSERT_NE(Open(), nullptr);
    HWND files = OpenFileDialog(IDC_ACCESSORY_BROWSE);
    ASSERT_NE(files, nullptr);
    Click(GetDlgItem(files, IDCANCEL));
    WaitUntilGone(files);
    EXPECT_EQ(TextOf(Control(IDC_ACCESSORY_PATH)), Wide(stored));

    ASSERT_TRUE(WriteTextFile(dir + "\\velorandix.exe", "x"));
    files = OpenFileDialog(IDC_ACCESSORY_BROWSE);
    ASSERT_NE(files, nullptr);
    ChooseFileByName(files, dir + "\\velorandix.exe");
    EXPECT_EQ(TextOf(Control(IDC_ACCESSORY_PATH)), Wide(dir + "\\velorandix.exe"));
    Click(Control(IDOK));
    EXPECT_EQ(ExitCode(), 1u);
    EXPECT_EQ(ReadIni(ini, ACCESSORY_PATH_KEY), dir + "\\velorandix.exe");
}

// ---- The colour chooser ------------------------------------------------------------------

class ColourChooser : public ConfigDialog {
protected:
    // The chooser, moved clear of the swatch: only the dialog's own repaint can then change
    // the swatch on the screen.
    HWND OpenChooser()
    {
        Click(Control(IDC_COLOR_CHANGE));
        HWND chooser = WaitForOwnedDialog();
        EXPECT_NE(chooser, nullptr) << "no colour chooser";
        if (!chooser)
            return nullptr;
        SetWindowPos(chooser, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpFor(500);
        RECT chooserRect, swatchRect, overlap;
        GetWindowRect(chooser, &chooserRect);
        GetWindowRect(Control(IDC_COLOR_SWATCH), &swatchRect);
        EXPECT_FALSE(IntersectRect(&overlap, &chooserRect, &swatchRect))
            << "the chooser covers the swatch";
        return chooser;
    }
    static COLORREF ShownColor(HWND chooser)
    {
        auto field = [chooser](int id) { return _wtoi(TextOf(GetDlgItem(chooser, id)).c_str()); };
        return RGB(field(CHOOSER_RED), field(CHOOSER_GREEN), field(CHOOSER_BLUE));
    }
    static void TypeColor(HWND chooser, COLORREF color)
    {
        SetWindowTextW(GetDlgItem(chooser, CHOOSER_RED), std::to_wstring(GetRValue(color)).c_str());
        SetWindowTextW(GetDlgItem(chooser, CHOOSER_GREEN),
                       std::to_wstring(GetGValue(color)).c_str());
        SetWindowTextW(GetDlgItem(chooser, CHOOSER_BLUE),
                       std::to_wstring(GetBValue(color)).c_str());
        PumpFor(200);
    }
    // The first of the sixteen custom colours, as painted.
    static COLORREF FirstCustomColor(HWND chooser)
    {
        // The centre of the first cell of two rows of eight.
        POINT cell = ScreenPointIn(GetDlgItem(chooser, CHOOSER_CUSTOM_COLORS), 1.0 / 16, 0.25);
        return ScreenPixel(cell.x, cell.y);
    }
};

TEST_F(ColourChooser, OpensOnTheCurrentColourAndRepaintsTheSwatchAtOnce)
{
    const COLORREF loaded = RGB(0x99, 0x66, 0x33), picked = RGB(10, 200, 30);
    ASSERT_TRUE(WriteTextFile(ini, SettingsText({{BACKGROUND_COLOR_KEY, std::to_string(loaded)}})));
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(SwatchPixel(), loaded);

    // Cancel leaves the colour, even after a custom colour was added.
    HWND chooser = OpenChooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(ShownColor(chooser), loaded);
    EXPECT_EQ(FirstCustomColor(chooser), RGB(0, 0, 0));
    TypeColor(chooser, picked);
    Click(GetDlgItem(chooser, CHOOSER_ADD_CUSTOM));
    PumpFor(300);
    EXPECT_EQ(FirstCustomColor(chooser), picked) << "the custom colour was not added";
    Click(GetDlgItem(chooser, IDCANCEL));
    WaitUntilGone(chooser);
    EXPECT_EQ(SwatchPixelOnceIt(picked), loaded);

    // The next opening: the same colour, the custom colours black again; OK takes the colour.
    chooser = OpenChooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(ShownColor(chooser), loaded);
    EXPECT_EQ(FirstCustomColor(chooser), RGB(0, 0, 0));
    TypeColor(chooser, picked);
    EXPECT_EQ(SwatchPixel(), loaded);
    Click(GetDlgItem(chooser, IDOK));
    EXPECT_EQ(SwatchPixelOnceIt(picked), picked);
    WaitUntilGone(chooser);

    chooser = OpenChooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(ShownColor(chooser), picked);
    Click(GetDlgItem(chooser, IDCANCEL));
    WaitUntilGone(chooser);

    Click(Control(IDOK));
    EXPECT_EQ(ExitCode(), 1u);
    EXPECT_EQ(ReadIni(ini, BACKGROUND_COLOR_KEY), std::to_string(picked));
}

// The session's own system started through the shell with Wine's MCI trace on: its standard
// error, which the tail sends into a file, holds every command the saver gives the device.
static const WineLocale MCI_TRACED_SYSTEM = {"Japanese, MCI traced", "WINEDEBUG=+mci", true};

// Where the saver's settings file cannot be written (another program holds it open, as
// System32 and Program Files refuse a standard user), OK saves into the user's own file,
// every key; the next full-screen run takes the colour from there, and a continuing run keeps
// its place there and resumes from it. The file beside the saver stays as it was.
TEST_F(ColourChooser, WhereTheSaversFileCannotBeWrittenOkSavesIntoTheUsersOwnFile)
{
    const COLORREF ADMINISTRATORS = RGB(128, 0, 0), PICKED = RGB(20, 120, 220);
    const std::string userIni = UserSettingsFileOf(saver);
    const std::string music = dir + "\\music";
    ASSERT_TRUE(CreateDirectoryA(music.c_str(), nullptr));
    ASSERT_TRUE(WriteToneWave(music + "\\long.wav", {440, 30, 8000}));
    const std::string playlist = music + "\\list.m3u";
    ASSERT_TRUE(WriteTextFile(playlist, "long.wav\r\n"));
    // An accessory path that names a file, so that no warning comes, but no accessory.
    const std::string other = dir + "\\other.exe";
    ASSERT_TRUE(WriteTextFile(other, "MZ"));
    const std::string besideText = SettingsText(SettingsRecord(ADMINISTRATORS, other, playlist));
    ASSERT_TRUE(WriteTextFile(ini, besideText));
    FileHeldAgainstWriting lock(ini);
    ASSERT_TRUE(lock.Held());

    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(SwatchPixel(), ADMINISTRATORS);
    HWND chooser = OpenChooser();
    ASSERT_NE(chooser, nullptr);
    TypeColor(chooser, PICKED);
    Click(GetDlgItem(chooser, IDOK));
    WaitUntilGone(chooser);
    SendMessageW(Control(IDC_PLAY_ORDER), CB_SETCURSEL, PLAY_ORDER_CONTINUE, 0);
    Click(Control(IDOK));
    EXPECT_EQ(ExitCode(), 1u) << "the dialog did not end with OK";
    LauncherSettingsRecord saved = SettingsRecord(PICKED, other, playlist);
    saved.playOrder = PLAY_ORDER_CONTINUE;
    for (const SettingsKey& key : SETTINGS_KEYS)
        EXPECT_EQ(ReadIni(userIni, key.name), SettingValueText(key, saved)) << key.name;
    EXPECT_EQ(ReadTextFile(ini), besideText);

    // Two continuing runs, full screen in the colour picked: the first from the start, the
    // second from where the first stopped.
    std::string resume = "play bgm from 0 notify";
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        std::string trace = dir + "\\mci" + std::to_string(run) + ".log";
        child = StartInLocale(MCI_TRACED_SYSTEM, saver, "/s 2>'" + UnixPathOf(trace) + "'");
        HWND window = WaitForWindow(child.processId, SAVER_CLASS_NAME, FULL_SCREEN_TITLE, 15000);
        ASSERT_NE(window, nullptr) << "no full-screen window; the saver is " << StateOf(child);
        for (int i = 0; i < 200 && !IsWindowVisible(window); ++i)
            PumpFor(50);
        PumpFor(700);
        EXPECT_EQ(ScreenPixel(600, 500), PICKED);
        EXPECT_TRUE(WaitForFileText(trace, resume.c_str(), 10000)) << resume;
        PumpFor(1500); // some seconds into the track
        PressKey(VK_SPACE);
        ASSERT_EQ(WaitForExit(child, 10000), 0u);
        char kept[PATH_SIZE], position[16];
        GetPrivateProfileStringA(LAST_PLACE_SECTION, LAST_TRACK_KEY, "", kept, sizeof kept,
                                 userIni.c_str());
        GetPrivateProfileStringA(LAST_PLACE_SECTION, LAST_POSITION_KEY, "", position,
                                 sizeof position, userIni.c_str());
        EXPECT_EQ(kept, music + "\\long.wav");
        EXPECT_GT(std::atoi(position), 0) << position;
        resume = "play bgm from " + std::string(position) + " notify";
    }
    EXPECT_EQ(ReadTextFile(ini), besideText);
}

// ---- At 144 DPI --------------------------------------------------------------------------

// The saver started while the session's DPI (Wine's LogPixels, read by each process as it
// starts) is 144, the 150% of today's laptops. This driver started at 96 and stays there.
class ConfigDialogAt144Dpi : public ConfigDialog {
public:
    static constexpr DWORD DPI = 144;

protected:
    void SetUp() override
    {
        ConfigDialog::SetUp();
        ASSERT_TRUE(dpi.IsSet());
    }
    SessionDpi dpi{DPI};
};

// A dialog font at 144 DPI, made by this driver, and the dialog base units it gives, by which
// the system converts dialog units.
struct DialogFont {
    DialogFont(HDC context, const wchar_t* face, int points) : context(context)
    {
        font = CreateFontW(-MulDiv(points, ConfigDialogAt144Dpi::DPI, 72), 0, 0, 0, FW_DONTCARE,
                           FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, FF_DONTCARE,
                           face);
        Select();
        GetTextMetricsW(context, &metrics);
        SIZE alphabet;
        GetTextExtentPoint32W(context, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz",
                              52, &alphabet);
        baseX = (alphabet.cx / 26 + 1) / 2;
        GetTextFaceW(context, LF_FACESIZE, faceFound);
    }
    ~DialogFont() { DeleteObject(font); }
    void Select() const { SelectObject(context, font); }
    // Every line of the text as wide as the control at most, and all lines as high.
    void ExpectFits(const std::wstring& text, int width, int height) const
    {
        Select();
        int lines = 0;
        for (size_t start = 0; start <= text.size(); ++lines) {
            size_t end = std::min(text.find(L'\n', start), text.size());
            SIZE extent;
            GetTextExtentPoint32W(context, text.c_str() + start, static_cast<int>(end - start),
                                  &extent);
            EXPECT_LE(extent.cx, width) << "line " << lines + 1 << " is clipped";
            start = end + 1;
        }
        EXPECT_LE(lines * metrics.tmHeight, height) << lines << " lines are clipped";
    }
    HDC context;
    HFONT font;
    TEXTMETRICW metrics;
    int baseX;
    wchar_t faceFound[LF_FACESIZE] = L"";
};

TEST_F(ConfigDialogAt144Dpi, TheDialogIsLaidOutForItAndNothingIsClipped)
{
    // The English dialog on an English Windows: its font alias, MS Shell Dlg, is Tahoma there
    // (Wine's own, loaded for this driver alone).
    const wchar_t TAHOMA[] = L"Z:\\usr\\share\\wine\\fonts\\tahoma.ttf";
    ASSERT_GT(AddFontResourceExW(TAHOMA, FR_PRIVATE, nullptr), 0) << "install fonts-wine";
    for (const WineLocale* system : {&JAPANESE_SYSTEM, &ENGLISH_SYSTEM}) {
        SCOPED_TRACE(system->name);
        const TemplateLanguage& language = LanguageOf(*system);
        ASSERT_NE(Open("/c", *system), nullptr);
        // The template's font as the saver's process makes it at 144 DPI: 9 points are 18
        // pixels. The session maps the English dialog's alias to one font whatever the code
        // page, so this driver makes the same font as the saver's process.
        HDC context = GetDC(dialog);
        HGDIOBJ before = GetCurrentObject(context, OBJ_FONT);
        {
            DialogFont font(context, language.font, language.fontSize);
            DialogFont tahoma(context, L"Tahoma", language.fontSize);
            ASSERT_STREQ(tahoma.faceFound, L"Tahoma");

            // Dialog units from that font: the dialog grew with the DPI.
            RECT client;
            GetClientRect(dialog, &client);
            EXPECT_EQ(client.right, MulDiv(DIALOG_WIDTH, font.baseX, 4))
                << "base unit " << font.baseX;
            EXPECT_EQ(client.bottom, MulDiv(DIALOG_HEIGHT, font.metrics.tmHeight, 8));

            // Inside the client area, clear of each other, in the tab order.
            std::vector<HWND> controls;
            HWND control = GetWindow(dialog, GW_CHILD);
            std::vector<TemplateItem> items = TemplateControls(language);
            ASSERT_FALSE(items.empty());
            for (const TemplateItem& entry : items) {
                ASSERT_NE(control, nullptr);
                std::wstring text = TextOf(control);
                SCOPED_TRACE(Ansi(text));
                RECT own;
                GetClientRect(control, &own);
                // The line under the playlist's path at its longest: 2048 tracks, 2048 missing.
                if (entry.id == IDC_PLAYLIST_CONTENTS) {
                    text = In(*system, TEXT_PLAYLIST_MISSING_TRACKS);
                    for (size_t at; (at = text.find(L"%d")) != std::wstring::npos;)
                        text.replace(at, 2, std::to_wstring(MAX_TRACKS));
                }
                // Every play order beside the button that opens the list, which is at most as
                // wide as the control is high.
                if (entry.id == IDC_PLAY_ORDER)
                    for (const UserText& order : PLAY_ORDERS)
                        font.ExpectFits(In(*system, order), own.right - own.bottom, own.bottom);
                if (entry.className == std::wstring(L"Static"))
                    font.ExpectFits(text, own.right, own.bottom);
                if (entry.className == std::wstring(L"Static") && &language == &ENGLISH)
                    tahoma.ExpectFits(text, MulDiv(entry.place[2], tahoma.baseX, 4),
                                      MulDiv(entry.place[3], tahoma.metrics.tmHeight, 8));
                controls.push_back(control);
                control = GetWindow(control, GW_HWNDNEXT);
            }
            ExpectEveryControlHasItsPlace(dialog, controls);
            SelectObject(context, before);
        }
        ReleaseDC(dialog, context);
        Click(Control(IDCANCEL));
        EXPECT_EQ(ExitCode(), 0u);
    }
    RemoveFontResourceExW(TAHOMA, FR_PRIVATE, nullptr);
}
