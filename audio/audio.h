// Music and sound effects, over SDL2_mixer: one looping music stream at a time, and short
// samples played fire-and-forget, at most three at once per sample. Every call is silent
// when the device could not be opened or a handle is 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using AudioHandle = uint32_t;  // 0: no stream or sample

struct AudioGlobals {
  AudioHandle MusicStream = 0;
  std::vector<AudioHandle> SoundSamples;  // entry n is sound effect n
  int32_t CheckState[2] = {1, 1};         // (0) music, (1) effects; only 1 means on
  int32_t VolumeLevel[2] = {44, 44};      // 0..50; the volume sent is twice the level
};
extern AudioGlobals Audio;

// Sound effect numbers.
enum SoundEffect : int32_t {
  SoundClick = 0,
  SoundStep = 1,
  SoundLand = 2,
  SoundStageStart = 3,
  SoundGameOver = 4,
  SoundVanish = 5,
  SoundStageClear = 6,
  SoundRotate = 7,
};

// The device: opened by the main window's load handler (44.1 kHz), closed at GameExit.
void OpenAudioDevice();
void CloseAudioDevice();

// If the music is switched on: pause MusicStream, play it looping without flushing, set its
// volume to 2 x VolumeLevel(0). A new stream starts from its beginning, a paused one resumes.
void PlayMusic();
// If effects are switched on: one playback of SoundSamples(n) at 2 x VolumeLevel(1).
void PlaySoundEffect(int32_t n);

// Streams and samples from files; 0 when the file cannot be opened.
AudioHandle CreateMusicStream(const std::string& path);
void PauseMusicStream(AudioHandle stream);
void StopMusicStream(AudioHandle stream);
void SetMusicStreamVolume(AudioHandle stream, int32_t volume);  // 0..100
AudioHandle LoadSoundSample(const std::string& path, int32_t maxPlaybacks);

// Puts the audio globals back into their start state (tests).
void ResetAudioGlobals();
