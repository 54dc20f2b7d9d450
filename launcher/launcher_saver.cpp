// What this saver does while it runs: at creation it reads the settings, starts the accessory
// and the music timer (full screen only), paints the background colour, drives the music on
// each tick and at each track's end, and on a close asks the accessory to quit and stops the
// music.
#include "launcher/launcher_saver.h"
#include "launcher/accessory.h"
#include "launcher/file_exists.h"
#include "launcher/launcher_state.h"
#include "launcher/music_volume.h"
#include "launcher/player.h"
#include "launcher/playlist.h"
#include "launcher/settings.h"
#include "resources/resource_ids.h"
#include "saver_host/saver_host.h"

static int WindowWidth()
{
    return LauncherState.windowRect.right - LauncherState.windowRect.left;
}

static int IsFullScreenRun()
{
    return !SaverState.isPreview && WindowWidth() >= MIN_FULL_SCREEN_WIDTH;
}

// At volume 0 no device opens and nothing is sent to one: there is no music to play.
static void StartMusicTimer(HWND window)
{
    if (LauncherSettings.volume <= 0 || !FileExists(LauncherSettings.playlistPath))
        return;
    SetTimer(window, MUSIC_TIMER_ID, MUSIC_TIMER_PERIOD, nullptr);
    LauncherState.musicEnabled = 1;
}

// A continuing run keeps where its music stands, while it still plays: the track as the player
// opened it and how far it has played. Any other order writes nothing. A track that failed to
// open gives no position: the next run starts with the track after it.
static void KeepPlace()
{
    if (PlayerState.playOrder != PLAY_ORDER_CONTINUE)
        return;
    int track = PlayerState.currentTrack;
    if (track < 1 || track > gPlaylist.trackCount || gPlaylist.tracks[track - 1] == nullptr)
        return;
    LastPlaceRecord place;
    lstrcpynA(place.track, gPlaylist.tracks[track - 1], PATH_SIZE);
    place.position = CurrentPosition();
    SaveLastPlace(&place);
}

// Stopped once, in whatever state: a tick or a track's notice that comes later, or a close
// that comes again after a refusal, finds the music disabled and starts nothing. A close
// before the first tick must stop the timer too: the password prompt's modal loop dispatches
// this window's ticks while the user is asked. The device is closed only when something was
// started, and the session's level is put back once nothing plays into it any more.
static void StopMusic(HWND window)
{
    if (!LauncherState.musicEnabled)
        return;
    KillTimer(window, MUSIC_TIMER_ID);
    KillTimer(window, FADE_TIMER_ID);
    LauncherState.musicEnabled = 0;
    if (!LauncherState.musicStarted)
        return;
    KeepPlace();
    CloseAllMusic();
    EndMusicLevel();
    gPlaylist.Clear();
    LauncherState.musicStarted = 0;
}

// The first tick's work: the playlist is read, the session's level set for the volume, and the
// first track started in the play order of the settings, the player's record begun afresh. A
// playlist that gives no track ends the music here, timer and all: nothing would ever play,
// and every tick would only ask the device again.
static void StartMusic(HWND window)
{
    gPlaylist.Load(LauncherSettings.playlistPath);
    if (gPlaylist.trackCount == 0) {
        KillTimer(window, MUSIC_TIMER_ID);
        LauncherState.musicEnabled = 0;
        gPlaylist.Clear();
        return;
    }
    ResetPlayerState();
    PlayerState.playOrder = LauncherSettings.playOrder;
    LauncherState.musicStarted = 1;
    if (BeginMusicLevel(LauncherSettings.volume, LauncherSettings.fadeIn))
        SetTimer(window, FADE_TIMER_ID, FADE_TIMER_PERIOD, nullptr);
    switch (PlayerState.playOrder) {
    case PLAY_ORDER_CONTINUE: {
        LastPlaceRecord place;
        LoadLastPlace(&place);
        Continue(&gPlaylist, place.track, place.position, window);
        break;
    }
    case PLAY_ORDER_SHUFFLE:
        StartShuffle(&PlayerState.shuffle, GetTickCount(), GetCurrentProcessId());
        Advance(&gPlaylist, window);
        break;
    default: Advance(&gPlaylist, window); break;
    }
}

// Texts of the string table (resources/texts.h), in the user's language.
static void WarnOfMissingAccessory(HWND window)
{
    WCHAR text[USER_TEXT_SIZE];
    WCHAR caption[USER_CAPTION_SIZE];
    LoadUserText(IDS_MISSING_ACCESSORY, text, USER_TEXT_SIZE);
    LoadUserText(IDS_MISSING_ACCESSORY_CAPTION, caption, USER_CAPTION_SIZE);
    ShowUserBox(window, text, caption, MB_OK | MB_ICONWARNING);
}

