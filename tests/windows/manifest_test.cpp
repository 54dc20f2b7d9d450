// What the system makes of the application manifest: this program carries the .scr's very
// manifest object, so it starts as the saver does. The system reads the manifest's DPI
// awareness and gives it as far as it knows it; the configure mode's preparation brings
// Common Controls 6, whose button is the one a dialog then makes.
//
// Wine 8 makes every process per-monitor aware (version 1; it knows no version 2), and its
// COMCTL32 answers 5.81 to DllGetVersion even when loaded as the version 6 assembly: so the
// tests look at what the system read from the manifest, and at where the controls come from.
#include "saver_host/saver_host.h"
#include <gtest/gtest.h>
#include <string>

// Newer than the headers this product is built against: looked up at run time.
typedef BOOL(WINAPI* QuerySettingsFunction)(DWORD, HANDLE, const wchar_t*, const wchar_t*, wchar_t*,
                                            SIZE_T, SIZE_T*);
typedef HANDLE(WINAPI* ThreadDpiContextFunction)();
typedef BOOL(WINAPI* ValidDpiContextFunction)(HANDLE);
typedef BOOL(WINAPI* DpiContextsEqualFunction)(HANDLE, HANDLE);
typedef int(WINAPI* AwarenessOfContextFunction)(HANDLE);
const HANDLE PER_MONITOR_AWARE_V2 = reinterpret_cast<HANDLE>(-4);
const int PER_MONITOR_AWARE = 2; // DPI_AWARENESS_PER_MONITOR_AWARE

template <typename Function> static Function Entry(const char* module, const char* name)
{
    return reinterpret_cast<Function>(GetProcAddress(GetModuleHandleA(module), name));
}

// A setting of the process's manifest, as the system read it.
static std::wstring ManifestSetting(const wchar_t* nameSpace, const wchar_t* name)
{
    auto query = Entry<QuerySettingsFunction>("KERNEL32.DLL", "QueryActCtxSettingsW");
    wchar_t value[128] = L"";
    SIZE_T written = 0;
    if (!query || !query(0, nullptr, nameSpace, name, value, 128, &written))
        return L"<none>";
    return value;
}

TEST(Manifest, TheSystemReadsThePerMonitorAwarenessAndGivesItAsFarAsItKnowsIt)
{
    EXPECT_EQ(
        ManifestSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
        L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(
        ManifestSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
        L"true/pm");

    auto threadContext =
        Entry<ThreadDpiContextFunction>("USER32.DLL", "GetThreadDpiAwarenessContext");
    auto isValid = Entry<ValidDpiContextFunction>("USER32.DLL", "IsValidDpiAwarenessContext");
    auto equal = Entry<DpiContextsEqualFunction>("USER32.DLL", "AreDpiAwarenessContextsEqual");
    auto awareness =
        Entry<AwarenessOfContextFunction>("USER32.DLL", "GetAwarenessFromDpiAwarenessContext");
    ASSERT_TRUE(threadContext && isValid && equal && awareness);
    HANDLE context = threadContext();
    if (isValid(PER_MONITOR_AWARE_V2))
        EXPECT_TRUE(equal(context, PER_MONITOR_AWARE_V2)) << "context " << context;
    else
        EXPECT_EQ(awareness(context), PER_MONITOR_AWARE) << "context " << context;
}

TEST(Manifest, PreparingTheDialogBringsCommonControlsSixAndItsButton)
{
    EXPECT_EQ(GetModuleHandleA("COMCTL32.DLL"), nullptr) << "loaded before the dialog";
    EXPECT_EQ(PrepareConfigDialog(GetModuleHandleA(nullptr)), 1);
    HMODULE controls = GetModuleHandleA("COMCTL32.DLL");
    ASSERT_NE(controls, nullptr);

    // Loaded from the side-by-side assembly of version 6.
    char path[MAX_PATH] = "";
    GetModuleFileNameA(controls, path, sizeof path);
    std::string lowerPath = CharLowerA(path);
    EXPECT_NE(lowerPath.find("microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::string::npos)
        << path;

    // The button a dialog makes from now on is version 6's, not USER32's own.
    WNDCLASSEXW button = {};
    button.cbSize = sizeof button;
    ASSERT_TRUE(GetClassInfoExW(nullptr, L"BUTTON", &button));
    HMODULE owner = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<const wchar_t*>(button.lpfnWndProc),
                       &owner);
    EXPECT_EQ(owner, controls);
}
