// SPDX-License-Identifier: MIT
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/audio.h"

namespace {

namespace fs = std::filesystem;

// A mono 16-bit tone of the given length as a WAV file.
void WriteTone(const fs::path& path, double seconds, double hertz) {
  const uint32_t rate = 44100;
  const uint32_t frames = static_cast<uint32_t>(seconds * rate);
  std::vector<int16_t> pcm(frames);
  for (uint32_t i = 0; i < frames; ++i) {
    pcm[i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * hertz * i / rate));
  }
  const uint32_t dataBytes = frames * 2;
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + dataBytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  out.write("data", 4);
  u32(dataBytes);
  out.write(reinterpret_cast<const char*>(pcm.data()), dataBytes);
}

class AudioTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("kestrel_audio_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    WriteTone(dir_ / "long.wav", 20.0, 440);
    WriteTone(dir_ / "other.wav", 20.0, 660);
    WriteTone(dir_ / "blip.wav", 0.05, 880);
    WriteTone(dir_ / "effect.wav", 3.0, 330);
    std::ofstream(dir_ / "garbage.ogg") << "this is no sound at all";
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  void SetUp() override {
    OpenAudioDevice();
    ASSERT_TRUE(AudioDeviceOpen()) << SDL_GetError();
  }
  void TearDown() override { CloseAudioDevice(); }

  static std::string File(const char* name) { return (dir_ / name).string(); }

  static fs::path dir_;
};
fs::path AudioTest::dir_;

TEST_F(AudioTest, DeviceRunsAt44100AndMissingFilesGiveHandleZeroThatDoesNothing) {
  int rate = 0, channels = 0;
  Uint16 format = 0;
  ASSERT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1);
  EXPECT_EQ(rate, 44100);

  EXPECT_EQ(CreateMusicStream(File("missing.ogg")), 0u);
  EXPECT_EQ(CreateMusicStream(File("garbage.ogg")), 0u);
  EXPECT_EQ(LoadSoundSample(File("missing.ogg"), 3), 0u);
  EXPECT_EQ(LoadSoundSample(File("garbage.ogg"), 3), 0u);

  // The game stores the zero handles and goes on calling with them.
  PauseMusicStream(0);
  PlayMusicStream(0);
  StopMusicStream(0);
  SetMusicStreamVolume(0, 50);
  PlaySoundSample(0, 100);
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(AudioTest, WithoutADeviceEveryCallIsSilent) {
  CloseAudioDevice();
  EXPECT_FALSE(AudioDeviceOpen());
  EXPECT_EQ(CreateMusicStream(File("long.wav")), 0u);
  EXPECT_EQ(LoadSoundSample(File("effect.wav"), 3), 0u);
  PlayMusicStream(1);
  SetMusicStreamVolume(1, 100);
  PlaySoundSample(1, 100);
  EXPECT_EQ(MusicStreamState(1), MusicState::Stopped);
}

TEST_F(AudioTest, MusicPausesAndResumesAtTheSamePositionAndLoops) {
  const AudioHandle music = CreateMusicStream(File("long.wav"));
  ASSERT_NE(music, 0u);
  EXPECT_EQ(MusicStreamState(music), MusicState::Stopped);

  // Played: the track starts from its beginning.
  PlayMusicStream(music);
  EXPECT_EQ(MusicStreamState(music), MusicState::Playing);
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  SDL_Delay(400);
  double beforePause = MusicStreamPosition(music);
  EXPECT_GT(beforePause, 0.1);
  EXPECT_LT(beforePause, 2.0);

  // Window deactivated: paused, the position holds still.
  PauseMusicStream(music);
  EXPECT_EQ(MusicStreamState(music), MusicState::Paused);
  double paused = MusicStreamPosition(music);
  SDL_Delay(300);
  EXPECT_DOUBLE_EQ(MusicStreamPosition(music), paused);
  EXPECT_EQ(Mix_PausedMusic(), 1);

  // Resumed: it continues from where it stopped, not from the beginning.
  PlayMusicStream(music);
  EXPECT_EQ(MusicStreamState(music), MusicState::Playing);
  SDL_Delay(300);
  double resumed = MusicStreamPosition(music);
  EXPECT_GT(resumed, paused + 0.1);
  EXPECT_LT(resumed, paused + 1.5);

  // Playing a playing stream carries on.
  PlayMusicStream(music);
  EXPECT_GE(MusicStreamPosition(music), resumed);

  // Stopped, then played again: from the beginning.
  StopMusicStream(music);
  EXPECT_EQ(MusicStreamState(music), MusicState::Stopped);
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  PlayMusicStream(music);
  EXPECT_LT(MusicStreamPosition(music), resumed);
}

TEST_F(AudioTest, PausingAStreamThatNeverPlayedLeavesItToStartFromTheBeginning) {
  const AudioHandle music = CreateMusicStream(File("long.wav"));
  PauseMusicStream(music);
  EXPECT_EQ(MusicStreamState(music), MusicState::Stopped);
  PlayMusicStream(music);
  EXPECT_EQ(MusicStreamState(music), MusicState::Playing);
  EXPECT_LT(MusicStreamPosition(music), 0.5);
}

