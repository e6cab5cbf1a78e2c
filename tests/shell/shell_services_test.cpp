// SPDX-License-Identifier: MIT
// The services the rules use, over the real audio layer and the default skin's sounds: the
// player's switches and volume levels decide what sounds and how loud.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "config/skin.h"
#include "config/skin_reader.h"
#include "game/flow.h"
#include "game/game.h"
#include "player/player.h"
#include "shell/canvas.h"
#include "shell/shell_services.h"
#include "shell_fakes.h"

namespace fs = std::filesystem;

namespace {

class ShellServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenAudioDevice();
    ASSERT_TRUE(AudioDeviceOpen()) << SDL_GetError();
  }
  void TearDown() override { CloseAudioDevice(); }

  static std::string SkinFolder() { return (fs::path(std::getenv("KESTREL_SOURCE_DIR")) / "skin").string(); }

  Canvas canvas;
  SkinReader reader{SkinFolder()};
  Skin skin;
  PlayerSettings player;
  int closes = 0;
  ShellServices services{canvas, [this] { ++closes; }, reader, skin, player};
};

}  // namespace

TEST_F(ShellServicesTest, MusicFollowsItsSwitchAtTwiceItsLevelAndResumesWhereItPaused) {
  services.OpenMusic("sounds/titback.ogg");
  const AudioHandle music = services.Music();
  ASSERT_NE(music, 0u);
  EXPECT_EQ(MusicStreamState(music), MusicState::Stopped);

  // Music switched off: the new track is opened but stays silent.
  player.CheckState[0] = 0;
  services.PlayMusic();
  EXPECT_EQ(MusicStreamState(music), MusicState::Stopped);

  // Switched on: the track starts from its beginning, at twice the level.
  player.CheckState[0] = 1;
  player.VolumeLevel[0] = 50;
  services.PlayMusic();
  EXPECT_EQ(MusicStreamState(music), MusicState::Playing);
  EXPECT_EQ(MusicStreamVolume(music), 100);
  EXPECT_EQ(MixerMusicVolume(), 128);
  SDL_Delay(400);
  const double beforePause = MusicStreamPosition(music);
  EXPECT_GT(beforePause, 0.1);
  EXPECT_LT(beforePause, 2.0);

  // Level 0: silent, but the stream goes on playing, and from where it was.
  player.VolumeLevel[0] = 0;
  services.PlayMusic();
  EXPECT_EQ(MusicStreamVolume(music), 0);
  EXPECT_EQ(MixerMusicVolume(), 0);
  EXPECT_EQ(MusicStreamState(music), MusicState::Playing);
  EXPECT_GE(MusicStreamPosition(music), beforePause);

  // Paused, then played again: it resumes where it paused.
  services.PauseMusic();
  EXPECT_EQ(MusicStreamState(music), MusicState::Paused);
  const double paused = MusicStreamPosition(music);
  SDL_Delay(200);
  player.VolumeLevel[0] = 25;
  services.PlayMusic();
  EXPECT_EQ(MusicStreamState(music), MusicState::Playing);
  EXPECT_EQ(MusicStreamVolume(music), 50);
  SDL_Delay(300);
  const double resumed = MusicStreamPosition(music);
  EXPECT_GT(resumed, paused + 0.1);
  EXPECT_LT(resumed, paused + 1.5);

  // Switched off again, a paused track stays paused.
  services.PauseMusic();
  player.CheckState[0] = 0;
  services.PlayMusic();
  EXPECT_EQ(MusicStreamState(music), MusicState::Paused);
}

TEST_F(ShellServicesTest, EffectsFollowTheirSwitchAtTwiceTheirLevelAndOnlyTheSkinsSounds) {
  const AudioHandle effect = LoadSoundSample(SkinFolder() + "/sounds/sound6.ogg", 3);
  ASSERT_NE(effect, 0u);
  skin.Sounds = {0, effect};  // sound 0 could not be loaded

  player.VolumeLevel[1] = 25;
  services.PlaySound(1);
  std::vector<SamplePlayback> playing = SoundSamplePlaybacks(effect);
  ASSERT_EQ(playing.size(), 1u);
  EXPECT_EQ(playing[0].Volume, 50);
  player.VolumeLevel[1] = 50;
  services.PlaySound(1);
  playing = SoundSamplePlaybacks(effect);
  ASSERT_EQ(playing.size(), 2u);
  EXPECT_EQ(playing[1].Volume, 100);

  // A number without a sound, or a sound that could not be loaded, plays nothing.
  services.PlaySound(0);
  services.PlaySound(2);
  services.PlaySound(-1);
  EXPECT_EQ(SoundSamplePlaybacks(effect).size(), 2u);

  // The effects' check box off: nothing starts.
  player.CheckState[1] = 0;
  services.PlaySound(1);
  EXPECT_EQ(SoundSamplePlaybacks(effect).back().Serial, playing[1].Serial);
  EXPECT_EQ(SoundSamplePlaybacks(effect).size(), 2u);
}

TEST_F(ShellServicesTest, AnEmptyAddressOpensNothing) {
  RecordingOpener opened;
  Game game(player, skin.Layout, services);
  game.State.Buttons.resize(3);  // start, quit and the advertisement's entry after them
  const int32_t advertisement = 2;
  TitleAction(game, advertisement);
  skin.Layout.Texts = {"kestrel", "", ""};
  PlayScreenAction(game, PlayButton::Web);
  EXPECT_TRUE(opened.opened.empty());
  skin.Layout.AdUrl = "https://ad.example/";
  TitleAction(game, advertisement);
  EXPECT_EQ(opened.opened, std::vector<std::string>{"https://ad.example/"});
}
