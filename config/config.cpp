#include "config/config.h"

#include <algorithm>
#include <cmath>

#include "audio/audio.h"
#include "config/skin_files.h"
#include "game/random.h"
#include "shell/locations.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"

namespace {

const std::string MainSettings = "MainSettings";
const std::string AdSection = "ADPIC";
constexpr int32_t SimultaneousPlaybacks = 3;

std::string Numbered(const std::string& stem, int32_t i, const std::string& suffix = "") {
  return stem + std::to_string(i) + suffix;
}

// The look of button image i: its kind and the files it takes.
void LoadButtonLook(int32_t i) {
  auto& layers = Config.ButtonImages[static_cast<size_t>(i)];
  int32_t& kind = Config.ButtonImageKind[static_cast<size_t>(i)];
  if (!ImageFileExists(Numbered("butm", i, ".bmp"))) {
    kind = ButtonKindPlain;
    return;
  }
  ReadImage(layers[1], Numbered("butm", i, ".bmp"));
  if (!ImageFileExists(Numbered("butc", i, ".bmp"))) {
    kind = ButtonKindMasked;
    return;
  }
  ReadImage(layers[2], Numbered("butc", i, ".bmp"));
  ReadImage(layers[3], Numbered("butcm", i, ".bmp"));
  kind = ButtonKindNormalAndHighlight;
}

// Picks the advertisement of this run into entry ButtonImageCount.
void LoadAdvertisement() {
  const size_t adEntry = static_cast<size_t>(Config.ButtonImageCount);
  int32_t maxAd = MainIniNumber(AdSection, "MaxAD");
  if (maxAd < 0) {
    Config.ButtonImages[adEntry][0].Create(1, 1);
    return;
  }
  GameRandom::Reseed();
  double r = GameRandom::Next();
  int32_t adCount = CheckedAdd(maxAd, 1);
  // floor(r x count) < count for r < 1; the min guards the rounding of a huge count.
  int32_t k = maxAd - std::min(static_cast<int32_t>(std::floor(r * adCount)), maxAd);
  Config.AdUrlKey = Numbered("ADUrl", k);
  Config.AdUrl = Shell.MainIni.GetIniKey(AdSection, Config.AdUrlKey);
  LoadProgressStep();
  ReadImage(Config.ButtonImages[adEntry][0], Numbered("ad", k, ".bmp"));
  Config.ButtonImageKind[adEntry] = ButtonKindPlain;
}

}  // namespace

void LoadTexts() {
  int32_t maxTexts = MainIniTableTop(MainSettings, "MaxTexts");
  Config.Texts.assign(static_cast<size_t>(maxTexts) + 1, std::string());
  LoadProgressStep();
  for (int32_t i = 0; i <= maxTexts; ++i) {
    Config.Texts[static_cast<size_t>(i)] = Shell.MainIni.GetIniKey("Texts", Numbered("Text", i));
  }
}

void LoadCursors() {
  int32_t maxStyle = MainIniTableTop(MainSettings, "MaxMouseStyle");
  Config.MouseCursors.assign(static_cast<size_t>(maxStyle) + 1, 0);
  LoadProgressStep();
  for (int32_t i = 0; i <= maxStyle; ++i) {
    Config.MouseCursors[static_cast<size_t>(i)] = Platform::LoadCursorFromFile(ImageFileName(Numbered("", i, ".cur")));
  }
}

void LoadButtonImages() {
  Config.ButtonMinAlpha = MainIniNumber(MainSettings, "ButtonMinAlpha");
  int32_t maxButton = MainIniTableTop(MainSettings, "MaxButton");
  Config.ButtonImageCount = maxButton + 1;
  Config.ButtonImages = std::vector<std::array<CGDISurface, 4>>(static_cast<size_t>(Config.ButtonImageCount) + 1);
  Config.ButtonImageKind.assign(static_cast<size_t>(Config.ButtonImageCount) + 1, ButtonKindNormalAndHighlight);
  Config.AdUrl.clear();
  Config.AdUrlKey.clear();
  for (int32_t i = 0; i <= maxButton; ++i) {
    LoadProgressStep();
    ReadImage(Config.ButtonImages[static_cast<size_t>(i)][0], Numbered("but", i, ".bmp"));
    LoadProgressStep();
    LoadButtonLook(i);
  }
  LoadAdvertisement();
}

