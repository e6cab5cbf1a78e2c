#include "config/skin_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include "audio/audio.h"
#include "audio/sound_effects.h"
#include "base/runtime.h"
#include "base/safe_file.h"
#include "config/screen_geometry.h"
#include "config/skin_loaders.h"
#include "surface/cursor_file.h"

namespace {

const std::string MainSettings = "MainSettings";
// The sound effects the game plays (0 click .. 7 rotate) and the tracks of the music choices.
constexpr int32_t HighestSoundEffect = SoundRotate;
constexpr int32_t MusicChoices = 5;
// Digits shorter than this are hard to read at the game's size.
constexpr int32_t ReadableDigitHeight = 12;
// A track shorter than this repeats often enough to tire the ear.
constexpr double ShortestPleasantLoop = 10.0;
using PlayButton::ExitNo, PlayButton::ExitYes, PlayButton::NewGameNo, PlayButton::NewGameYes;

struct Box {
  int32_t Left, Top, Right, Bottom;  // right and bottom exclusive
  bool Overlaps(const Box& o) const { return Left < o.Right && o.Left < Right && Top < o.Bottom && o.Top < Bottom; }
  bool Inside(const Box& o) const { return Left >= o.Left && Top >= o.Top && Right <= o.Right && Bottom <= o.Bottom; }
  std::string Text() const {
    char text[64];
    std::snprintf(text, sizeof text, "(%d, %d)-(%d, %d)", Left, Top, Right, Bottom);
    return text;
  }
};

constexpr Box Screen{0, 0, LogicalWidth, LogicalHeight};
constexpr Box Well{BoardLeft, BoardTop, BoardRight, BoardBottom};

bool Loaded(const Surface& surface) { return surface.Width() > 0 && surface.Height() > 0; }

class Checker {
 public:
  explicit Checker(const std::string& directory) : directory_(directory), reader_(directory) {}

  SkinReport Run() {
    if (!std::filesystem::is_regular_file(directory_ + "/main.ini")) {
      report_.Errors.push_back(directory_ + "/main.ini: missing; a skin folder holds main.ini, images/ and sounds/");
      return report_;
    }
    std::vector<std::string> faults;
    reader_.CollectFaults(&faults);
    Step([this] { LoadTexts(reader_, skin_); });
    Step([this] { LoadButtonImages(reader_, skin_); });
    Step([this] { LoadLayout(reader_, skin_); });
    Step([this] { LoadGameImages(reader_, skin_.Images); });
    for (const char* section : {"TitleButton", "SelectStageButton", "GameButton"}) {
      std::vector<ScreenButton> buttons;
      Step([&] { buttons = LoadScreenButtons(reader_, skin_, section); });
      CheckButtons(section, buttons);
    }
    CheckCursors();
    CheckSounds();
    CheckSheets();
    CheckButtonLooks();
    CheckLayout();
    // A picture two loaders read is told once.
    for (const std::string& fault : faults)
      if (std::find(report_.Errors.begin(), report_.Errors.end(), fault) == report_.Errors.end())
        report_.Errors.push_back(fault);
    return report_;
  }

 private:
  template <typename Loader>
  void Step(Loader&& loader) {
    try {
      loader();
    } catch (const std::exception& error) {
      report_.Errors.push_back(error.what());
    }
  }

  void Error(const std::string& text) { report_.Errors.push_back(text); }
  void Warning(const std::string& text) { report_.Warnings.push_back(text); }

  // A picture and its mask are one sprite: the same size.
  void SameSize(const Surface& picture, const std::string& pictureName, const Surface& mask,
                const std::string& maskName) {
    if (!Loaded(picture) || !Loaded(mask)) return;
    if (picture.Width() != mask.Width() || picture.Height() != mask.Height())
      Error(reader_.ImageFileName(maskName) + ": " + Size(mask) + ", but its picture " + pictureName + " is " +
            Size(picture));
  }

  static std::string Size(const Surface& s) { return std::to_string(s.Width()) + " x " + std::to_string(s.Height()); }

