// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "base/ini_file.h"
#include "base/random.h"
#include "base/runtime.h"
#include "config/images.h"
#include "config/skin_loaders.h"
#include "player/user_settings.h"
#include "skin_fixture.h"

namespace {

namespace fs = std::filesystem;

// Progress steps of each loader with the fixture's main.ini (MaxButton 4, one advertisement).
constexpr int64_t TextSteps = 1, CursorSteps = 1, ButtonSteps = 2 * 5 + 1, LayoutSteps = 28, ImageSteps = 44,
                  SoundSteps = 1;

class LoadersTest : public testing::Test {
 protected:
  void SetUp() override { GameRandom::UseFixedSeed(7); }
  void TearDown() override {
    CloseAudioDevice();
    GameRandom::UseClockSeed();
  }
  // A fresh start-up from the fixture's folder, as the program makes at its start.
  Startup& Prepare() { return start.emplace(skin.Directory()); }

  void ExpectSize(const Surface& surface, const std::string& file) {
    ImageSize size = skin.SizeOf(file);
    EXPECT_EQ(surface.Width(), size.Width) << file;
    EXPECT_EQ(surface.Height(), size.Height) << file;
  }

  // Runs the loaders and returns the run-time error they stop with.
  RuntimeError StartupError() {
    Prepare();
    try {
      start->RunLoaders();
    } catch (const RuntimeError& error) {
      return error;
    }
    ADD_FAILURE() << "start-up did not fail";
    return RuntimeError(ErrorKind::Overflow);
  }

