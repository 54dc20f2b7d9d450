// The music player's conversation with the device, against a recorder in place of
// mciSendStringA: which commands each operation sends, with which reply buffers, how the
// device's "status bgm mode" answer moves the playlist on, where a continuing run resumes, how
// one go passes over the tracks that do not play within its bound, and what keeps a list of
// tracks that end at once from changing tracks without pause.
#include "launcher/player.h"
#include "tests/support/mci_recorder.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <string>
#include <vector>

const char STATUS_COMMAND[] = "status bgm mode";
const char LENGTH_COMMAND[] = "status bgm length";

static std::vector<std::string> OpenOf(const std::string& path)
{
    return {"stop bgm", "close bgm", "open \"" + path + "\" alias bgm"};
}

static std::vector<std::string> StartOf(const std::string& path)
{
    std::vector<std::string> start = OpenOf(path);
    start.push_back(LENGTH_COMMAND);
    start.push_back("play bgm from 0");
    return start;
}

static std::vector<std::string> Then(std::vector<std::string> first,
                                     const std::vector<std::string>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

static std::string TrackPathOf(int track)
{
    return "C:\\music\\" + std::to_string(track) + ".wav";
}

// The tracks whose open commands were sent, in order.
static std::vector<int> OpenedTracks(const std::vector<std::string>& texts)
{
    std::vector<int> tracks;
    for (const std::string& text : texts)
        if (text.compare(0, 6, "open \"") == 0)
            tracks.push_back(std::stoi(text.substr(text.rfind('\\') + 1)));
    return tracks;
}

class Player : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPlayerState();
        playlist = new Playlist;
        lstrcpyA(playlist->baseDirectory, "C:\\music\\");
        device.ScriptReply(LENGTH_COMMAND, "400"); // every track has a length
    }
    void TearDown() override
    {
        delete playlist;
        ExpectNoNotification();
    }
    // The player never asks to be notified.
    void ExpectNoNotification() const
    {
        for (const SentMciCommand& command : device.Sent())
            EXPECT_EQ(command.notifyWindow, nullptr) << command.text;
    }
    // Forgets the commands sent so far, each checked first.
    void ClearSent()
    {
        ExpectNoNotification();
        device.Clear();
    }
    std::vector<std::string> Texts() const { return device.Texts(); }
    void ReplyToStatus(const char* reply) { device.ScriptReply(STATUS_COMMAND, reply); }
    // The track's file is not where the playlist says: its open fails.
    void Miss(int track, DWORD takesMs = 0)
    {
        device.ScriptFailure(OpenOf(TrackPathOf(track)).back(), MCIERR_FILE_NOT_FOUND, takesMs);
    }
    void AddTracks(int count)
    {
        for (int track = 1; track <= count; ++track) {
            std::string line = std::to_string(track) + ".wav\n";
            ASSERT_EQ(playlist->AddEntry(line.c_str()), track);
            ++playlist->trackCount;
        }
    }
    MciRecorder device{gSendMciCommand};
    Playlist* playlist;
};

// The record as at process start, whatever a run left in it: no track, no device, the first
// order, no round drawn and no start noted.
TEST(PlayerRecord, AResetGivesNoTrackNoDeviceTheFirstOrderNoRoundAndNoStart)
{
    PlayerState.currentTrack = 3;
    PlayerState.currentDevice = 7;
    PlayerState.playOrder = PLAY_ORDER_SHUFFLE;
    StartShuffle(&PlayerState.shuffle, 1000, 32);
    ASSERT_NE(NextShuffledTrack(&PlayerState.shuffle, 5), 0);
    ASSERT_EQ(TakeTrackStart(&PlayerState.starts, 1000), 1);
    ResetPlayerState();
    EXPECT_EQ(PlayerState.currentTrack, 0);
    EXPECT_EQ(PlayerState.currentDevice, 0u);
    EXPECT_EQ(PlayerState.playOrder, PLAY_ORDER_FIRST);
    EXPECT_EQ(PlayerState.shuffle.random, 0u);
    EXPECT_EQ(PlayerState.shuffle.count, 0);
    EXPECT_EQ(PlayerState.starts.count, 0);
}

