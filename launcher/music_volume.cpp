// The music's level in this process's audio session: its COM objects, looked up at run time,
// and the level the launcher sets at the music's start, over the gentle start and at its end.
#include "launcher/music_volume.h"
#include "launcher/launcher_state.h"
#include <audiopolicy.h>
#include <mmdeviceapi.h>

ReadSessionLevelFunction gReadSessionLevel = ReadSessionLevel;
SetSessionLevelFunction gSetSessionLevel = SetSessionLevel;
DWORD(WINAPI* gGetVersion)() = GetVersion;

typedef HRESULT(WINAPI* BeginComFunction)(void* reserved, DWORD model);
typedef HRESULT(WINAPI* CreateInstanceFunction)(REFCLSID classId, IUnknown* outer, DWORD context,
                                                REFIID interfaceId, void** object);

// The volume of this process's session on the default output device, from the session
// manager of that device; null where any step fails.
static ISimpleAudioVolume* FindSessionVolume(CreateInstanceFunction createInstance)
{
    IMMDeviceEnumerator* devices = nullptr;
    if (FAILED(createInstance(__uuidof(MMDeviceEnumerator),
                              nullptr,
                              CLSCTX_INPROC_SERVER,
                              __uuidof(IMMDeviceEnumerator),
                              reinterpret_cast<void**>(&devices))))
        return nullptr;
    ISimpleAudioVolume* volume = nullptr;
    IMMDevice* output = nullptr;
    if (SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &output))) {
        IAudioSessionManager* sessions = nullptr;
        if (SUCCEEDED(output->Activate(__uuidof(IAudioSessionManager),
                                       CLSCTX_ALL,
                                       nullptr,
                                       reinterpret_cast<void**>(&sessions)))) {
            // No session named and not shared with other processes: this process's own.
            if (FAILED(sessions->GetSimpleAudioVolume(nullptr, FALSE, &volume)))
                volume = nullptr;
            sessions->Release();
        }
        output->Release();
    }
    devices->Release();
    return volume;
}

// COM in the multithreaded apartment, the one Wine's MPEG device of MCI asks for on the thread
// that opens a track: a thread keeps the apartment it joins first, and the music's tracks open
// after this. A thread already in the other apartment still reaches the session's objects
// there, but that COM is not the music's to end.
static int OpenSessionVolume()
{
    if (LauncherState.sessionVolume)
        return 1;
    HMODULE ole = LoadLibraryA("OLE32.DLL"); // loaded until the process ends
    if (!ole)
        return 0;
    auto beginCom = reinterpret_cast<BeginComFunction>(GetProcAddress(ole, "CoInitializeEx"));
    auto createInstance =
        reinterpret_cast<CreateInstanceFunction>(GetProcAddress(ole, "CoCreateInstance"));
    auto endCom = reinterpret_cast<void(WINAPI*)()>(GetProcAddress(ole, "CoUninitialize"));
    if (!beginCom || !createInstance || !endCom)
        return 0;
    HRESULT begun = beginCom(nullptr, COINIT_MULTITHREADED);
    if (FAILED(begun) && begun != RPC_E_CHANGED_MODE)
        return 0;
    LauncherState.sessionVolume = FindSessionVolume(createInstance);
    if (SUCCEEDED(begun) && !LauncherState.sessionVolume)
        endCom();
    if (SUCCEEDED(begun) && LauncherState.sessionVolume)
        LauncherState.endCom = endCom;
    return LauncherState.sessionVolume != nullptr;
}

int ReadSessionLevel(float* level)
{
    float read;
    if (!OpenSessionVolume() || FAILED(LauncherState.sessionVolume->GetMasterVolume(&read)))
        return 0;
    *level = read;
    return 1;
}

int SetSessionLevel(float level)
{
    return LauncherState.sessionVolume &&
           SUCCEEDED(LauncherState.sessionVolume->SetMasterVolume(level, nullptr));
}

// Windows Vista is version 6. GetVersion gives the major version in its lowest byte on every
// system, the Windows 95 family's 4 included.
static int HasSessionVolume()
{
    return LOBYTE(gGetVersion()) >= 6;
}

int BeginMusicLevel(int volume, int fadeIn)
{
    if ((volume >= FULL_VOLUME && !fadeIn) || !HasSessionVolume())
        return 0;
    // Windows keeps a session's level for the program's later runs: read first, so that the
    // end puts it back and a run whose volume is full finds the level it always had.
    if (!gReadSessionLevel(&LauncherState.levelFound))
        return 0;
    LauncherState.levelChanged = 1;
    LauncherState.fading = fadeIn;
    LauncherState.fadeVolume = volume;
    LauncherState.fadeStart = GetTickCount();
    gSetSessionLevel(fadeIn ? 0.0f : VolumeLevel(volume)); // a gentle start starts silent
    return fadeIn;
}

int StepFadeIn()
{
    if (!LauncherState.fading)
        return 0;
    DWORD now = GetTickCount();
    gSetSessionLevel(FadeLevel(LauncherState.fadeStart, now, LauncherState.fadeVolume));
    if (now - LauncherState.fadeStart >= FADE_IN_MS)
        LauncherState.fading = 0;
    return LauncherState.fading;
}

void EndMusicLevel()
{
    LauncherState.fading = 0;
    if (!LauncherState.levelChanged)
        return;
    LauncherState.levelChanged = 0;
    gSetSessionLevel(LauncherState.levelFound);
    if (LauncherState.sessionVolume) {
        LauncherState.sessionVolume->Release();
        LauncherState.sessionVolume = nullptr;
    }
    if (LauncherState.endCom) {
        LauncherState.endCom();
        LauncherState.endCom = nullptr;
    }
}