  // A sheet the drawing cuts into columns x rows cells of at least minW x minH; cells a multiple
  // of 4 wide, since masked copies work in groups of four pixels.
  void Sheet(const Surface& picture, const std::string& name, int32_t columns, int32_t rows, int32_t minW,
             int32_t minH) {
    if (!Loaded(picture)) return;
    const std::string file = reader_.ImageFileName(name);
    const std::string cut = std::to_string(columns) + " x " + std::to_string(rows) + " cells";
    if (picture.Width() % columns != 0 || picture.Height() % rows != 0) {
      Error(file + ": " + Size(picture) + " does not divide into " + cut);
      return;
    }
    const int32_t w = picture.Width() / columns, h = picture.Height() / rows;
    if (w % 4 != 0) Error(file + ": cells " + std::to_string(w) + " pixels wide; they must be a multiple of 4");
    if (w < minW || h < minH)
      Error(file + ": cells of " + std::to_string(w) + " x " + std::to_string(h) + " are smaller than " +
            std::to_string(minW) + " x " + std::to_string(minH));
  }

  void ExactSize(const Surface& picture, const std::string& name, int32_t w, int32_t h) {
    if (Loaded(picture) && (picture.Width() != w || picture.Height() != h))
      Error(reader_.ImageFileName(name) + ": " + Size(picture) + "; the game draws it " + std::to_string(w) + " x " +
            std::to_string(h));
  }

  void Digits(const Surface& strip, const std::string& name, int32_t advance) {
    Sheet(strip, name, 1, 10, 4, 4);
    if (!Loaded(strip)) return;
    if (strip.Width() > advance)
      Warning(reader_.ImageFileName(name) + ": digits " + std::to_string(strip.Width()) +
              " pixels wide overlap; the game sets them " + std::to_string(advance) + " apart");
    if (strip.Height() / 10 < ReadableDigitHeight)
      Warning(reader_.ImageFileName(name) + ": digits " + std::to_string(strip.Height() / 10) +
              " pixels tall are hard to read; " + std::to_string(ReadableDigitHeight) + " or more is advised");
  }