TEST_F(Player, TheFirstTickStartsTrackOneAndFindsItPlaying)
{
    AddTracks(2);
    Advance(playlist);
    EXPECT_EQ(PlayerState.currentTrack, 1);
    std::vector<SentMciCommand> expected = {
        {STATUS_COMMAND, true, 256, nullptr},
        {"stop bgm", false, 0, nullptr},
        {"close bgm", false, 0, nullptr},
        {"open \"C:\\music\\1.wav\" alias bgm", true, 256, nullptr},
        {LENGTH_COMMAND, true, 256, nullptr},
        {"play bgm from 0", true, 256, nullptr}};
    EXPECT_EQ(device.Sent(), expected);

    ClearSent();
    ReplyToStatus("playing");
    Advance(playlist);
    EXPECT_EQ(Texts(), std::vector<std::string>{STATUS_COMMAND});
    EXPECT_EQ(PlayerState.currentTrack, 1);
}

TEST_F(Player, AfterTheLastTrackComesTheFirst)
{
    AddTracks(2);
    std::vector<int> order;
    for (int tick = 0; tick < 5; ++tick) {
        Advance(playlist);
        order.push_back(PlayerState.currentTrack);
    }
    EXPECT_EQ(order, (std::vector<int>{1, 2, 1, 2, 1}));
}

TEST_F(Player, AOneTrackPlaylistRepeatsItsTrack)
{
    AddTracks(1);
    Advance(playlist);
    Advance(playlist);
    std::vector<std::string> once = Then({STATUS_COMMAND}, StartOf("C:\\music\\1.wav"));
    EXPECT_EQ(Texts(), Then(once, once));
    EXPECT_EQ(PlayerState.currentTrack, 1);
}

TEST_F(Player, AnyStatusReplyButExactlyPlayingStartsTheNextTrack)
{
    AddTracks(3);
    const char* replies[] = {"stopped", "paused", "Playing", "PLAYING", "playing ", "",
                             "playin", "not ready", "seeking"};
    int expectedTrack = 0;
    for (const char* reply : replies) {
        ReplyToStatus(reply);
        Advance(playlist);
        expectedTrack = expectedTrack % 3 + 1;
        EXPECT_EQ(PlayerState.currentTrack, expectedTrack) << "reply: \"" << reply << "\"";
    }
}

TEST_F(Player, TrackNumbersOutside1To2048SendNothing)
{
    AddTracks(2);
    for (int trackNumber : {0, -1, MAX_TRACKS + 1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(Play(playlist, trackNumber), 0) << trackNumber;
        EXPECT_TRUE(device.Sent().empty()) << trackNumber;
    }
    EXPECT_EQ(PlayerState.currentTrack, 0);
}

TEST_F(Player, AnEmptySlotStopsTheMusicAndKeepsTheCurrentTrack)
{
    AddTracks(2);
    PlayerState.currentTrack = 2;
    EXPECT_EQ(Play(playlist, 3), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"stop bgm", "close bgm"}));
    EXPECT_EQ(PlayerState.currentTrack, 2);

    // The bound is the slot count, not the number of tracks loaded.
    playlist->tracks[MAX_TRACKS - 1] = _strdup("C:\\last.wav");
    ClearSent();
    EXPECT_EQ(Play(playlist, MAX_TRACKS), 1);
    EXPECT_EQ(Texts(), StartOf("C:\\last.wav"));
    EXPECT_EQ(PlayerState.currentTrack, MAX_TRACKS);
}

TEST_F(Player, WithoutTracksEveryTickQuietlyFindsSlotOneEmpty)
{
    for (int tick = 0; tick < 3; ++tick) {
        ClearSent();
        Advance(playlist);
        EXPECT_EQ(Texts(), (std::vector<std::string>{STATUS_COMMAND, "stop bgm", "close bgm"}));
        EXPECT_EQ(PlayerState.currentTrack, 1);
    }
}

