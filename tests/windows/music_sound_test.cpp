// Real background music under Wine: two generated WAV tracks of clearly different pitch play
// through the system's MCI in playlist order, and closing the music silences them. The
// session's default sound device appends every played sample, in the track's own format, to capture.raw.
#include "launcher/player.h"
#include "tests/support/files.h"
#include "tests/support/sound.h"
#include <gtest/gtest.h>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

const double LOW_PITCH = 440.0;
const double HIGH_PITCH = 1760.0;
const int SAMPLE_RATE = TONE_SAMPLE_RATE;

enum class Pitch { Silent, Low, High, Other };

static Pitch PitchOf(const int16_t* samples, int count)
{
    double frequency = ToneFrequency(samples, count, SAMPLE_RATE);
    if (frequency == 0)
        return Pitch::Silent;
    if (frequency > LOW_PITCH * 0.7 && frequency < LOW_PITCH * 1.3)
        return Pitch::Low;
    if (frequency > HIGH_PITCH * 0.7 && frequency < HIGH_PITCH * 1.3)
        return Pitch::High;
    return Pitch::Other;
}

class MusicSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPlayerState();
        playlist = new Playlist;
    }
    void TearDown() override { delete playlist; }
    // Calls Advance every 50 ms, as the music timer would more slowly, until done() holds.
    template <typename Condition> bool AdvanceUntil(Condition done, DWORD timeout)
    {
        DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > timeout)
                return false;
            Sleep(50);
            Advance(playlist);
        }
        return true;
    }
    ScratchFolder scratch{"windows music"};
    std::string folder = scratch.Path() + "\\";
    Playlist* playlist;
};

TEST_F(MusicSound, BothTracksPlayInOrderAndClosingSilencesTheMusic)
{
    std::string capture = CapturePath();
    ASSERT_FALSE(capture.empty()) << "WINE_SESSION_DIR is not set";
    const double lowSeconds = 1.0;
    const double highSeconds = 8.0;
    ASSERT_TRUE(WriteToneWave(folder + "low.wav", {LOW_PITCH, lowSeconds}));
    ASSERT_TRUE(WriteToneWave(folder + "high.wav", {HIGH_PITCH, highSeconds}));
    ASSERT_TRUE(WriteTextFile(folder + "list.m3u", "#EXTM3U\r\nlow.wav\r\nhigh.wav\r\n"));
    const long long lowBytes = static_cast<long long>(SAMPLE_RATE * lowSeconds) * 2;
    const long long highBytes = static_cast<long long>(SAMPLE_RATE * highSeconds) * 2;

    long long start = FileSizeOf(capture);
    ASSERT_GE(start, 0) << capture;
    ASSERT_EQ(playlist->Load((folder + "list.m3u").c_str()), 2);

    // The first tick: track 1 starts, and the second call finds it playing.
    Advance(playlist);
    Advance(playlist);
    EXPECT_EQ(PlayerState.currentTrack, 1);
    EXPECT_EQ(IsPlaying(), 1);

    // Track 2 follows once track 1 has ended; let a quarter second of it reach the device.
    ASSERT_TRUE(AdvanceUntil([&] { return PlayerState.currentTrack == 2; }, 10000));
    ASSERT_TRUE(AdvanceUntil([&] { return FileSizeOf(capture) - start >= lowBytes + SAMPLE_RATE / 2; },
                             10000));
    ASSERT_EQ(IsPlaying(), 1) << "track 2 ended before the close";
    CloseAllMusic();
    playlist->Clear();
    EXPECT_EQ(IsPlaying(), 0);

    // Closing stops the sound: after the device has settled, nothing more is appended.
    Sleep(300);
    long long settled = FileSizeOf(capture);
    Sleep(1500);
    EXPECT_EQ(FileSizeOf(capture), settled) << "sound went on after the close";
    EXPECT_LT(settled - start, lowBytes + highBytes * 3 / 4) << "track 2 was not cut short";

    // Track 1 whole at the low pitch, then track 2 at the high pitch, never the other way.
    std::vector<int16_t> samples = CapturedSamples(start, settled);
    const int window = SAMPLE_RATE / 50; // 20 ms
    int lowWindows = 0, highWindows = 0, otherWindows = 0;
    int lastLow = -1, firstHigh = -1;
    for (int index = 0; (index + 1) * window <= static_cast<int>(samples.size()); ++index) {
        switch (PitchOf(samples.data() + index * window, window)) {
        case Pitch::Silent: break;
        case Pitch::Low: ++lowWindows, lastLow = index; break;
        case Pitch::High: ++highWindows, firstHigh = firstHigh < 0 ? index : firstHigh; break;
        case Pitch::Other: ++otherWindows; break;
        }
    }
    const int lowTrackWindows = static_cast<int>(lowSeconds * 50);
    EXPECT_GE(lowWindows, lowTrackWindows - 1);
    EXPECT_LE(lowWindows, lowTrackWindows);
    EXPECT_GE(highWindows, 10);
    EXPECT_LE(otherWindows, 1); // at most the window where the tracks meet
    EXPECT_GT(firstHigh, lastLow);
}