void LoadLayout() {
  for (int32_t i = 0; i <= 1; ++i) {
    const std::string n = std::to_string(i);
    Config.CheckX[i] = MainIniNumber(MainSettings, "CheckX" + n);
    LoadProgressStep();
    Config.CheckY[i] = MainIniNumber(MainSettings, "CheckY" + n);
    LoadProgressStep();
    ReadImage(Config.CheckImages[i], "check" + n + ".bmp");
    LoadProgressStep();
    ReadImage(Config.CheckImages[i + 2], "check" + n + "m.bmp");
    LoadProgressStep();
    Config.CheckHitLeft[i] = MainIniNumber(MainSettings, "C_CheckX0" + n);
    LoadProgressStep();
    Config.CheckHitRight[i] = MainIniNumber(MainSettings, "C_CheckX1" + n);
    LoadProgressStep();
    Config.CheckHitTop[i] = MainIniNumber(MainSettings, "C_CheckY0" + n);
    LoadProgressStep();
    Config.CheckHitBottom[i] = MainIniNumber(MainSettings, "C_CheckY1" + n);
    LoadProgressStep();
    Config.VolX[i] = MainIniNumber(MainSettings, "VolX" + n);
    LoadProgressStep();
    Config.VolY[i] = MainIniNumber(MainSettings, "VolY" + n);
    LoadProgressStep();
  }
  ReadImage(Config.VolumeImage, "volume.bmp");
  LoadProgressStep();
  Config.ShowStageX = MainIniNumber(MainSettings, "ShowStageX");
  LoadProgressStep();
  Config.ShowStageY = MainIniNumber(MainSettings, "ShowStageY");
  LoadProgressStep();
  Config.ShowScoreX = MainIniNumber(MainSettings, "ShowScoreX");
  LoadProgressStep();
  Config.ShowScoreY = MainIniNumber(MainSettings, "ShowScoreY");
  for (int32_t i = 0; i <= 1; ++i) {
    const std::string n = std::to_string(i);
    ReadImage(Config.MoveNumImages[i], "movenum" + n + ".bmp");
    LoadProgressStep();
    ReadImage(Config.ScoreImages[i], "score" + n + ".bmp");
    ReadImage(Config.StageImages[i], "stage" + n + ".bmp");
    LoadProgressStep();
  }
}

void LoadSounds() {
  Config.MaxBackMusic = MainIniNumber(MainSettings, "MaxBackMusic");
  Config.MaxSounds = MainIniTableTop(MainSettings, "MaxSounds");
  Audio.SoundSamples.assign(static_cast<size_t>(Config.MaxSounds) + 1, 0);
  LoadProgressStep();
  const std::string soundDirectory = Locations::SkinDirectory() + "/sounds/";
  for (int32_t i = 0; i <= Config.MaxSounds; ++i) {
    Audio.SoundSamples[static_cast<size_t>(i)] =
        LoadSoundSample(soundDirectory + Numbered("sound", i, ".ogg"), SimultaneousPlaybacks);
  }
}

void LoadScreenButtons(const std::string& section) {
  // Built aside and swapped in at the end, so a faulty section leaves the old buttons intact.
  if (Config.ButtonImages.empty()) Raise(ErrorKind::SubscriptOutOfRange, "no button images are loaded");
  int32_t maxButton = MainIniTableTop(section, "MaxButton");
  std::vector<ScreenButton> buttons(static_cast<size_t>(maxButton) + 1);
  auto picture = [](int32_t image) -> const CGDISurface& {
    return Config.ButtonImages[static_cast<size_t>(image)][0];
  };
  auto imageNumber = [&](const std::string& key) {
    int32_t image = MainIniNumber(section, key);
    if (image < 0 || image > Config.ButtonImageCount) {
      SkinFault(ErrorKind::SubscriptOutOfRange,
                MainIniKeyName(section, key) + ": no button image " + std::to_string(image));
      return 0;
    }
    return image;
  };
  // A button's far edges: its corner from the key plus its picture's size, in 32 bits.
  auto place = [&](ScreenButton& button, const std::string& keySection, const std::string& xKey,
                   const std::string& yKey) {
    button.Left = MainIniNumber(keySection, xKey);
    button.Top = MainIniNumber(keySection, yKey);
    const CGDISurface& shown = picture(button.Image);
    if (__builtin_add_overflow(button.Left, shown.Width(), &button.Right))
      Raise(ErrorKind::Overflow, MainIniKeyName(keySection, xKey) + " puts the button beyond the screen's coordinates");
    if (__builtin_add_overflow(button.Top, shown.Height(), &button.Bottom))
      Raise(ErrorKind::Overflow, MainIniKeyName(keySection, yKey) + " puts the button beyond the screen's coordinates");
  };
  for (int32_t i = 0; i <= maxButton; ++i) {
    ScreenButton& button = buttons[static_cast<size_t>(i)];
    button.Image = imageNumber(Numbered("Button", i));
    place(button, section, Numbered("Button", i, "_X"), Numbered("Button", i, "_Y"));
    button.Alpha = 0;
    button.State = -1;
  }
  if (section == "TitleButton" || section == "SelectStageButton") {
    ScreenButton ad;
    ad.Image = Config.ButtonImageCount;
    place(ad, AdSection, "ADShowX", "ADShowY");
    ad.Alpha = Config.ButtonMinAlpha;
    ad.State = -1;
    buttons.push_back(ad);
  }
  Config.ScreenButtons = std::move(buttons);
  Config.ScreenButtonMax = static_cast<int32_t>(Config.ScreenButtons.size()) - 1;
}
