// SPDX-License-Identifier: MIT
#include "config/skin_loaders.h"

#include <algorithm>
#include <cmath>

#include "base/ini_file.h"
#include "base/random.h"
#include "base/runtime.h"
#include "config/screen_geometry.h"

namespace {

const std::string MainSettings = "MainSettings";
const std::string AdSection = "ADPIC";
constexpr int32_t SimultaneousPlaybacks = 3;

std::string Numbered(const std::string& stem, int32_t i, const std::string& suffix = "") {
  return stem + std::to_string(i) + suffix;
}

// The look of button image i: its kind and the files it takes.
void LoadButtonLook(SkinReader& reader, Skin& skin, int32_t i) {
  auto& layers = skin.ButtonImages[static_cast<size_t>(i)];
  int32_t& kind = skin.Layout.ButtonImageKind[static_cast<size_t>(i)];
  if (!reader.ImageFileExists(Numbered("butm", i, ".bmp"))) {
    kind = ButtonKindPlain;
    return;
  }
  reader.ReadImage(layers[1], Numbered("butm", i, ".bmp"));
  if (!reader.ImageFileExists(Numbered("butc", i, ".bmp"))) {
    kind = ButtonKindMasked;
    return;
  }
  reader.ReadImage(layers[2], Numbered("butc", i, ".bmp"));
  reader.ReadImage(layers[3], Numbered("butcm", i, ".bmp"));
  kind = ButtonKindNormalAndHighlight;
}

// Picks the advertisement of this run into entry ButtonImageCount.
void LoadAdvertisement(SkinReader& reader, Skin& skin) {
  SkinLayout& layout = skin.Layout;
  const size_t adEntry = static_cast<size_t>(layout.ButtonImageCount);
  int32_t maxAd = reader.Number(AdSection, "MaxAD");
  if (maxAd < 0) {
    skin.ButtonImages[adEntry][0].Create(1, 1);
    return;
  }
  GameRandom::Reseed();
  double r = GameRandom::Next();
  int32_t adCount = CheckedAdd(maxAd, 1);
  // floor(r x count) < count for r < 1; the min guards the rounding of a huge count.
  int32_t k = maxAd - std::min(static_cast<int32_t>(std::floor(r * adCount)), maxAd);
  layout.AdUrlKey = Numbered("ADUrl", k);
  layout.AdUrl = reader.MainIni().Read(AdSection, layout.AdUrlKey);
  reader.ProgressStep();
  reader.ReadImage(skin.ButtonImages[adEntry][0], Numbered("ad", k, ".bmp"));
  layout.ButtonImageKind[adEntry] = ButtonKindPlain;
}

}  // namespace

void LoadTexts(SkinReader& reader, Skin& skin) {
  int32_t maxTexts = reader.TableTop(MainSettings, "MaxTexts");
  skin.Layout.MainIni = reader.MainIni().Path();
  std::vector<std::string>& texts = skin.Layout.Texts;
  texts.assign(static_cast<size_t>(maxTexts) + 1, std::string());
  reader.ProgressStep();
  for (int32_t i = 0; i <= maxTexts; ++i) {
    texts[static_cast<size_t>(i)] = reader.MainIni().Read("Texts", Numbered("Text", i));
  }
}

void LoadCursors(SkinReader& reader, Skin& skin) {
  int32_t maxStyle = reader.TableTop(MainSettings, "MaxMouseStyle");
  skin.Cursors.assign(static_cast<size_t>(maxStyle) + 1, std::nullopt);
  reader.ProgressStep();
  for (int32_t i = 0; i <= maxStyle; ++i) {
    skin.Cursors[static_cast<size_t>(i)] = ReadCursorFile(reader.ImageFileName(Numbered("", i, ".cur")));
  }
}