  SkinFixture skin;
  std::optional<Startup> start;
};

TEST_F(LoadersTest, StartupFillsEveryTableAndCountsItsProgressSteps) {
  Startup& started = Prepare();
  SkinReader& reader = started.Reader;
  Skin& look = started.Look;
  const SkinLayout& layout = look.Layout;
  const ImageCatalogue& images = look.Images;
  LoadTexts(reader, look);
  EXPECT_EQ(started.Steps, TextSteps);
  LoadCursors(reader, look);
  EXPECT_EQ(started.Steps, TextSteps + CursorSteps);
  LoadButtonImages(reader, look);
  EXPECT_EQ(started.Steps, TextSteps + CursorSteps + ButtonSteps);
  LoadUserSettings(started.Files, started.Player, layout.Texts.at(0));
  LoadLayout(reader, look);
  EXPECT_EQ(started.Steps, TextSteps + CursorSteps + ButtonSteps + LayoutSteps);
  LoadGameImages(reader, look.Images);
  EXPECT_EQ(started.Steps, TextSteps + CursorSteps + ButtonSteps + LayoutSteps + ImageSteps);
  OpenAudioDevice();
  LoadSounds(reader, look);
  EXPECT_EQ(started.Steps, TextSteps + CursorSteps + ButtonSteps + LayoutSteps + ImageSteps + SoundSteps);

  // Texts and cursors.
  ASSERT_EQ(layout.Texts.size(), 4u);
  EXPECT_EQ(layout.Texts[0], "Fixture Falls");
  EXPECT_EQ(layout.Texts[3], "third text");
  EXPECT_EQ(look.Cursors.size(), 3u);

  // Button images: kinds by the files present, the advertisement as entry ButtonImageCount.
  EXPECT_EQ(layout.ButtonImageCount, 5);
  EXPECT_EQ(layout.ButtonMinAlpha, 8);
  ASSERT_EQ(look.ButtonImages.size(), 6u);
  ASSERT_EQ(layout.ButtonImageKind.size(), 6u);
  EXPECT_EQ(layout.ButtonImageKind[0], ButtonKindNormalAndHighlight);
  EXPECT_EQ(layout.ButtonImageKind[1], ButtonKindMasked);
  EXPECT_EQ(layout.ButtonImageKind[2], ButtonKindPlain);
  EXPECT_EQ(layout.ButtonImageKind[3], ButtonKindPlain);  // butc3 without butm3 is not looked at
  EXPECT_EQ(layout.ButtonImageKind[4], ButtonKindNormalAndHighlight);
  EXPECT_EQ(layout.ButtonImageKind[5], ButtonKindPlain);
  const char* layers[] = {"but", "butm", "butc", "butcm"};
  for (int layer = 0; layer < 4; ++layer) ExpectSize(look.ButtonImages[0][layer], std::string(layers[layer]) + "0.bmp");
  ExpectSize(look.ButtonImages[1][1], "butm1.bmp");
  EXPECT_EQ(look.ButtonImages[1][2].Width(), 0);
  EXPECT_EQ(look.ButtonImages[3][2].Width(), 0);
  int pick = layout.AdUrl == "http://example.org/ad0" ? 0 : 1;
  EXPECT_EQ(layout.AdUrl, "http://example.org/ad" + std::to_string(pick));
  ExpectSize(look.ButtonImages[5][0], "ad" + std::to_string(pick) + ".bmp");

  // Layout: every key lands in its own field (keys built by concatenation).
  EXPECT_EQ(layout.CheckX[0], 101);
  EXPECT_EQ(layout.CheckX[1], 102);
  EXPECT_EQ(layout.CheckY[0], 103);
  EXPECT_EQ(layout.CheckY[1], 104);
  EXPECT_EQ(layout.CheckHitLeft[0], 111);
  EXPECT_EQ(layout.CheckHitLeft[1], 112);
  EXPECT_EQ(layout.CheckHitRight[0], 113);
  EXPECT_EQ(layout.CheckHitRight[1], 114);
  EXPECT_EQ(layout.CheckHitTop[0], 115);
  EXPECT_EQ(layout.CheckHitTop[1], 116);
  EXPECT_EQ(layout.CheckHitBottom[0], 117);
  EXPECT_EQ(layout.CheckHitBottom[1], 118);
  EXPECT_EQ(layout.VolX[1], 122);
  EXPECT_EQ(layout.VolY[0], 123);
  EXPECT_EQ(layout.ShowStageX, 131);
  EXPECT_EQ(layout.ShowScoreY, 134);
  ExpectSize(look.CheckImages[0], "check0.bmp");
  ExpectSize(look.CheckImages[1], "check1.bmp");
  ExpectSize(look.CheckImages[2], "check0m.bmp");
  ExpectSize(look.CheckImages[3], "check1m.bmp");
  ExpectSize(look.VolumeImage, "volume.bmp");
  for (int i = 0; i <= 1; ++i) {
    ExpectSize(look.MoveNumImages[i], "movenum" + std::to_string(i) + ".bmp");
    ExpectSize(look.ScoreImages[i], "score" + std::to_string(i) + ".bmp");
    ExpectSize(look.StageImages[i], "stage" + std::to_string(i) + ".bmp");
  }

  // The image catalogue, each surface from its own file.
  ExpectSize(images.TitleBackImage, "tit_bk.bmp");
  for (int i = 0; i <= 2; ++i) {
    const std::string n = std::to_string(i);
    ExpectSize(images.PieceImages[i], "s" + n + ".bmp");
    ExpectSize(images.PieceImages[i + 3], "s" + n + "m.bmp");
    ExpectSize(images.TargetCharImages[i], "sb" + n + ".bmp");
    ExpectSize(images.TargetCharImages[i + 3], "sb" + n + "m.bmp");
    ExpectSize(images.SelMusicImages[i], "selmus" + n + ".bmp");
  }
  ExpectSize(images.BackgroundImage, "background.bmp");
  for (int i = 0; i <= 1; ++i) {
    const std::string n = std::to_string(i) + ".bmp";
    ExpectSize(images.TitleLogoImages[i], "tit_logo" + n);
    ExpectSize(images.DiffImages[i], "diff" + n);
    ExpectSize(images.TimeNumImages[i], "timenum" + n);
    ExpectSize(images.PauseImages[i], "pause" + n);
    ExpectSize(images.GameOverImages[i], "gameover" + n);
    ExpectSize(images.NextStageImages[i], "nextstage" + n);
    ExpectSize(images.ExitImages[i], "exit" + n);
    ExpectSize(images.NewGameImages[i], "newgame" + n);
    ExpectSize(images.AngelImages[i], "angel" + n);
    ExpectSize(images.SelBackImages[i], "selbk" + n);
    ExpectSize(images.SelPointImages[i], "selpoint" + n);
    ExpectSize(images.SelDiffImages[i], "slediff" + n);
  }
  ExpectSize(images.HelpImage, "help.bmp");
  EXPECT_EQ(images.ScratchSurface.Width(), 10);
  EXPECT_EQ(images.ScratchSurface.Height(), 26);
  EXPECT_EQ(images.ScratchSurface.Pixels()[0], 0);

  // Sounds: a missing or unreadable file leaves handle 0.
  EXPECT_EQ(layout.MaxSounds, 2);
  EXPECT_EQ(layout.MaxBackMusic, 4);
  ASSERT_EQ(look.Sounds.size(), 3u);
  ASSERT_TRUE(AudioDeviceOpen()) << "the dummy sound driver opens a device";
  EXPECT_NE(look.Sounds[0], 0u);
  EXPECT_EQ(look.Sounds[1], 0u);
  EXPECT_NE(look.Sounds[2], 0u);
}

TEST_F(LoadersTest, ScreenButtonsOfEachSection) {
  Startup& started = Prepare();
  started.RunLoaders();
  const std::vector<ScreenButton>& buttons = started.Buttons;
  ImageSize ad = {started.Look.ButtonImages[5][0].Width(), started.Look.ButtonImages[5][0].Height()};

  // The title: its three buttons and the advertisement.
  ASSERT_EQ(buttons.size(), 4u);
  const ScreenButton& second = buttons[1];
  EXPECT_EQ(second.Image, 1);
  EXPECT_EQ(second.Left, 30);
  EXPECT_EQ(second.Top, 40);
  EXPECT_EQ(second.Right, 30 + skin.SizeOf("but1.bmp").Width);
  EXPECT_EQ(second.Bottom, 40 + skin.SizeOf("but1.bmp").Height);
  EXPECT_EQ(second.Alpha, 0);
  EXPECT_EQ(second.State, -1);
  const ScreenButton& advert = buttons[3];
  EXPECT_EQ(advert.Image, 5);
  EXPECT_EQ(advert.Left, 500);
  EXPECT_EQ(advert.Top, 480);
  EXPECT_EQ(advert.Right, 500 + ad.Width);
  EXPECT_EQ(advert.Bottom, 480 + ad.Height);
  EXPECT_EQ(advert.Alpha, 8);
  EXPECT_EQ(advert.State, -1);

  started.LoadButtons("SelectStageButton");
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0].Image, 3);
  EXPECT_EQ(buttons[2].Image, 5);

  // The play screen has no advertisement; its fifth button uses image 4.
  started.LoadButtons("GameButton");
  ASSERT_EQ(buttons.size(), 5u);
  EXPECT_EQ(buttons[4].Image, 4);
  EXPECT_EQ(buttons[4].Left, 604);
  EXPECT_EQ(buttons[4].Bottom, 480 + skin.SizeOf("but4.bmp").Height);

  // A section naming a button image that does not exist fails and keeps the old buttons.
  started.Reader.MainIni().Write("TitleButton", "Button1", "6");
  try {
    started.LoadButtons("TitleButton");
    FAIL();
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Kind(), ErrorKind::SubscriptOutOfRange);
    EXPECT_NE(error.Detail().find("Button1"), std::string::npos) << error.what();
  }
  EXPECT_EQ(buttons.size(), 5u);

  // A corner that puts a button's far edge beyond 32 bits names its key.
  started.Reader.MainIni().Write("TitleButton", "Button1", "1");
  started.Reader.MainIni().Write("ADPIC", "ADShowY", "2147483647");
  try {
    started.LoadButtons("TitleButton");
    FAIL();
  } catch (const RuntimeError& error) {
    EXPECT_NE(std::string(error.what()).find("section [ADPIC], key ADShowY"), std::string::npos) << error.what();
  }
}