TEST_F(AudioTest, MusicVolumeReachesTheMixerAndIsSentEvenWhilePaused) {
  const AudioHandle music = CreateMusicStream(File("long.wav"));
  PlayMusicStream(music);
  SetMusicStreamVolume(music, 100);
  EXPECT_EQ(MusicStreamVolume(music), 100);
  EXPECT_EQ(MixerMusicVolume(), MIX_MAX_VOLUME);

  // Volume 0: silent, but the stream goes on playing.
  SetMusicStreamVolume(music, 0);
  EXPECT_EQ(MusicStreamVolume(music), 0);
  EXPECT_EQ(MixerMusicVolume(), 0);
  EXPECT_EQ(MusicStreamState(music), MusicState::Playing);

  // The slider while paused: the volume changes at once, the stream stays paused.
  PauseMusicStream(music);
  SetMusicStreamVolume(music, 2 * 25);
  EXPECT_EQ(MixerMusicVolume(), 64);
  EXPECT_EQ(MusicStreamState(music), MusicState::Paused);

  // Out-of-range requests are clamped to the 0..100 scale.
  SetMusicStreamVolume(music, 250);
  EXPECT_EQ(MusicStreamVolume(music), 100);
  SetMusicStreamVolume(music, -3);
  EXPECT_EQ(MusicStreamVolume(music), 0);
}

TEST_F(AudioTest, ANewTrackReplacesTheOldOneAndStoppedTracksAreReleased) {
  // Title music playing, then a stage starts: stop, new stream, play.
  AudioHandle title = CreateMusicStream(File("long.wav"));
  PlayMusicStream(title);
  SDL_Delay(200);
  StopMusicStream(title);
  AudioHandle game = CreateMusicStream(File("other.wav"));
  ASSERT_NE(game, 0u);
  EXPECT_NE(game, title);
  PlayMusicStream(game);
  EXPECT_EQ(MusicStreamState(game), MusicState::Playing);
  EXPECT_LT(MusicStreamPosition(game), 0.2);
  // The stopped title stream is gone; its handle does nothing any more.
  EXPECT_EQ(MusicStreamVolume(title), -1);
  PlayMusicStream(title);
  EXPECT_EQ(MusicStreamState(game), MusicState::Playing);

  // A playing stream is kept when another is opened, and playing the new one stops it.
  AudioHandle next = CreateMusicStream(File("long.wav"));
  EXPECT_EQ(MusicStreamState(game), MusicState::Playing);
  PlayMusicStream(next);
  EXPECT_EQ(MusicStreamState(game), MusicState::Stopped);
  EXPECT_EQ(MusicStreamState(next), MusicState::Playing);

  // Many stage starts in one session keep only the streams in use.
  AudioHandle stage = game;
  for (int i = 0; i < 50; ++i) {
    StopMusicStream(stage);
    stage = CreateMusicStream(File("other.wav"));
    ASSERT_NE(stage, 0u);
    PlayMusicStream(stage);
  }
  EXPECT_EQ(MusicStreamState(stage), MusicState::Playing);
}

TEST_F(AudioTest, AFourthPlaybackCutsOffTheOneThatHasPlayedLongest) {
  AudioHandle effect = LoadSoundSample(File("effect.wav"), 3);
  ASSERT_NE(effect, 0u);
  for (int i = 0; i < 3; ++i) PlaySoundSample(effect, 50);
  std::vector<SamplePlayback> three = SoundSamplePlaybacks(effect);
  ASSERT_EQ(three.size(), 3u);
  for (const SamplePlayback& p : three) {
    EXPECT_EQ(p.Volume, 50);
    EXPECT_EQ(Mix_Volume(p.Channel, -1), 64);
    EXPECT_EQ(Mix_Playing(p.Channel), 1);
  }

  PlaySoundSample(effect, 50);
  std::vector<SamplePlayback> after = SoundSamplePlaybacks(effect);
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(after[0].Serial, three[1].Serial);
  EXPECT_EQ(after[1].Serial, three[2].Serial);
  EXPECT_GT(after[2].Serial, three[2].Serial);
  // The newest took over the channel of the first; the others play on.
  EXPECT_EQ(after[2].Channel, three[0].Channel);
  EXPECT_EQ(Mix_Playing(-1), 3);
}

TEST_F(AudioTest, FinishedPlaybacksFreeTheirPlaceAndManySamplesShareTheMixer) {
  AudioHandle blip = LoadSoundSample(File("blip.wav"), 3);
  ASSERT_NE(blip, 0u);
  PlaySoundSample(blip, 100);
  PlaySoundSample(blip, 100);
  SDL_Delay(400);
  EXPECT_TRUE(SoundSamplePlaybacks(blip).empty());
  PlaySoundSample(blip, 100);
  EXPECT_EQ(SoundSamplePlaybacks(blip).size(), 1u);

  // Eight effects, three playbacks each: more than the mixer's first channels.
  std::vector<AudioHandle> effects;
  for (int i = 0; i < 8; ++i) effects.push_back(LoadSoundSample(File("effect.wav"), 3));
  for (int round = 0; round < 4; ++round) {
    for (AudioHandle effect : effects) PlaySoundSample(effect, 2 * round);
  }
  for (AudioHandle effect : effects) {
    std::vector<SamplePlayback> playbacks = SoundSamplePlaybacks(effect);
    ASSERT_EQ(playbacks.size(), 3u);
    EXPECT_EQ(playbacks.front().Volume, 2);
    EXPECT_EQ(playbacks.back().Volume, 6);
  }
  EXPECT_GE(Mix_Playing(-1), 24);
}

}  // namespace