void LoadButtonImages(SkinReader& reader, Skin& skin) {
  SkinLayout& layout = skin.Layout;
  layout.ButtonMinAlpha = reader.Number(MainSettings, "ButtonMinAlpha");
  int32_t maxButton = reader.TableTop(MainSettings, "MaxButton");
  layout.ButtonImageCount = maxButton + 1;
  skin.ButtonImages = std::vector<std::array<Surface, 4>>(static_cast<size_t>(layout.ButtonImageCount) + 1);
  layout.ButtonImageKind.assign(static_cast<size_t>(layout.ButtonImageCount) + 1, ButtonKindNormalAndHighlight);
  layout.AdUrl.clear();
  layout.AdUrlKey.clear();
  for (int32_t i = 0; i <= maxButton; ++i) {
    reader.ProgressStep();
    reader.ReadImage(skin.ButtonImages[static_cast<size_t>(i)][0], Numbered("but", i, ".bmp"));
    reader.ProgressStep();
    LoadButtonLook(reader, skin, i);
  }
  LoadAdvertisement(reader, skin);
}

void LoadLayout(SkinReader& reader, Skin& skin) {
  SkinLayout& layout = skin.Layout;
  for (int32_t i = 0; i <= 1; ++i) {
    const std::string n = std::to_string(i);
    layout.CheckX[i] = reader.Number(MainSettings, "CheckX" + n);
    reader.ProgressStep();
    layout.CheckY[i] = reader.Number(MainSettings, "CheckY" + n);
    reader.ProgressStep();
    reader.ReadImage(skin.CheckImages[i], "check" + n + ".bmp");
    reader.ProgressStep();
    reader.ReadImage(skin.CheckImages[i + 2], "check" + n + "m.bmp");
    reader.ProgressStep();
    layout.CheckHitLeft[i] = reader.Number(MainSettings, "C_CheckX0" + n);
    reader.ProgressStep();
    layout.CheckHitRight[i] = reader.Number(MainSettings, "C_CheckX1" + n);
    reader.ProgressStep();
    layout.CheckHitTop[i] = reader.Number(MainSettings, "C_CheckY0" + n);
    reader.ProgressStep();
    layout.CheckHitBottom[i] = reader.Number(MainSettings, "C_CheckY1" + n);
    reader.ProgressStep();
    layout.VolX[i] = reader.Number(MainSettings, "VolX" + n);
    reader.ProgressStep();
    layout.VolY[i] = reader.Number(MainSettings, "VolY" + n);
    reader.ProgressStep();
  }
  reader.ReadImage(skin.VolumeImage, "volume.bmp");
  layout.VolumeWidth = skin.VolumeImage.Width();
  layout.VolumeHeight = skin.VolumeImage.Height();
  reader.ProgressStep();
  layout.ShowStageX = reader.Number(MainSettings, "ShowStageX");
  reader.ProgressStep();
  layout.ShowStageY = reader.Number(MainSettings, "ShowStageY");
  reader.ProgressStep();
  layout.ShowScoreX = reader.Number(MainSettings, "ShowScoreX");
  reader.ProgressStep();
  layout.ShowScoreY = reader.Number(MainSettings, "ShowScoreY");
  for (int32_t i = 0; i <= 1; ++i) {
    const std::string n = std::to_string(i);
    reader.ReadImage(skin.MoveNumImages[i], "movenum" + n + ".bmp");
    reader.ProgressStep();
    reader.ReadImage(skin.ScoreImages[i], "score" + n + ".bmp");
    reader.ReadImage(skin.StageImages[i], "stage" + n + ".bmp");
    reader.ProgressStep();
  }
}

void LoadSounds(SkinReader& reader, Skin& skin) {
  SkinLayout& layout = skin.Layout;
  layout.MaxBackMusic = reader.Number(MainSettings, "MaxBackMusic");
  layout.MaxSounds = reader.TableTop(MainSettings, "MaxSounds");
  skin.Sounds.assign(static_cast<size_t>(layout.MaxSounds) + 1, 0);
  reader.ProgressStep();
  const std::string soundDirectory = reader.Directory() + "/sounds/";
  for (int32_t i = 0; i <= layout.MaxSounds; ++i) {
    skin.Sounds[static_cast<size_t>(i)] =
        LoadSoundSample(soundDirectory + Numbered("sound", i, ".ogg"), SimultaneousPlaybacks);
  }
}