  void CheckSheets() {
    for (int32_t k = 0; k < 3; ++k) {
      const std::string n = std::to_string(k);
      Sheet(skin_.Images.PieceImages[k], "s" + n + ".bmp", 6, 6, BoardCellSize, BoardCellSize);
      ExactSize(skin_.Images.PieceImages[k], "s" + n + ".bmp", 6 * BoardCellSize, 6 * BoardCellSize);
      SameSize(skin_.Images.PieceImages[k], "s" + n + ".bmp", skin_.Images.PieceImages[k + 3], "s" + n + "m.bmp");
      Sheet(skin_.Images.TargetCharImages[k], "sb" + n + ".bmp", 12, 4, 4, 4);
      SameSize(skin_.Images.TargetCharImages[k], "sb" + n + ".bmp", skin_.Images.TargetCharImages[k + 3],
               "sb" + n + "m.bmp");
    }
    struct Pair {
      const Surface* images;
      const char* stem;
      int32_t columns, rows, minW, minH;
    };
    const Pair pairs[] = {
        {skin_.Images.AngelImages, "angel", 6, 4, 16 + 2 * BoardCellSize,
         96 + BoardCellSize},  // the next pair sits in the cell
        {skin_.Images.DiffImages, "diff", 1, 3, 4, 4},
        {skin_.Images.SelDiffImages, "slediff", 1, 3, DifficultyButtonSize, DifficultyButtonSize},
        {skin_.Images.TitleLogoImages, "tit_logo", 1, 1, 4, 4},
        {skin_.Images.PauseImages, "pause", 1, 1, 4, 4},
        {skin_.Images.GameOverImages, "gameover", 1, 1, 4, 4},
        {skin_.Images.NextStageImages, "nextstage", 1, 1, 4, 4},
        {skin_.Images.ExitImages, "exit", 1, 1, 4, 4},
        {skin_.Images.NewGameImages, "newgame", 1, 1, 4, 4},
        {skin_.Images.SelBackImages, "selbk", 1, 1, 4, 4},
        {skin_.Images.SelPointImages, "selpoint", 1, 1, 4, 4},
    };
    for (const Pair& p : pairs) {
      const std::string stem = p.stem;
      Sheet(p.images[0], stem + "0.bmp", p.columns, p.rows, p.minW, p.minH);
      SameSize(p.images[0], stem + "0.bmp", p.images[1], stem + "1.bmp");
    }
    ExactSize(skin_.Images.SelDiffImages[0], "slediff0.bmp", DifficultyButtonSize, 3 * DifficultyButtonSize);
    for (int32_t i = 0; i < 2; ++i) {
      Sheet(skin_.Images.SelMusicImages[i], "selmus" + std::to_string(i) + ".bmp", 1, MusicChoices, MusicButtonWidth,
            MusicButtonHeight);
      ExactSize(skin_.Images.SelMusicImages[i], "selmus" + std::to_string(i) + ".bmp", MusicButtonWidth,
                MusicChoices * MusicButtonHeight);
      SameSize(skin_.Images.SelMusicImages[i], "selmus" + std::to_string(i) + ".bmp", skin_.Images.SelMusicImages[2],
               "selmus2.bmp");
    }
    Digits(skin_.Images.TimeNumImages[0], "timenum0.bmp", 20);
    SameSize(skin_.Images.TimeNumImages[0], "timenum0.bmp", skin_.Images.TimeNumImages[1], "timenum1.bmp");
    Digits(skin_.ScoreImages[0], "score0.bmp", 20);
    Digits(skin_.StageImages[0], "stage0.bmp", 26);
    SameSize(skin_.ScoreImages[0], "score0.bmp", skin_.ScoreImages[1], "score1.bmp");
    SameSize(skin_.StageImages[0], "stage0.bmp", skin_.StageImages[1], "stage1.bmp");
    // Score pop-ups: rows of 17 pixels for the ten digits and the sign.
    const Surface& popups = skin_.MoveNumImages[0];
    if (Loaded(popups) && (popups.Height() < 11 * 17 || popups.Width() % 4 != 0))
      Error(reader_.ImageFileName("movenum0.bmp") + ": " + Size(popups) +
            "; it needs 11 rows of 17 pixels and a width that is a multiple of 4");
    SameSize(popups, "movenum0.bmp", skin_.MoveNumImages[1], "movenum1.bmp");
    for (int32_t i = 0; i < 2; ++i)
      SameSize(skin_.CheckImages[i], "check" + std::to_string(i) + ".bmp", skin_.CheckImages[i + 2],
               "check" + std::to_string(i) + "m.bmp");
    if (Loaded(skin_.VolumeImage) && skin_.VolumeImage.Width() < 52)
      Error(reader_.ImageFileName("volume.bmp") + ": " + std::to_string(skin_.VolumeImage.Width()) +
            " pixels wide; the loudest level shows 52");
    ExactSize(skin_.Images.HelpImage, "help.bmp", BoardRight - BoardLeft, BoardBottom - BoardTop);
    ExactSize(skin_.Images.BackgroundImage, "background.bmp", LogicalWidth, LogicalHeight);
    ExactSize(skin_.Images.TitleBackImage, "tit_bk.bmp", LogicalWidth, LogicalHeight);
    // The loading window's picture and progress strip, read by the loading window itself.
    Surface loading, strip;
    reader_.ReadImage(loading, "loading.bmp");
    ExactSize(loading, "loading.bmp", 200, 149);
    reader_.ReadImage(strip, "plan.bmp");
    if (Loaded(strip) && (strip.Width() < 198 || strip.Height() < 10))
      Error(reader_.ImageFileName("plan.bmp") + ": " + Size(strip) + "; the progress strip needs 198 x 10");
  }

  void CheckButtonLooks() {
    for (int32_t i = 0; i < skin_.Layout.ButtonImageCount && i < static_cast<int32_t>(skin_.ButtonImages.size()); ++i) {
      const auto& layers = skin_.ButtonImages[static_cast<size_t>(i)];
      const std::string n = std::to_string(i);
      const int32_t kind = skin_.Layout.ButtonImageKind[static_cast<size_t>(i)];
      if (kind == ButtonKindPlain) continue;
      SameSize(layers[0], "but" + n + ".bmp", layers[1], "butm" + n + ".bmp");
      if (kind != ButtonKindNormalAndHighlight) continue;
      SameSize(layers[0], "but" + n + ".bmp", layers[2], "butc" + n + ".bmp");
      SameSize(layers[2], "butc" + n + ".bmp", layers[3], "butcm" + n + ".bmp");
    }
  }