TEST_F(LoadersTest, AdvertisementPick) {
  // MaxAD = -1: a 1 x 1 black picture, no address, kind 0, and still the extra title button.
  skin.MainIni.Set("ADPIC", "MaxAD", "-1");
  skin.WriteMainIni();
  Startup& started = Prepare();
  started.RunLoaders();
  const Surface& none = started.Look.ButtonImages[5][0];
  EXPECT_EQ(none.Width(), 1);
  EXPECT_EQ(none.Height(), 1);
  EXPECT_EQ(none.Pixels()[0], 0);
  EXPECT_EQ(started.Look.Layout.AdUrl, "");
  EXPECT_EQ(started.Look.Layout.ButtonImageKind[5], ButtonKindNormalAndHighlight);
  EXPECT_EQ(started.Steps, TextSteps + CursorSteps + ButtonSteps - 1 + LayoutSteps + ImageSteps + SoundSteps);
  ASSERT_EQ(started.Buttons.size(), 4u);
  EXPECT_EQ(started.Buttons[3].Right - started.Buttons[3].Left, 1);
  EXPECT_EQ(started.Buttons[3].Bottom - started.Buttons[3].Top, 1);

  // MaxAD = 0: always advertisement 0, whatever the generator gives.
  skin.MainIni.Set("ADPIC", "MaxAD", "0");
  skin.WriteMainIni();
  for (uint64_t seed = 1; seed <= 5; ++seed) {
    GameRandom::UseFixedSeed(seed);
    Startup& again = Prepare();
    LoadTexts(again.Reader, again.Look);
    LoadButtonImages(again.Reader, again.Look);
    EXPECT_EQ(again.Look.Layout.AdUrl, "http://example.org/ad0");
    ExpectSize(again.Look.ButtonImages[5][0], "ad0.bmp");
  }

  // MaxAD = 1: both pictures come up over a few runs, each with its own address.
  skin.MainIni.Set("ADPIC", "MaxAD", "1");
  skin.WriteMainIni();
  bool seen[2] = {false, false};
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    GameRandom::UseFixedSeed(seed);
    Startup& again = Prepare();
    LoadButtonImages(again.Reader, again.Look);
    const std::string& url = again.Look.Layout.AdUrl;
    ASSERT_FALSE(url.empty());
    int k = url.back() - '0';
    ASSERT_TRUE(k == 0 || k == 1) << url;
    ExpectSize(again.Look.ButtonImages[5][0], "ad" + std::to_string(k) + ".bmp");
    seen[k] = true;
  }
  EXPECT_TRUE(seen[0] && seen[1]);
}

