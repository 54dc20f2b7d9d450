// The background-music player: plays the playlist's tracks one after another through MCI
// command strings on the device alias "bgm", polled once per music tick.
#include "launcher/player.h"
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

int Play(Playlist* playlist, int trackNumber)
{
    if (trackNumber < 1 || trackNumber > MAX_TRACKS)
        return 0;
    Stop();
    const char* path = playlist->tracks[trackNumber - 1];
    if (path == nullptr)
        return 0;
    size_t pathLength = strlen(path);
    if (pathLength >= static_cast<size_t>(PLAYLIST_PATH_SIZE))
        return 0; // longer than Load ever stores: refused rather than cut

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
    reply[0] = '\0';
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

void Advance(Playlist* playlist)
{
    if (IsPlaying())
        return;
    int next = playlist->currentTrack + 1;
    if (next > playlist->trackCount)
        next = 1;
    playlist->currentTrack = next;
    Play(playlist, next);
}