  // The buttons a screen shows together stay on screen and apart; on the play screen the ones
  // always shown keep off the well, and each confirmation panel's yes and no lie on that panel.
  void CheckButtons(const std::string& section, const std::vector<ScreenButton>& buttons) {
    const size_t own = section == "GameButton" ? buttons.size() : buttons.size() - (buttons.empty() ? 0 : 1);
    auto key = [&](size_t i) {
      const std::string n = "Button" + std::to_string(i);
      return reader_.KeyName(section, n + "_X/" + n + "_Y");
    };
    auto box = [&](size_t i) {
      const ScreenButton& b = buttons[i];
      return Box{b.Left, b.Top, b.Right, b.Bottom};
    };
    auto group = [&](size_t i) -> int {
      if (section != "GameButton" || i < NewGameYes) return 0;
      return i <= NewGameNo ? 1 : i <= ExitNo ? 2 : 3;
    };
    for (size_t i = 0; i < own; ++i) {
      if (!box(i).Inside(Screen)) Error(key(i) + ": the button " + box(i).Text() + " leaves the 720 x 540 screen");
      if (section == "GameButton" && group(i) == 0 && box(i).Overlaps(Well))
        Error(key(i) + ": the button " + box(i).Text() + " covers the well " + Well.Text());
      for (size_t j = i + 1; j < own; ++j)
        if (group(i) == group(j) && box(i).Overlaps(box(j)))
          Error(key(j) + ": the button " + box(j).Text() + " overlaps button " + std::to_string(i) + " " +
                box(i).Text());
    }
    if (section != "GameButton") return;
    auto onPanel = [&](size_t i, const Surface& panel, const std::string& panelName) {
      if (i >= own || !Loaded(panel)) return;
      const int32_t x = (BackBufferWidth - panel.Width()) / 2, y = (BackBufferHeight - panel.Height()) / 2;
      const Box panelBox{x, y, x + panel.Width(), y + panel.Height()};
      if (!box(i).Inside(panelBox))
        Error(key(i) + ": the button " + box(i).Text() + " is off its panel " + panelName + " " + panelBox.Text());
    };
    onPanel(NewGameYes, skin_.Images.NewGameImages[0], "newgame0.bmp");
    onPanel(NewGameNo, skin_.Images.NewGameImages[0], "newgame0.bmp");
    onPanel(ExitYes, skin_.Images.ExitImages[0], "exit0.bmp");
    onPanel(ExitNo, skin_.Images.ExitImages[0], "exit0.bmp");
    if (own <= ExitNo)
      Error(reader_.KeyName(section, "MaxButton") + " holds " + std::to_string(static_cast<int32_t>(own) - 1) +
            "; the play screen needs buttons 0.." + std::to_string(ExitNo));
  }

  void CheckLayout() {
    for (int32_t i = 0; i < 2; ++i) {
      const std::string n = std::to_string(i);
      const Surface& box = skin_.CheckImages[i];
      const Box drawn{skin_.Layout.CheckX[i], skin_.Layout.CheckY[i], skin_.Layout.CheckX[i] + box.Width(),
                      skin_.Layout.CheckY[i] + box.Height()};
      const Box hit{skin_.Layout.CheckHitLeft[i], skin_.Layout.CheckHitTop[i], skin_.Layout.CheckHitRight[i],
                    skin_.Layout.CheckHitBottom[i]};
      if (!hit.Inside(Screen) || hit.Overlaps(Well))
        Error(reader_.KeyName(MainSettings, "C_CheckX0" + n) + ": the check box's click area " + hit.Text() +
              " must lie on the screen, off the well");
      if (Loaded(box) && !drawn.Inside(hit))
        Warning(reader_.KeyName(MainSettings, "CheckX" + n) + ": the check box " + drawn.Text() +
                " lies outside its click area " + hit.Text());
    }
  }