TEST_F(LoadersTest, ImagesDirMayUseEitherSeparator) {
  for (const char* dir : {"/images/", "\\images\\", "/images\\"}) {
    skin.MainIni.Set("MainSettings", "ImagesDir", dir);
    skin.WriteMainIni();
    Startup& started = Prepare();
    EXPECT_NO_THROW(started.RunLoaders()) << dir;
    ExpectSize(started.Look.Images.HelpImage, "help.bmp");
  }
}
TEST_F(LoadersTest, EveryMissingNumericKeyStopsStartupNamingFileSectionAndKey) {
  const IniTable complete = skin.MainIni;
  int checked = 0;
  for (const auto& [section, key] : complete.Keys()) {
    const std::string value = complete.Get(section, key);
    bool numeric = IsNumeric(value);
    // Button4 of the play screen is written back by start-up itself.
    if (!numeric || (section == "GameButton" && key == "Button4")) continue;
    for (const std::string& broken : {std::string(), std::string("twelve")}) {
      skin.MainIni = complete;
      if (broken.empty()) {
        skin.MainIni.Remove(section, key);
      } else {
        skin.MainIni.Set(section, key, broken);
      }
      skin.WriteMainIni();
      Startup& started = Prepare();
      bool failed = false;
      try {
        started.RunLoaders();
        started.LoadButtons("SelectStageButton");
        started.LoadButtons("GameButton");
      } catch (const RuntimeError& error) {
        failed = true;
        EXPECT_EQ(error.Kind(), ErrorKind::TypeMismatch) << error.what();
        std::string message = error.what();
        EXPECT_NE(message.find((skin.Directory() / "main.ini").string()), std::string::npos) << message;
        EXPECT_NE(message.find("[" + section + "]"), std::string::npos) << message;
        EXPECT_NE(message.find("key " + key), std::string::npos) << message;
      }
      EXPECT_TRUE(failed) << section << " " << key << " = \"" << broken << "\"";
      ++checked;
    }
  }
  EXPECT_GT(checked, 80);
}

