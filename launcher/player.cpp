// The background-music player: plays the playlist's tracks one after another through MCI
// command strings on the device alias "bgm", told of a track's end by the device and asking
// it once per music tick.
#include "launcher/player.h"
#include "launcher/ansi_path.h"
#include "launcher/portable/decimal_text.h"
#include "launcher/portable/track_path.h"
#include "saver_host/saver_host.h"
#include <stdlib.h>
#include <string.h>

MciSendStringFunction gSendMciCommand = mciSendStringA;
PlayerStateRecord PlayerState;

void ResetPlayerState()
{
    PlayerState = PlayerStateRecord();
}

static const char OPEN_COMMAND_HEAD[] = "open \"";
static const char OPEN_COMMAND_TAIL[] = "\" alias bgm";
// Sized for any path a slot can hold (Load stores at most 1022 bytes) and the command text,
// so that the command is never cut.
const int OPEN_COMMAND_SIZE = PATH_SIZE + sizeof OPEN_COMMAND_HEAD + sizeof OPEN_COMMAND_TAIL;
const int MCI_REPLY_SIZE = 256;
// "play bgm from " with a position of up to ten digits and " notify".
const int PLAY_COMMAND_SIZE = 48;

void Stop()
{
    gSendMciCommand("stop bgm", nullptr, 0, nullptr);
    gSendMciCommand("close bgm", nullptr, 0, nullptr);
}

void CloseAllMusic()
{
    Stop();
    gSendMciCommand("close all", nullptr, 0, nullptr);
}

// Sends a command whose reply the player reads, into reply (MCI_REPLY_SIZE bytes): empty when
// the device gives none. Returns the command's result, 0 for success; a failed request leaves
// the reply empty, which is all most callers need to know.
static MCIERROR Ask(const char* command, char* reply, HWND notifyWindow = nullptr)
{
    reply[0] = '\0';
    MCIERROR result = gSendMciCommand(command, reply, MCI_REPLY_SIZE, notifyWindow);
    reply[MCI_REPLY_SIZE - 1] = '\0';
    return result;
}

// A status reply as a number of the device's time units; UNKNOWN_POSITION for none.
static int32_t AskNumber(const char* command)
{
    char reply[MCI_REPLY_SIZE];
    Ask(command, reply);
    int32_t value = UNKNOWN_POSITION;
    ReadDecimal(reply, 0, INT32_MAX, &value);
    return value;
}

// A status reply in milliseconds, the time format the place is kept in; the device is switched
// to it first.
static int32_t AskMilliseconds(const char* command)
{
    char reply[MCI_REPLY_SIZE];
    Ask("set bgm time format milliseconds", reply);
    return AskNumber(command);
}

// The device an open command's reply names: the open answers with the new device's
// identifier, which its notices carry. 0 when the reply is no number.
static unsigned DeviceOfReply(const char* reply)
{
    char* end = nullptr;
    unsigned long device = strtoul(reply, &end, 10);
    return end != reply && *end == '\0' ? static_cast<unsigned>(device) : 0;
}

// Passed over, never opened. A path no MCI command can carry: a quote would end the quoted
// path and let the rest of the line change the command. And a MIDI file where the system has
// no MIDI output, which could never be heard: Wine's sequencer then even reports it playing
// for ever, and the music would stay on it.
static bool RefusesPath(const char* path)
{
    if (strlen(path) >= static_cast<size_t>(PATH_SIZE))
        return true; // longer than Load ever stores: refused rather than cut
    if (!IsSafeTrackPath(path))
        return true;
    return NamesMidiFile(path, AnsiPathLeadBytes()) && midiOutGetNumDevs() == 0;
}

// Wine's MCI drivers send a play's notice from their play thread and then return through their
// own code; closing the device at once, as the notice makes the player do, can unload the
// driver under that thread, which then faults and ends the saver (measured: 2 runs in 4 of
// 10 s with tracks of 0.4 s). A reference of the player's own keeps each driver the music has
// loaded in place for the rest of the run. The names are the NT family's and Wine's; the
// Windows 95 family's drivers are no module of this process and are left alone.
static void KeepMusicDriversLoaded()
{
    static const char* const drivers[] = {"mciwave.dll", "mciseq.dll", "mciqtz32.dll"};
    static bool kept[sizeof drivers / sizeof drivers[0]];
    for (size_t i = 0; i < sizeof drivers / sizeof drivers[0]; ++i) {
        if (kept[i] || GetModuleHandleA(drivers[i]) == nullptr)
            continue;
        LoadLibraryA(drivers[i]);
        kept[i] = true;
    }
}

