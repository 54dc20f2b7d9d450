// The background-music player: plays the playlist's tracks one after another through MCI
// command strings on the device alias "bgm", told of a track's end by the device and asking
// it once per music tick.
#include "launcher/player.h"
#include "launcher/portable/track_path.h"
#include "saver_host/saver_host.h"
#include <stdlib.h>
#include <string.h>

MciSendStringFunction gSendMciCommand = mciSendStringA;

static const char OPEN_COMMAND_HEAD[] = "open \"";
static const char OPEN_COMMAND_TAIL[] = "\" alias bgm";
// Sized for any path a slot can hold (Load stores at most 1022 bytes) and the command text,
// so that the command is never cut.
const int OPEN_COMMAND_SIZE =
    PLAYLIST_PATH_SIZE + sizeof OPEN_COMMAND_HEAD + sizeof OPEN_COMMAND_TAIL;
const int MCI_REPLY_SIZE = 256;

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
    if (strlen(path) >= static_cast<size_t>(PLAYLIST_PATH_SIZE))
        return true; // longer than Load ever stores: refused rather than cut
    if (!IsSafeTrackPath(path))
        return true;
    return NamesMidiFile(path, IsSystemLeadByte) && midiOutGetNumDevs() == 0;
}

int Play(Playlist* playlist, int trackNumber, HWND notifyWindow)
{
    if (trackNumber < 1 || trackNumber > MAX_TRACKS)
        return 0;
    Stop();
    playlist->currentDevice = 0;
    const char* path = playlist->tracks[trackNumber - 1];
    if (path == nullptr || RefusesPath(path))
        return 0;
    size_t pathLength = strlen(path);

    char command[OPEN_COMMAND_SIZE];
    char* end = command;
    memcpy(end, OPEN_COMMAND_HEAD, sizeof OPEN_COMMAND_HEAD - 1);
    end += sizeof OPEN_COMMAND_HEAD - 1;
    memcpy(end, path, pathLength);
    end += pathLength;
    memcpy(end, OPEN_COMMAND_TAIL, sizeof OPEN_COMMAND_TAIL);

    // The results are not examined: a track that cannot be opened counts as ended at the
    // next tick, which moves on to the track after it.
    char reply[MCI_REPLY_SIZE];
    reply[0] = '\0';
    gSendMciCommand(command, reply, MCI_REPLY_SIZE, nullptr);
    reply[MCI_REPLY_SIZE - 1] = '\0';
    playlist->currentDevice = DeviceOfReply(reply);
    reply[0] = '\0';
    if (notifyWindow != nullptr)
        gSendMciCommand("play bgm from 0 notify", reply, MCI_REPLY_SIZE, notifyWindow);
    else
        gSendMciCommand("play bgm from 0", reply, MCI_REPLY_SIZE, nullptr);
    playlist->currentTrack = trackNumber;
    return 1;
}

int IsPlaying()
{
    // A failed request leaves the reply empty, so no open device counts as not playing.
    char reply[MCI_REPLY_SIZE];
    memset(reply, 0, sizeof reply);
    gSendMciCommand("status bgm mode", reply, MCI_REPLY_SIZE, nullptr);
    reply[MCI_REPLY_SIZE - 1] = '\0';
    return strcmp(reply, "playing") == 0 ? 1 : 0;
}

// The device is asked first whatever made the call, so that a tick and a notice for the same
// end start the next track once: the later of the two finds it playing.
void Advance(Playlist* playlist, HWND notifyWindow)
{
    if (IsPlaying())
        return;
    int next = playlist->currentTrack + 1;
    if (next > playlist->trackCount)
        next = 1;
    playlist->currentTrack = next;
    Play(playlist, next, notifyWindow);
}