TEST_F(LoadersTest, TableSizesMustBeInRange) {
  for (const char* key : {"MaxTexts", "MaxMouseStyle", "MaxButton", "MaxSounds"}) {
    for (const char* value : {"-1", "100000"}) {
      SkinFixture fresh;
      fresh.MainIni.Set("MainSettings", key, value);
      fresh.WriteMainIni();
      Startup started(fresh.Directory());
      try {
        started.RunLoaders();
        ADD_FAILURE() << key << "=" << value;
      } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Kind(), ErrorKind::SubscriptOutOfRange);
        EXPECT_NE(std::string(error.what()).find(key), std::string::npos) << error.what();
      }
    }
  }
  skin.MainIni.Set("MainSettings", "MaxButton", "99999999999");
  skin.WriteMainIni();
  EXPECT_EQ(StartupError().Kind(), ErrorKind::Overflow);
}

TEST_F(LoadersTest, MissingImagesStopStartupNamingTheFileButOptionalLooksDoNot) {
  // Files whose absence changes a button's look instead of failing.
  for (const char* optional : {"butm1.bmp", "butc4.bmp", "butc3.bmp", "ad0.bmp", "ad1.bmp"}) {
    SkinFixture fresh;
    fresh.RemoveImage(optional);
    if (std::string(optional).starts_with("ad")) {
      fresh.MainIni.Set("ADPIC", "MaxAD", "-1");
      fresh.WriteMainIni();
    }
    Startup started(fresh.Directory());
    EXPECT_NO_THROW(started.RunLoaders()) << optional;
    // The last of them, ad1.bmp, leaves button 4 as it is.
    if (std::string(optional) == "ad1.bmp") {
      EXPECT_EQ(started.Look.Layout.ButtonImageKind[4], ButtonKindNormalAndHighlight);
    }
  }

  for (const std::string& file : skin.ImageFiles()) {
    if (file == "butm1.bmp" || file == "butc3.bmp" || file == "ad0.bmp" || file == "ad1.bmp" || file == "butm4.bmp" ||
        file == "butc4.bmp" || file == "butc0.bmp" || file == "butm0.bmp") {
      continue;
    }
    SkinFixture fresh;
    fresh.RemoveImage(file);
    Startup started(fresh.Directory());
    try {
      started.RunLoaders();
      ADD_FAILURE() << file;
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.Kind(), ErrorKind::FileNotFound) << error.what();
      EXPECT_NE(std::string(error.what()).find((fresh.ImagesDirectory() / file).string()), std::string::npos)
          << error.what();
    }
  }

  // butc without butcm: the look is kind 0, so the missing mask stops start-up.
  skin.RemoveImage("butcm4.bmp");
  RuntimeError error = StartupError();
  EXPECT_NE(std::string(error.what()).find("butcm4.bmp"), std::string::npos);

  // A file that is not a picture.
  std::ofstream(skin.ImagesDirectory() / "help.bmp") << "BM but nothing else";
  skin.WriteImage("butcm4.bmp", {4, 4});
  error = StartupError();
  EXPECT_EQ(error.Kind(), ErrorKind::InvalidPicture);
  EXPECT_NE(std::string(error.what()).find("help.bmp"), std::string::npos);
}