  void CheckCursors() {
    int32_t top = 0;
    try {
      top = reader_.TableTop(MainSettings, "MaxMouseStyle");
    } catch (const std::exception& error) {
      Error(error.what());
    }
    for (int32_t i = 0; i <= top; ++i) {
      const std::string file = reader_.ImageFileName(std::to_string(i) + ".cur");
      std::optional<std::string> bytes;
      try {
        bytes = SafeFile::ReadWholeFile(file, SafeFile::kCursorLimit);
      } catch (const std::exception& error) {
        Error(error.what());
        continue;
      }
      if (!bytes) {
        Error(file + ": missing or unreadable; the game would show the system's arrow");
        continue;
      }
      try {
        if (!DecodeCursorFile(std::vector<uint8_t>(bytes->begin(), bytes->end())))
          Error(file + ": not a cursor file the game can decode");
      } catch (const std::exception& error) {
        Error(file + ": " + error.what());
      }
    }
  }

  void CheckSounds() {
    const bool opened = !AudioDeviceOpen();
    if (opened) {
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      OpenAudioDevice();
    }
    if (!AudioDeviceOpen()) {
      Warning("no audio driver: the sounds and music were not checked");
      return;
    }
    Step([this] { LoadSounds(reader_, skin_); });
    const std::string sounds = directory_ + "/sounds/";
    for (int32_t i = 0; i < static_cast<int32_t>(skin_.Sounds.size()); ++i)
      if (skin_.Sounds[static_cast<size_t>(i)] == 0)
        Error(sounds + "sound" + std::to_string(i) + ".ogg: missing or not a sound the game can decode");
    if (skin_.Layout.MaxSounds < HighestSoundEffect)
      Warning(reader_.KeyName(MainSettings, "MaxSounds") + " holds " + std::to_string(skin_.Layout.MaxSounds) +
              ": sound effects " + std::to_string(skin_.Layout.MaxSounds + 1) + ".." +
              std::to_string(HighestSoundEffect) + " will be silent");
    CheckTrack(sounds + "titback.ogg");
    for (int32_t m = 0; m < MusicChoices; ++m) CheckTrack(sounds + "back" + std::to_string(m) + ".ogg");
    if (opened) CloseAudioDevice();
  }

  // A track loops when it opens as a music stream and decodes to sound; where its end meets its
  // start, a jump larger than its own loudest neighbouring samples is heard as a click.
  void CheckTrack(const std::string& file) {
    const AudioHandle stream = CreateMusicStream(file);
    const DecodedSound sound = DecodeSoundFile(file);
    if (stream == 0 || sound.Samples.size() < 2) {
      Error(file + ": missing or not a music track the game can loop");
      return;
    }
    StopMusicStream(stream);
    const std::vector<int16_t>& s = sound.Samples;
    const double seconds = static_cast<double>(s.size()) / sound.Rate;
    if (seconds < ShortestPleasantLoop)
      Warning(file + ": repeats every " + std::to_string(seconds).substr(0, 4) + " seconds");
    std::vector<int32_t> steps;
    steps.reserve(s.size());
    for (size_t f = 1; f < s.size(); ++f) steps.push_back(std::abs(s[f] - s[f - 1]));
    const size_t loud = steps.size() * 999 / 1000;
    std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(loud), steps.end());
    const int32_t seam = std::abs(s.front() - s.back());
    if (seam > steps[loud])
      Warning(file + ": clicks where it loops (its end and start differ by " + std::to_string(seam) +
              ", its loud steps by " + std::to_string(steps[loud]) + ")");
  }

  std::string directory_;
  SkinReader reader_;
  Skin skin_;
  SkinReport report_;
};

}  // namespace

SkinReport CheckSkin(const std::string& directory) { return Checker(directory).Run(); }

std::string FormatSkinReport(const std::string& directory, const SkinReport& report) {
  std::string text;
  for (const std::string& e : report.Errors) text += "error: " + e + "\n";
  for (const std::string& w : report.Warnings) text += "warning: " + w + "\n";
  text += directory + ": " + std::to_string(report.Errors.size()) + " errors, " +
          std::to_string(report.Warnings.size()) + " warnings; " +
          (report.Plays() ? "the game can play this skin\n" : "the game would not start with this skin\n");
  return text;
}