std::vector<ScreenButton> LoadScreenButtons(SkinReader& reader, const Skin& skin, const std::string& section) {
  const SkinLayout& layout = skin.Layout;
  if (skin.ButtonImages.empty()) Raise(ErrorKind::SubscriptOutOfRange, "no button images are loaded");
  int32_t maxButton = reader.TableTop(section, "MaxButton");
  std::vector<ScreenButton> buttons(static_cast<size_t>(maxButton) + 1);
  auto picture = [&skin](int32_t image) -> const Surface& { return skin.ButtonImages[static_cast<size_t>(image)][0]; };
  auto imageNumber = [&](const std::string& key) {
    int32_t image = reader.Number(section, key);
    if (image < 0 || image > layout.ButtonImageCount) {
      reader.Fault(ErrorKind::SubscriptOutOfRange,
                   reader.KeyName(section, key) + ": no button image " + std::to_string(image));
      return 0;
    }
    return image;
  };
  // A button's far edges: its corner from the key plus its picture's size, in 32 bits.
  auto place = [&](ScreenButton& button, const std::string& keySection, const std::string& xKey,
                   const std::string& yKey) {
    button.Left = reader.Number(keySection, xKey);
    button.Top = reader.Number(keySection, yKey);
    const Surface& shown = picture(button.Image);
    if (__builtin_add_overflow(button.Left, shown.Width(), &button.Right))
      Raise(ErrorKind::Overflow, reader.KeyName(keySection, xKey) + " puts the button beyond the screen's coordinates");
    if (__builtin_add_overflow(button.Top, shown.Height(), &button.Bottom))
      Raise(ErrorKind::Overflow, reader.KeyName(keySection, yKey) + " puts the button beyond the screen's coordinates");
  };
  for (int32_t i = 0; i <= maxButton; ++i) {
    ScreenButton& button = buttons[static_cast<size_t>(i)];
    button.Image = imageNumber(Numbered("Button", i));
    place(button, section, Numbered("Button", i, "_X"), Numbered("Button", i, "_Y"));
    button.Alpha = 0;
    button.State = ButtonShown;
  }
  auto absentUnless = [&buttons](int32_t index, bool screenThere) {
    if (!screenThere && index < static_cast<int32_t>(buttons.size())) {
      buttons[static_cast<size_t>(index)].State = ButtonAbsent;
    }
  };
  if (section == "TitleButton") {
    absentUnless(TitleButton::HiScores, layout.HasHiScoreScreen);
    absentUnless(TitleButton::Controls, layout.HasControlsPage);
  } else if (section == "SelectStageButton") {
    absentUnless(StageSelectButton::HiScores, layout.HasHiScoreScreen);
  } else if (section == "GameButton") {
    absentUnless(PlayButton::Controls, layout.HasControlsPage);
  }
  if (section == "TitleButton" || section == "SelectStageButton") {
    ScreenButton ad;
    ad.Image = layout.ButtonImageCount;
    place(ad, AdSection, "ADShowX", "ADShowY");
    ad.Alpha = layout.ButtonMinAlpha;
    ad.State = ButtonShown;
    buttons.push_back(ad);
  }
  return buttons;
}