// Stops the current track and opens the given one (1 to 2048) under the alias. false, with
// nothing open, for an empty slot, a refused path, and a file the device could not open: one
// moved or renamed since the playlist was written, or one it cannot read (Wine's wave device
// refuses an empty file at the open).
static bool OpenTrack(Playlist* playlist, int trackNumber)
{
    Stop();
    PlayerState.currentDevice = 0;
    const char* path = playlist->tracks[trackNumber - 1];
    if (path == nullptr || RefusesPath(path))
        return false;
    size_t pathLength = strlen(path);

    char command[OPEN_COMMAND_SIZE];
    char* end = command;
    memcpy(end, OPEN_COMMAND_HEAD, sizeof OPEN_COMMAND_HEAD - 1);
    end += sizeof OPEN_COMMAND_HEAD - 1;
    memcpy(end, path, pathLength);
    end += pathLength;
    memcpy(end, OPEN_COMMAND_TAIL, sizeof OPEN_COMMAND_TAIL);

    char reply[MCI_REPLY_SIZE];
    MCIERROR result = Ask(command, reply);
    KeepMusicDriversLoaded();
    if (result != 0)
        return false;
    PlayerState.currentDevice = DeviceOfReply(reply);
    return true;
}

// Starts the open track from position, in the device's time format.
static void StartOpenTrack(int32_t position, HWND notifyWindow)
{
    char command[PLAY_COMMAND_SIZE];
    wsprintfA(command,
              notifyWindow != nullptr ? "play bgm from %ld notify" : "play bgm from %ld",
              static_cast<LONG>(position));
    char reply[MCI_REPLY_SIZE];
    Ask(command, reply, notifyWindow);
}

int Play(Playlist* playlist, int trackNumber, HWND notifyWindow)
{
    if (trackNumber < 1 || trackNumber > MAX_TRACKS)
        return 0;
    if (!OpenTrack(playlist, trackNumber))
        return 0;
    PlayerState.currentTrack = trackNumber;
    // A track of no length (an empty or cut file) would end as soon as it starts, and its
    // notice would start the next at once: a list of them would open files as fast as the
    // machine can. It counts as failed, and the go passes it over within its bound.
    if (AskNumber("status bgm length") == 0)
        return 0;
    StartOpenTrack(0, notifyWindow);
    return 1;
}

int IsPlaying()
{
    char reply[MCI_REPLY_SIZE];
    Ask("status bgm mode", reply);
    return strcmp(reply, "playing") == 0 ? 1 : 0;
}

// Tries track after track from first on, in the play order, until one plays or the go's bound
// ends the go (see BeginGo); the next tick goes on from the last track tried.
static void PlayWithinGo(Playlist* playlist, int first, HWND notifyWindow, TrackGo* go)
{
    for (int track = first; track != 0;) {
        PlayerState.currentTrack = track;
        if (Play(playlist, track, notifyWindow) || !GoesOn(go, GetTickCount()))
            return;
        track = FollowingTrack(PlayerState.playOrder,
                               track,
                               playlist->trackCount,
                               &PlayerState.shuffle);
    }
}

// The device is asked first whatever made the call, so that a tick and a notice for the same
// end start the next track once: the later of the two finds it playing. The bound on starts
// takes one start for the whole go, whatever it passes over, and never counts how long a track
// played (the tests' sound sink, with no clock, ends a track of 0.4 s after 150 ms). Each go
// plays one track at most, so no more than MAX_STARTS_PER_SECOND tracks play in a second,
// while missing files ahead of a good one cost no start of their own.
void Advance(Playlist* playlist, HWND notifyWindow)
{
    if (IsPlaying())
        return;
    DWORD now = GetTickCount();
    int next = NextTrackNumber(PlayerState.playOrder,
                               PlayerState.currentTrack,
                               playlist->trackCount,
                               &PlayerState.shuffle,
                               &PlayerState.starts,
                               now);
    if (next == 0)
        return;
    TrackGo go = BeginGo(playlist->trackCount);
    PlayWithinGo(playlist, next, notifyWindow, &go);
}

// The track is opened to learn its length, in milliseconds, only when a position is known: a
// place in its last seconds, a track no longer of that length, or one that no longer opens,
// moves on to the next track. An open that fails is the go's first try.
void Continue(Playlist* playlist, const char* lastTrack, int32_t lastPosition, HWND notifyWindow)
{
    TrackGo go = BeginGo(playlist->trackCount);
    int found = FindTrackByPath(playlist->tracks, playlist->trackCount, lastTrack);
    bool tried = found != 0 && lastPosition != UNKNOWN_POSITION;
    bool opened = tried && OpenTrack(playlist, found);
    int32_t length = opened ? AskMilliseconds("status bgm length") : 0;
    ResumePoint point = ChooseResumePoint(found, lastPosition, length, playlist->trackCount);
    if (opened && point.trackNumber == found) {
        PlayerState.currentTrack = found;
        StartOpenTrack(point.position, notifyWindow);
        return;
    }
    // A go that its first try ended leaves the next tick to go on after that track.
    if (tried && !opened && !GoesOn(&go, GetTickCount())) {
        PlayerState.currentTrack = found;
        return;
    }
    PlayWithinGo(playlist, point.trackNumber, notifyWindow, &go);
}

int32_t CurrentPosition()
{
    return AskMilliseconds("status bgm position");
}