// The real default skin, when it is there: the whole start-up order against it.
TEST(DefaultSkinTest, StartsUpWithEveryTableFilled) {
  const char* source = std::getenv("KESTREL_SOURCE_DIR");
  if (source == nullptr || !fs::exists(fs::path(source) / "skin" / "main.ini")) {
    GTEST_SKIP() << "no default skin in this tree";
  }
  const fs::path dir = fs::temp_directory_path() / ("kestrel_default_skin_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::copy(fs::path(source) / "skin", dir, fs::copy_options::recursive);
  Startup started(dir);
  started.RunLoaders();
  const SkinLayout& layout = started.Look.Layout;
  const ImageCatalogue& images = started.Look.Images;
  const IniFile& mainIni = started.Reader.MainIni();

  const int32_t maxButton = TextToInt(mainIni.Read("MainSettings", "MaxButton"));
  const int32_t maxAd = TextToInt(mainIni.Read("ADPIC", "MaxAD"));
  EXPECT_EQ(started.Steps, 1 + 1 + 2 * (maxButton + 1) + (maxAd >= 0 ? 1 : 0) + 28 + 44 + 1);
  EXPECT_EQ(layout.ButtonImageCount, maxButton + 1);
  EXPECT_FALSE(layout.Texts.at(0).empty());
  for (int32_t i = 0; i <= maxButton; ++i) {
    const auto& layers = started.Look.ButtonImages[static_cast<size_t>(i)];
    int32_t kind = layout.ButtonImageKind[static_cast<size_t>(i)];
    EXPECT_GT(layers[0].Width(), 0) << i;
    for (int layer = 1; layer < 4; ++layer) {
      bool present = layer == 1 ? kind <= 1 : kind == 0;
      EXPECT_EQ(layers[layer].Width() > 0, present) << "button " << i << " layer " << layer;
      if (present) {
        EXPECT_EQ(layers[layer].Width(), layers[layer & 2].Width()) << "mask size, button " << i;
        EXPECT_EQ(layers[layer].Height(), layers[layer & 2].Height()) << "mask size, button " << i;
      }
    }
  }
  // The layouts the drawing relies on.
  EXPECT_GE(images.TitleBackImage.Width(), 720);
  EXPECT_GE(images.TitleBackImage.Height(), 540);
  for (int i = 0; i < 6; ++i) {
    EXPECT_GE(images.PieceImages[i].Width(), 192);
    EXPECT_GE(images.PieceImages[i].Height(), 192);
  }
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(started.Look.CheckImages[i].Width(), started.Look.CheckImages[i + 2].Width());
    EXPECT_EQ(started.Look.CheckImages[i].Height(), started.Look.CheckImages[i + 2].Height());
  }
  EXPECT_EQ(images.SelMusicImages[0].Height(), images.SelMusicImages[2].Height());
  EXPECT_GE(images.SelMusicImages[0].Height(), 5 * 32);
  EXPECT_GE(images.SelDiffImages[0].Height(), 3 * 36);
  EXPECT_EQ(images.ScratchSurface.Width(), 10);
  ASSERT_TRUE(AudioDeviceOpen()) << "the dummy sound driver opens a device";
  for (AudioHandle sample : started.Look.Sounds) EXPECT_NE(sample, 0u);
  // The game tracks open, and the title track plays and advances.
  for (int m = 0; m <= 4; ++m) {
    EXPECT_NE(CreateMusicStream((dir / "sounds" / ("back" + std::to_string(m) + ".ogg")).string()), 0u) << m;
  }
  const AudioHandle title = CreateMusicStream((dir / "sounds" / "titback.ogg").string());
  ASSERT_NE(title, 0u);
  PlayMusicStream(title);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_GT(MusicStreamPosition(title), 0.1);
  // Every screen's buttons.
  // Every screen a skin may lack is there, its font measured.
  EXPECT_TRUE(layout.HasHiScoreScreen && layout.HasControlsPage && layout.HasNameEntry && layout.HasHelpBindings);
  EXPECT_GT(images.FontAdvance['W'], images.FontAdvance['i']);
  EXPECT_EQ(images.FontAdvance[' '], FontSpaceAdvance);
  for (const char* section : {"TitleButton", "SelectStageButton", "GameButton", "HiScoreButton", "ControlsButton"}) {
    started.LoadButtons(section);
    int32_t max = TextToInt(mainIni.Read(section, "MaxButton"));
    bool withAd = std::string(section) == "TitleButton" || std::string(section) == "SelectStageButton";
    ASSERT_EQ(started.Buttons.size(), static_cast<size_t>(max + (withAd ? 2 : 1))) << section;
    for (const ScreenButton& button : started.Buttons) {
      EXPECT_GT(button.Right, button.Left) << section;
      EXPECT_GT(button.Bottom, button.Top) << section;
      EXPECT_EQ(button.State, -1);
    }
    if (std::string(section) == "GameButton") {
      EXPECT_EQ(started.Buttons[4].Image, 4);
    }
  }
  CloseAudioDevice();
  fs::remove_all(dir);
}

}  // namespace
