// Sound for the tests: the generated tones (media/tone.h) also as MP3 files, MIDI files of one
// note, so that no audio file is kept in the repository, and the Wine session's capture of
// everything played (capture.raw in the session folder, raw samples in each track's own
// format) with the tones heard in it.
#pragma once
#include "media/tone.h"
#include <cstdint>
#include <string>
#include <vector>

// The tone as an MP3 file, encoded by the Linux `lame` (tools/install-deps.sh installs it).
// Waits until the file is whole; false when it never is.
bool WriteToneMp3(const std::string& path, const Tone& tone);
// A standard MIDI file that plays one note (MIDI note number, 60 is middle C) on a piano.
bool WriteMidiNote(const std::string& path, int note, double seconds);

// capture.raw seen from Windows through drive Z:; empty without a session.
std::string CapturePath();
// Its size in bytes; 0 without one.
long long CaptureSize();
// The 16-bit samples captured between byte offsets from and to (to the end when to is -1),
// counted from from: earlier tests of the session may have left an odd number of bytes.
std::vector<int16_t> CapturedSamples(long long from, long long to = -1);

// The largest magnitude among the samples: how loud they reach; 0 for none or silence.
int PeakOf(const std::vector<int16_t>& samples);
// The frequency of a run of samples from its rate of zero crossings (a sine crosses zero twice
// per period); 0 for a run near silence.
double ToneFrequency(const int16_t* samples, int count, int sampleRate = TONE_SAMPLE_RATE);
// Which of the given frequencies were heard, in the order heard, from windows of 20 ms each
// within 15 % of one: a tone counts once it lasts three windows, and again only after another.
std::vector<double> TonesHeard(const std::vector<int16_t>& samples,
                               const std::vector<double>& frequencies,
                               int sampleRate = TONE_SAMPLE_RATE);