static void OnCreate(HWND window, const CREATESTRUCTA*)
{
    OutputDebugStringA("WM_CREATE\n");
    ResetLauncherState();
    LoadSettings(&LauncherSettings);
    if (!FileExists(LauncherSettings.accessoryPath))
        WarnOfMissingAccessory(window);
    // The box dispatches the window's messages: a close request may have ended the run.
    if (!IsWindow(window))
        return;

    GetWindowRect(window, &LauncherState.windowRect);
    if (IsFullScreenRun()) {
        if (NamesAccessory(LauncherSettings.accessoryPath))
            StartAccessory(LauncherSettings.accessoryPath);
        // The new program must not take activation: the saver would take that for a dismissal.
        SetActiveWindow(window);
        StartMusicTimer(window);
    }
    SetRect(&LauncherState.fillRect,
            0,
            0,
            WindowWidth(),
            LauncherState.windowRect.bottom - LauncherState.windowRect.top);
    LauncherState.backgroundBrush = CreateSolidBrush(LauncherSettings.backgroundColor);
}

// The brush and the accessory's handles outlive a close that the password refuses: the saver
// goes on painting until the window is really gone, and the accessory's ids stay its own. A
// window destroyed without a close still ends its music.
static void OnDestroy(HWND window)
{
    OutputDebugStringA("WM_DESTROY\n");
    StopMusic(window);
    if (LauncherState.backgroundBrush) {
        DeleteObject(LauncherState.backgroundBrush);
        LauncherState.backgroundBrush = nullptr;
    }
    CloseAccessoryHandles();
}

static void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC context = BeginPaint(window, &paint);
    FillRect(context, &LauncherState.fillRect, LauncherState.backgroundBrush);
    EndPaint(window, &paint);
}

static void OnClose(HWND window)
{
    OutputDebugStringA("WM_CLOSE\n");
    if (IsFullScreenRun()) {
        AskAccessoryToQuit();
        StopMusic(window);
    }
}

// The music's tick: the first loads the playlist and starts its first track, passing over the
// tracks that do not play; each later one moves on once the current track has ended. The
// tracks' notices make most changes sooner; the tick is for a device that never notifies, a go
// that its bound ended before a track played, and a change held back by the bound on starts per
// second.
static void OnMusicTick(HWND window)
{
    if (!LauncherState.musicEnabled)
        return;
    if (!LauncherState.musicStarted) {
        StartMusic(window);
        return;
    }
    Advance(&gPlaylist, window);
}

// The gentle start's step, until it has reached the volume.
static void OnFadeTick(HWND window)
{
    if (!StepFadeIn())
        KillTimer(window, FADE_TIMER_ID);
}

static void OnTimer(HWND window, UINT_PTR id)
{
    switch (id) {
    case MUSIC_TIMER_ID: OnMusicTick(window); break;
    case FADE_TIMER_ID: OnFadeTick(window); break;
    }
}

// A device's notice that its play is over: the next track starts at once, not at the next
// tick. Only a successful end counts; an aborted or superseded play, a failure and any notice
// once the music has stopped start nothing. A notice names its device, and one that names
// another device than the one now open starts nothing either. That test cannot catch every
// stale notice: MCI gives a closed device's identifier to the next device it opens, and a
// device that gives none (Wine's MPEG device gives 0) counts as the current one. What holds
// is that Advance asks the device first: a stale notice finds the new track playing.
static void OnMciNotify(HWND window, UINT flags, UINT device)
{
    if (flags != MCI_NOTIFY_SUCCESSFUL)
        return;
    if (!LauncherState.musicEnabled || !LauncherState.musicStarted)
        return;
    if (device != 0 && device != PlayerState.currentDevice)
        return;
    Advance(&gPlaylist, window);
}

LRESULT CALLBACK LauncherSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam)); break;
    case WM_DESTROY: OnDestroy(window); break;
    case WM_ACTIVATE: return 0;
    case WM_NCACTIVATE: return 0;
    case WM_PAINT: OnPaint(window); break;
    case WM_CLOSE: OnClose(window); break;
    case WM_TIMER: OnTimer(window, static_cast<UINT_PTR>(wParam)); break;
    case MM_MCINOTIFY:
        OnMciNotify(window, static_cast<UINT>(wParam), static_cast<UINT>(lParam));
        break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