TEST_F(Player, EndingTheMusicTwiceIsHarmlessAndKeepsTheCurrentTrack)
{
    AddTracks(2);
    Advance(playlist);
    ClearSent();
    for (int end = 0; end < 2; ++end) {
        CloseAllMusic();
        playlist->Clear();
    }
    std::vector<std::string> once = {"stop bgm", "close bgm", "close all"};
    EXPECT_EQ(Texts(), Then(once, once));
    EXPECT_EQ(PlayerState.currentTrack, 1);
    EXPECT_EQ(playlist->trackCount, 0);
    EXPECT_EQ(playlist->tracks[0], nullptr);
    // The next Advance wraps past the emptied list to track 1 and finds its slot empty.
    ClearSent();
    Advance(playlist);
    EXPECT_EQ(Texts(), (std::vector<std::string>{STATUS_COMMAND, "stop bgm", "close bgm"}));
}

TEST_F(Player, TheOpenCommandCarriesTheLongestTrackPathWhole)
{
    // The longest path a line can give: a 257-byte playlist folder and three 255-byte parts.
    lstrcpyA(playlist->baseDirectory, ("C:\\" + std::string(253, 'd') + "\\").c_str());
    std::string line = std::string(300, 'f') + "\\" + std::string(300, 'n') + "." +
                       std::string(300, 'e');
    ASSERT_EQ(playlist->AddEntry(line.c_str()), 1);
    playlist->trackCount = 1;
    std::string path = playlist->tracks[0];
    ASSERT_EQ(path.size(), 1022u);
    EXPECT_EQ(Play(playlist, 1), 1);
    ASSERT_EQ(device.Sent().size(), 5u);
    EXPECT_EQ(device.Sent()[2].text, "open \"" + path + "\" alias bgm");
}

// Passed over without an open: a path the open command could not carry whole or as it stands,
// and a MIDI file where no MIDI output could sound it (Wine's sequencer would report it
// playing for ever).
TEST_F(Player, PathsTheDeviceCouldNotTakeAreRefusedNotOpened)
{
    const bool midiOutput = midiOutGetNumDevs() > 0;
    struct Case {
        std::string path;
        bool refused;
    } cases[] = {
        {"C:\\" + std::string(1100, 'x') + ".wav", true}, // longer than any slot: not cut
        {"D:\\a.mp3\" type \"cdaudio", true},
        {"C:\\a\tb.wav", true},
        {"C:\\a\x7f.wav", true},
        {"C:\\song.mid", !midiOutput},
        {"C:\\SONG.RMI", !midiOutput},
        {"C:\\song.mid.wav", false},
    };
    for (const Case& c : cases) {
        free(playlist->tracks[0]);
        playlist->tracks[0] = _strdup(c.path.c_str());
        playlist->trackCount = 1;
        PlayerState.currentTrack = 0;
        ClearSent();
        EXPECT_EQ(Play(playlist, 1), c.refused ? 0 : 1) << c.path;
        std::vector<std::string> refused = {"stop bgm", "close bgm"};
        EXPECT_EQ(Texts(), c.refused ? refused : StartOf(c.path)) << c.path;
        EXPECT_EQ(PlayerState.currentTrack, c.refused ? 0 : 1) << c.path;
    }
}

// A continuing run opens the track it found by its path to learn its length in milliseconds,
// and resumes it where it stopped, or, in its last 3 seconds, starts the next track instead.
TEST_F(Player, AContinuingRunResumesTheLastTrackFromItsPlace)
{
    AddTracks(3);
    const std::string two = "C:\\music\\2.wav";
    const std::vector<std::string> opened =
        Then(OpenOf(two), {"set bgm time format milliseconds", LENGTH_COMMAND});
    device.ScriptReply(LENGTH_COMMAND, "200000");
    Continue(playlist, two.c_str(), 61500);
    EXPECT_EQ(Texts(), Then(opened, {"play bgm from 61500"}));
    ClearSent();
    Continue(playlist, two.c_str(), 197500);
    EXPECT_EQ(Texts(), Then(opened, StartOf("C:\\music\\3.wav")));
    EXPECT_EQ(PlayerState.currentTrack, 3);

    // The track no longer opens: the go goes on to the next that plays, past one missing too.
    Miss(2);
    Miss(3);
    ClearSent();
    Continue(playlist, two.c_str(), 61500);
    EXPECT_EQ(Texts(), Then(Then(OpenOf(two), OpenOf("C:\\music\\3.wav")),
                            StartOf("C:\\music\\1.wav")));
    EXPECT_EQ(PlayerState.currentTrack, 1);
}

