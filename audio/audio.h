// SPDX-License-Identifier: MIT
// Music and sound effects, over SDL2_mixer: one looping music stream at a time, and short
// samples played fire-and-forget, at most a given number at once per sample. Every call is
// silent when the device could not be opened or a handle is 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using AudioHandle = uint32_t;  // 0: no stream or sample

// The device: opened by the main window's load handler (44.1 kHz), closed at GameExit.
// Closing releases every stream and sample; their handles then do nothing.
void OpenAudioDevice();
void CloseAudioDevice();
bool AudioDeviceOpen();

// Music streams from files; 0 when the file cannot be opened. A stream is stopped when
// opened. Only one stream sounds at a time: playing a stream stops the one the mixer played
// before. Opening a stream releases every earlier stream that is stopped (a replaced track is
// never played again), so a long session does not pile up open files.
AudioHandle CreateMusicStream(const std::string& path);
// Looping playback: a stopped stream starts from its beginning, a paused one resumes where it
// was paused, a playing one carries on.
void PlayMusicStream(AudioHandle stream);
void PauseMusicStream(AudioHandle stream);                      // a stopped stream stays stopped
void StopMusicStream(AudioHandle stream);                       // the next play starts from the beginning
void SetMusicStreamVolume(AudioHandle stream, int32_t volume);  // 0..100, clamped

// A sample decoded from the whole file; 0 when it cannot be loaded. At most `maxPlaybacks`
// playbacks of it sound at once: a further one cuts off the one that has played longest.
AudioHandle LoadSoundSample(const std::string& path, int32_t maxPlaybacks);
// A whole sound file decoded at the device's rate, its first channel only: for looking at where
// a track joins its end to its start. Empty when the device is closed or the file does not decode.
struct DecodedSound {
  std::vector<int16_t> Samples;
  int32_t Rate = 0;  // samples a second
};
DecodedSound DecodeSoundFile(const std::string& path);
// Starts one playback of the sample from its beginning at volume 0..100 (clamped).
void PlaySoundSample(AudioHandle sample, int32_t volume);

// Observable state, for tests and diagnostics.
enum class MusicState { Stopped, Playing, Paused };
MusicState MusicStreamState(AudioHandle stream);  // Stopped for an unknown handle
double MusicStreamPosition(AudioHandle stream);   // seconds into the track; 0 when stopped
int32_t MusicStreamVolume(AudioHandle stream);    // 0..100; -1 for an unknown handle
int32_t MixerMusicVolume();                       // the mixer's music volume, 0..MIX_MAX_VOLUME
struct SamplePlayback {
  uint64_t Serial;  // increases with every playback started by the program
  int32_t Channel;
  int32_t Volume;  // 0..100 as requested
};
// The playbacks of a sample still sounding, oldest first.
std::vector<SamplePlayback> SoundSamplePlaybacks(AudioHandle sample);