namespace {

// A picture the skin may lack: true when it is there, reads and has the size asked for.
bool ReadOptionalPicture(SkinReader& reader, Surface& surface, const std::string& name, int32_t width, int32_t height) {
  if (!reader.ImageFileExists(name)) return false;
  try {
    reader.ReadImage(surface, name);
  } catch (const RuntimeError&) {
    surface = Surface();
    return false;
  }
  return surface.Width() == width && surface.Height() == height;
}

// Each glyph's advance: its rightmost inked column in the mask and one pixel after it (the next
// glyph starts a pixel into its cell).
void MeasureFont(ImageCatalogue& images) {
  const Surface& mask = images.FontImages[1];
  for (int32_t code = 0; code < 256; ++code) images.FontAdvance[code] = 0;
  for (int32_t code = FontFirstCode; code < 256; ++code) {
    const int32_t cell = code - FontFirstCode;
    const int32_t left = (cell % FontColumns) * FontCellWidth, top = (cell / FontColumns) * FontCellHeight;
    int32_t right = -1;
    for (int32_t y = top; y < top + FontCellHeight; ++y) {
      const uint16_t* row = mask.Pixels() + static_cast<ptrdiff_t>(y) * (mask.Pitch() / 2);
      for (int32_t x = left; x < left + FontCellWidth; ++x) {
        if ((row[x] & 0x7FFF) != 0) right = std::max(right, x - left);
      }
    }
    images.FontAdvance[code] = static_cast<uint8_t>(right < 0 ? 0 : right + 1);
  }
  images.FontAdvance[FontFirstCode] = FontSpaceAdvance;
}

// [HelpPage]: every key there and every place within the help page, or none of it.
void LoadHelpBindings(SkinReader& reader, Skin& skin) {
  SkinLayout& layout = skin.Layout;
  const IniFile& ini = reader.MainIni();
  const std::string section = "HelpPage";
  auto number = [&](const std::string& key, int32_t& value) {
    const std::string text = ini.Read(section, key);
    if (!IsNumeric(text)) return false;
    try {
      value = TextToInt(text);
    } catch (const RuntimeError&) {
      return false;
    }
    return true;
  };
  const Surface& page = skin.Images.HelpImage;
  bool whole = number("KeyX", layout.HelpKeyX) && number("KeyWidth", layout.HelpKeyWidth) &&
               number("PadX", layout.HelpPadX) && number("PadWidth", layout.HelpPadWidth);
  for (int32_t i = 0; i < 7 && whole; ++i) {
    whole = number("Row" + std::to_string(i) + "Y", layout.HelpRowY[i]) && layout.HelpRowY[i] >= 0 &&
            layout.HelpRowY[i] + FontCellHeight <= page.Height();
  }
  auto inside = [&](int32_t x, int32_t width) { return x >= 0 && width > 0 && x <= page.Width() - width; };
  layout.HasHelpBindings =
      whole && inside(layout.HelpKeyX, layout.HelpKeyWidth) && inside(layout.HelpPadX, layout.HelpPadWidth);
}

}  // namespace

void LoadExtraScreens(SkinReader& reader, Skin& skin) {
  ImageCatalogue& images = skin.Images;
  SkinLayout& layout = skin.Layout;
  const bool font = ReadOptionalPicture(reader, images.FontImages[0], "font0.bmp", FontColumns * FontCellWidth,
                                        FontRows * FontCellHeight) &&
                    ReadOptionalPicture(reader, images.FontImages[1], "font1.bmp", FontColumns * FontCellWidth,
                                        FontRows * FontCellHeight);
  if (font) MeasureFont(images);
  layout.HasHiScoreScreen =
      ReadOptionalPicture(reader, images.ScoresBackImage, "scores_bk.bmp", LogicalWidth, LogicalHeight) && font;
  layout.HasControlsPage =
      ReadOptionalPicture(reader, images.KeysBackImage, "keys_bk.bmp", LogicalWidth, LogicalHeight) && font;
  layout.HasNameEntry =
      ReadOptionalPicture(reader, images.NamePanelImages[0], "namepanel0.bmp", NamePanelWidth, NamePanelHeight) &&
      ReadOptionalPicture(reader, images.NamePanelImages[1], "namepanel1.bmp", NamePanelWidth, NamePanelHeight) && font;
  LoadHelpBindings(reader, skin);
  layout.HasHelpBindings = layout.HasHelpBindings && font;
}