// A track the device gives no length is never played, so no notice of its end can start the
// next at once: the go passes it over. And whatever a device reports, no more than 20 tracks
// start in a second; the change held back waits for a later tick.
TEST_F(Player, ATrackOfNoLengthIsNotPlayedAndNoMoreThanTwentyTracksStartInASecond)
{
    AddTracks(2);
    device.ScriptReplies(LENGTH_COMMAND, {"0", "400"});
    EXPECT_EQ(Play(playlist, 1), 0);
    EXPECT_EQ(Texts(), Then(OpenOf("C:\\music\\1.wav"), {LENGTH_COMMAND}));
    for (int notice = 0; notice < 40; ++notice) // tracks that end at once, each end noticed
        Advance(playlist);
    EXPECT_EQ(device.Count("play bgm from 0"), 20);
    Sleep(1100);
    Advance(playlist); // a tick a second later
    EXPECT_EQ(device.Count("play bgm from 0"), 21);
}

// A track that does not open (its file moved), a refused one (3) and one of no length (8) are
// passed over in the go that plays the next; shuffled, a go walks the round. Where no track
// can play, a go tries each once, and the next tick again. A go is one start.
TEST_F(Player, TracksThatCannotPlayArePassedOverInOneGoAsOneStart)
{
    AddTracks(9);
    for (int track : {1, 2, 4, 5, 6, 7})
        Miss(track);
    free(playlist->tracks[2]);
    playlist->tracks[2] = _strdup("C:\\music\\3.wav\" type \"cdaudio");
    device.ScriptReplies(LENGTH_COMMAND, {"0", "400"});
    Advance(playlist);
    EXPECT_EQ(OpenedTracks(Texts()), (std::vector<int>{1, 2, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(device.Count("play bgm from 0"), 1);
    EXPECT_EQ(PlayerState.currentTrack, 9);
    EXPECT_EQ(PlayerState.starts.count, 1);

    for (int track : {8, 9})
        Miss(track);
    PlayerState.currentTrack = 2;
    for (int tick = 0; tick < 2; ++tick) {
        ClearSent();
        Advance(playlist);
        EXPECT_EQ(OpenedTracks(Texts()), (std::vector<int>{4, 5, 6, 7, 8, 9, 1, 2}));
    }
    ResetPlayerState();
    PlayerState.playOrder = PLAY_ORDER_SHUFFLE;
    ClearSent();
    Advance(playlist);
    std::vector<int> round = OpenedTracks(Texts());
    std::sort(round.begin(), round.end());
    EXPECT_EQ(round, (std::vector<int>{1, 2, 4, 5, 6, 7, 8, 9}));
}

// A device that takes 30 ms to fail: a go stops once 50 ms have passed after its first try, and
// the next tick goes on after the last track it tried.
TEST_F(Player, AGoOfSlowFailuresEndsAfterFiftyMillisecondsAndTheNextTickGoesOn)
{
    AddTracks(10);
    for (int track = 1; track <= 10; ++track)
        Miss(track, 30);
    Advance(playlist);
    std::vector<int> tried = OpenedTracks(Texts());
    ASSERT_FALSE(tried.empty());
    EXPECT_LE(tried.size(), 3u);
    ClearSent();
    Advance(playlist);
    ASSERT_FALSE(OpenedTracks(Texts()).empty());
    EXPECT_EQ(OpenedTracks(Texts()).front(), tried.back() + 1);
}

// Eight missing tracks ahead of each good one cost no start of their own, and tracks that end
// as soon as they start, each end noticed, still start no more than 20 times a second.
TEST_F(Player, MissingTracksCostNoStartAndTracksThatEndAtOnceStillStartTwentyASecond)
{
    AddTracks(18);
    for (int track = 1; track <= 17; ++track)
        if (track != 9)
            Miss(track);
    for (int notice = 0; notice < 40; ++notice)
        Advance(playlist);
    EXPECT_EQ(device.Count("play bgm from 0"), 20);
    EXPECT_EQ(device.Count(OpenOf(TrackPathOf(1)).back().c_str()), 10);
}
