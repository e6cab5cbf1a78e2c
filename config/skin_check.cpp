// SPDX-License-Identifier: MIT
#include "config/skin_check.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "audio/audio.h"
#include "audio/sound_effects.h"
#include "base/locations.h"
#include "base/runtime.h"
#include "config/screen_geometry.h"
#include "config/skin_loaders.h"

namespace {

const std::string MainSettings = "MainSettings";
// The screens a fault can break.
const std::string TitleScreen = "the title screen", StageSelection = "the stage selection",
                  PlayScreen = "the play screen", Menus = "the title screen and the stage selection",
                  LoadingWindow = "the loading window", Effects = "the sound effects", Music = "the music";
// The screens a skin may do without: the game shows them only when their pictures are there.
const std::string HighScoreScreen = "the high-score screen", ControlsPage = "the controls page",
                  NameEntry = "name entry", HelpPage = "the help page";
// The run-time font: 16 x 14 cells of 16 x 22, one a character.
constexpr int32_t FontColumns = 16, FontRows = 14, FontCellWidth = 16, FontCellHeight = 22;
constexpr int32_t NamePanelWidth = 440, NamePanelHeight = 240;
// The play screen's button shown only while the game is paused, under the pause panel; the
// panel sways up to this far either way from the centre.
constexpr size_t PausedControlsButton = 9;
constexpr int32_t PauseSwayX = 28, PauseSwayY = 16;
// The help page's play table: one row an action.
constexpr int32_t HelpPageRows = 7;
// The sound effects the game plays (0 click .. 7 rotate) and the tracks of the music choices.
constexpr int32_t HighestSoundEffect = SoundRotate;
const char* const EffectNames[] = {"a click",     "a step down",     "a landing",       "a stage's start",
                                   "a lost game", "vanishing lines", "a cleared stage", "a turn"};
constexpr int32_t MusicChoices = 5;
// Digits shorter than this are hard to read at the game's size.
constexpr int32_t ReadableDigitHeight = 12;
// A track shorter than this repeats often enough to tire the ear.
constexpr double ShortestPleasantLoop = 10.0;
// Effects last less than this: each sounds at most three times at once, a fourth cuts the
// oldest off, and the steps of a falling pair come every few frames.
constexpr double LongestEffect = 3.0;
// Sounds are mastered to peak at this share of full scale or more: the game never plays one
// louder than it is.
constexpr double QuietestPeak = 0.25;
// The keys that place a check box, each followed by its number.
const char* const CheckKeys[] = {"CheckX", "CheckY", "C_CheckX0", "C_CheckX1", "C_CheckY0", "C_CheckY1"};
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

std::string Plural(size_t n, const std::string& thing) { return std::to_string(n) + " " + thing + (n == 1 ? "" : "s"); }

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", seconds);
  return text;
}

class Checker {
 public:
  explicit Checker(const std::string& directory) : directory_(directory), reader_(directory) {}

  SkinReport Run() {
    // The folder the command line chose says how it was chosen; any other stands alone.
    Locations::Folders folders;
    if (Locations::Current().Skin == directory_) folders = Locations::Current();
    folders.Skin = directory_;
    if (const std::string fault = Locations::SkinFolderFault(folders); !fault.empty()) {
      Fatal(fault);
      return report_;
    }
    std::vector<std::string>& faults = readerFaults_;
    reader_.CollectFaults(&faults);
    Step([this] { LoadTexts(reader_, skin_); });
    Step([this] { LoadCursors(reader_, skin_); });
    Step([this] { LoadButtonImages(reader_, skin_); });
    Step([this] { LoadLayout(reader_, skin_); });
    Step([this] { LoadGameImages(reader_, skin_.Images); });
    std::vector<ScreenButton> title, stageSelect;
    Step([&] { title = LoadScreenButtons(reader_, skin_, "TitleButton"); });
    CheckButtons("TitleButton", title, TitleScreen);
    Step([&] { stageSelect = LoadScreenButtons(reader_, skin_, "SelectStageButton"); });
    CheckButtons("SelectStageButton", stageSelect, StageSelection);
    std::vector<ScreenButton> play;
    Step([&] { play = LoadScreenButtons(reader_, skin_, "GameButton"); });
    CheckButtons("GameButton", play, PlayScreen);
    for (const auto& [section, screen] :
         {std::pair{"HiScoreButton", HighScoreScreen}, std::pair{"ControlsButton", ControlsPage}}) {
      if (reader_.MainIni().Read(section, "MaxButton").empty()) continue;  // checked with its screen
      const std::string name = section;  // a lambda may not capture a structured binding everywhere
      std::vector<ScreenButton> buttons;
      Step([&] { buttons = LoadScreenButtons(reader_, skin_, name); });
      CheckButtons(name, buttons, screen);
    }
    // The fatal rules are the game's own (config/skin_rules.h): nothing else here is fatal
    // but what the loaders refuse.
    Add(StartButtonFaults(reader_, title, stageSelect));
    Add(PieceSheetFaults(reader_, skin_));
    const std::vector<Sprite> sprites = SkinSprites(skin_);
    for (size_t i = 3; i < sprites.size(); ++i) Add(SpriteFaults(reader_, sprites[i]));  // 0..2: the pieces
    CheckImagesDir();
    CheckTexts();
    CheckCursors();
    CheckSounds();
    CheckSheets();
    CheckButtonLooks();
    CheckLayout();
    CheckOptionalScreens();
    // A picture two loaders read is told once.
    for (const std::string& fault : faults) {
      const std::vector<std::string> told = report_.Texts(FaultLevel::Fatal);
      if (std::find(told.begin(), told.end(), fault) == told.end()) Fatal(fault);
    }
    return report_;
  }

 private:
  template <typename Loader>
  void Step(Loader&& loader) {
    try {
      loader();
    } catch (const std::exception& error) {
      Fatal(error.what());
    }
  }

  // True when the reader told a fault of the key (it then reads as 0): what follows from that
  // 0 is not told again.
  bool KeyAtFault(const std::string& section, const std::string& key) const {
    const std::string name = reader_.KeyName(section, key) + " ";
    return std::any_of(readerFaults_.begin(), readerFaults_.end(),
                       [&](const std::string& fault) { return fault.find(name) != std::string::npos; });
  }

  void Fatal(const std::string& text) { report_.Faults.push_back({FaultLevel::Fatal, "", text}); }
  void Error(const std::string& where, const std::string& text) {
    report_.Faults.push_back({FaultLevel::Error, where, text});
  }
  void Warning(const std::string& text) { report_.Faults.push_back({FaultLevel::Warning, "", text}); }
  void Add(const std::vector<SkinFault>& faults) {
    report_.Faults.insert(report_.Faults.end(), faults.begin(), faults.end());
  }

  static std::string Size(const Surface& s) { return std::to_string(s.Width()) + " x " + std::to_string(s.Height()); }

  // A sheet the drawing cuts into columns x rows cells of at least minW x minH; cells a multiple
  // of 4 wide, since masked copies work in groups of four pixels.
  void Sheet(const Surface& picture, const std::string& name, const std::string& where, int32_t columns, int32_t rows,
             int32_t minW, int32_t minH) {
    if (!Loaded(picture)) return;
    const std::string file = reader_.ImageFileName(name);
    const std::string cut = std::to_string(columns) + " x " + std::to_string(rows) + " cells";
    if (picture.Width() % columns != 0 || picture.Height() % rows != 0) {
      Error(where, file + ": " + Size(picture) + " does not divide into " + cut);
      return;
    }
    const int32_t w = picture.Width() / columns, h = picture.Height() / rows;
    if (w % 4 != 0)
      Error(where, file + ": cells " + std::to_string(w) + " pixels wide; they must be a multiple of 4, or the game " +
                       "leaves out the last " + Plural(static_cast<size_t>(w % 4), "column") + " of each");
    if (w < minW || h < minH)
      Error(where, file + ": cells of " + std::to_string(w) + " x " + std::to_string(h) + " are smaller than " +
                       std::to_string(minW) + " x " + std::to_string(minH));
  }

  void ExactSize(const Surface& picture, const std::string& name, const std::string& where, int32_t w, int32_t h,
                 const std::string& consequence = "") {
    if (Loaded(picture) && (picture.Width() != w || picture.Height() != h))
      Error(where, reader_.ImageFileName(name) + ": " + Size(picture) + "; the game draws it " + std::to_string(w) +
                       " x " + std::to_string(h) + consequence);
  }

  void Digits(const Surface& strip, const std::string& name, const std::string& where, int32_t advance) {
    Sheet(strip, name, where, 1, 10, 4, 4);
    if (!Loaded(strip)) return;
    if (strip.Width() > advance)
      Warning(reader_.ImageFileName(name) + ": digits " + std::to_string(strip.Width()) +
              " pixels wide overlap; the game sets them " + std::to_string(advance) + " apart");
    if (strip.Height() / 10 < ReadableDigitHeight)
      Warning(reader_.ImageFileName(name) + ": digits " + std::to_string(strip.Height() / 10) +
              " pixels tall are hard to read; " + std::to_string(ReadableDigitHeight) + " or more is the rule");
  }

  void CheckSheets() {
    const ImageCatalogue& images = skin_.Images;
    for (int32_t k = 0; k < 3; ++k)
      Sheet(images.TargetCharImages[k], "sb" + std::to_string(k) + ".bmp", PlayScreen, 12, 4, 4, 4);
    // The next pair sits in the figure's cell, 16 right and 96 down.
    Sheet(images.AngelImages[0], "angel0.bmp", "the title, the stage selection and the play screen", 6, 4,
          16 + 2 * BoardCellSize, 96 + BoardCellSize);
    Sheet(images.DiffImages[0], "diff0.bmp", PlayScreen, 1, 3, 4, 4);
    ExactSize(
        images.SelDiffImages[0], "slediff0.bmp", StageSelection, DifficultyButtonSize, 3 * DifficultyButtonSize,
        ": 1 x 3 cells of " + std::to_string(DifficultyButtonSize) + " x " + std::to_string(DifficultyButtonSize));
    for (int32_t i = 0; i < 2; ++i)
      ExactSize(images.SelMusicImages[i], "selmus" + std::to_string(i) + ".bmp", StageSelection, MusicButtonWidth,
                MusicChoices * MusicButtonHeight,
                ": 1 x 5 cells of " + std::to_string(MusicButtonWidth) + " x " + std::to_string(MusicButtonHeight));
    ExactSize(images.SelMusicImages[2], "selmus2.bmp", StageSelection, MusicButtonWidth,
              MusicChoices * MusicButtonHeight);
    struct Single {
      const Surface& picture;
      const char* name;
      const std::string& where;
    };
    for (const Single& s : {Single{images.TitleLogoImages[0], "tit_logo0.bmp", TitleScreen},
                            Single{images.PauseImages[0], "pause0.bmp", PlayScreen},
                            Single{images.GameOverImages[0], "gameover0.bmp", PlayScreen},
                            Single{images.NextStageImages[0], "nextstage0.bmp", PlayScreen},
                            Single{images.ExitImages[0], "exit0.bmp", PlayScreen},
                            Single{images.NewGameImages[0], "newgame0.bmp", PlayScreen},
                            Single{images.SelBackImages[0], "selbk0.bmp", StageSelection},
                            Single{images.SelPointImages[0], "selpoint0.bmp", StageSelection}})
      Sheet(s.picture, s.name, s.where, 1, 1, 4, 4);
    for (int32_t i = 0; i < 2; ++i)
      Sheet(skin_.CheckImages[i], "check" + std::to_string(i) + ".bmp", PlayScreen, 1, 1, 4, 4);
    Digits(images.TimeNumImages[0], "timenum0.bmp", PlayScreen, 20);
    Digits(skin_.ScoreImages[0], "score0.bmp", PlayScreen, 20);
    Digits(skin_.StageImages[0], "stage0.bmp", "the play screen and the stage selection", 26);
    // Score pop-ups: rows of 17 pixels for the ten digits and the sign.
    const Surface& popups = skin_.MoveNumImages[0];
    if (Loaded(popups) && (popups.Height() < 11 * 17 || popups.Width() % 4 != 0))
      Error(PlayScreen, reader_.ImageFileName("movenum0.bmp") + ": " + Size(popups) +
                            "; it needs 11 rows of 17 pixels and a width that is a multiple of 4");
    if (Loaded(skin_.VolumeImage) && skin_.VolumeImage.Width() < 52)
      Error(PlayScreen, reader_.ImageFileName("volume.bmp") + ": " + std::to_string(skin_.VolumeImage.Width()) +
                            " pixels wide; the loudest level shows 52");
    const Surface& help = images.HelpImage;
    if (Loaded(help) && (help.Width() != BoardRight - BoardLeft || help.Height() != BoardBottom - BoardTop))
      ExactSize(help, "help.bmp", PlayScreen, BoardRight - BoardLeft, BoardBottom - BoardTop,
                help.Width() < BoardRight - BoardLeft || help.Height() < BoardBottom - BoardTop
                    ? " over the well: the pieces would show beside the help page"
                    : " over the well: the help page would cover what lies beside the well");
    const Surface& background = images.BackgroundImage;
    if (Loaded(background) && (background.Width() > LogicalWidth || background.Height() > LogicalHeight) &&
        background.Width() >= LogicalWidth && background.Height() >= LogicalHeight)
      Warning(reader_.ImageFileName("background.bmp") + ": " + Size(background) +
              "; the game draws only its top-left 720 x 540");
    else
      ExactSize(background, "background.bmp", PlayScreen, LogicalWidth, LogicalHeight,
                ": a plain dark fill shows where it falls short");
    const Surface& tile = images.TitleBackImage;
    ExactSize(tile, "tit_bk.bmp", Menus, LogicalWidth, LogicalHeight,
              tile.Width() < LogicalWidth || tile.Height() < LogicalHeight
                  ? ": it scrolls as a tile of that size, so the screen would show smeared streaks where it falls "
                    "short"
                  : ": it scrolls as a tile of that size, so its copies would overlap and jump");
    // The loading window's picture and progress strip, read by the loading window itself.
    Surface loading, strip;
    reader_.ReadImage(loading, "loading.bmp");
    reader_.ReadImage(strip, "plan.bmp");
    ExactSize(loading, "loading.bmp", LoadingWindow, 200, 149);
    if (Loaded(strip) && (strip.Width() < 198 || strip.Height() < 10))
      Error(LoadingWindow,
            reader_.ImageFileName("plan.bmp") + ": " + Size(strip) + "; the progress strip needs 198 x 10");
  }

  // The screens whose sections place button image `image`.
  std::string ButtonScreens(int32_t image) {
    std::string screens;
    for (const auto& [section, screen] :
         {std::pair{"TitleButton", TitleScreen}, std::pair{"SelectStageButton", StageSelection},
          std::pair{"GameButton", PlayScreen}, std::pair{"HiScoreButton", HighScoreScreen},
          std::pair{"ControlsButton", ControlsPage}}) {
      for (int32_t i = 0; i <= MaxTableIndex; ++i) {
        const std::string value = reader_.MainIni().Read(section, "Button" + std::to_string(i));
        if (value.empty()) break;
        if (IsNumeric(value) && TextToInt(value) == image) {
          screens += (screens.empty() ? "" : " and ") + screen;
          break;
        }
      }
    }
    return screens;
  }

  void CheckButtonLooks() {
    for (int32_t i = 0; i < skin_.Layout.ButtonImageCount && i < static_cast<int32_t>(skin_.ButtonImages.size()); ++i) {
      const auto& layers = skin_.ButtonImages[static_cast<size_t>(i)];
      const std::string n = std::to_string(i);
      const int32_t kind = skin_.Layout.ButtonImageKind[static_cast<size_t>(i)];
      if (kind == ButtonKindPlain) continue;
      const std::string where = ButtonScreens(i);
      if (where.empty()) continue;  // placed on no screen: never drawn
      auto look = [&](const Surface& picture, const Surface& mask, const std::string& pictureName,
                      const std::string& maskName, const std::string& what) {
        Sprite sprite(picture, mask, pictureName, maskName, what, where, picture.Width(), picture.Height(), {{0, 0}});
        sprite.Vital = sprite.Cells;
        sprite.VitalWhat = what;
        Add(SpriteFaults(reader_, sprite));
      };
      look(layers[0], layers[1], "but" + n + ".bmp", "butm" + n + ".bmp", "button image " + n);
      Sheet(layers[0], "but" + n + ".bmp", where, 1, 1, 4, 4);
      if (kind == ButtonKindNormalAndHighlight) {
        look(layers[2], layers[3], "butc" + n + ".bmp", "butcm" + n + ".bmp", "button image " + n + " when lit");
        if (Loaded(layers[0]) && Loaded(layers[2]) &&
            (layers[0].Width() != layers[2].Width() || layers[0].Height() != layers[2].Height()))
          Error(where, reader_.ImageFileName("butc" + n + ".bmp") + ": " + Size(layers[2]) + ", but but" + n +
                           ".bmp is " + Size(layers[0]) + "; the lit look is drawn over the same box");
      }
    }
  }

  // The buttons a screen shows together stay on screen and apart; on the play screen the ones
  // always shown keep off the well, each confirmation panel's yes and no lie on that panel, and
  // the button shown while paused keeps clear of the swaying pause panel.
  void CheckButtons(const std::string& section, const std::vector<ScreenButton>& buttons, const std::string& where) {
    // The title and the stage selection end with the advertisement.
    const bool advertised = section == "TitleButton" || section == "SelectStageButton";
    const size_t own = advertised && !buttons.empty() ? buttons.size() - 1 : buttons.size();
    auto key = [&](size_t i) {
      const std::string n = "Button" + std::to_string(i);
      return reader_.KeyName(section, n + "_X/" + n + "_Y");
    };
    auto box = [&](size_t i) {
      const ScreenButton& b = buttons[i];
      return Box{b.Left, b.Top, b.Right, b.Bottom};
    };
    auto group = [&](size_t i) -> int {
      if (section != "GameButton" || i < NewGameYes || i > ExitNo) return 0;
      return i <= NewGameNo ? 1 : 2;
    };
    auto placed = [&](size_t i) {
      const std::string n = "Button" + std::to_string(i);
      return !KeyAtFault(section, n) && !KeyAtFault(section, n + "_X") && !KeyAtFault(section, n + "_Y");
    };
    for (size_t i = 0; i < own; ++i) {
      if (!placed(i)) continue;
      // A start button wholly off the screen is fatal (StartButtonFaults).
      const bool startButton = i == 0 && section != "GameButton";
      if (!box(i).Inside(Screen) && !(startButton && !box(i).Overlaps(Screen)))
        Error(where, key(i) + ": the button " + box(i).Text() + " leaves the 720 x 540 screen");
      if (section == "GameButton" && group(i) == 0 && i != PausedControlsButton && box(i).Overlaps(Well))
        Error(where, key(i) + ": the button " + box(i).Text() + " covers the well " + Well.Text());
      for (size_t j = i + 1; j < own; ++j)
        if (placed(j) && group(i) == group(j) && box(i).Overlaps(box(j)))
          Error(where, key(j) + ": the button " + box(j).Text() + " overlaps button " + std::to_string(i) + " " +
                           box(i).Text() + "; both are drawn there, and a click there presses button " +
                           std::to_string(i));
    }
    if (section != "GameButton") return;
    auto onPanel = [&](size_t i, const Surface& panel, const std::string& panelName) {
      if (i >= own || !placed(i) || !Loaded(panel)) return;
      const int32_t x = (BackBufferWidth - panel.Width()) / 2, y = (BackBufferHeight - panel.Height()) / 2;
      const Box panelBox{x, y, x + panel.Width(), y + panel.Height()};
      if (!box(i).Inside(panelBox))
        Error(where,
              key(i) + ": the button " + box(i).Text() + " is off its panel " + panelName + " " + panelBox.Text());
    };
    onPanel(NewGameYes, skin_.Images.NewGameImages[0], "newgame0.bmp");
    onPanel(NewGameNo, skin_.Images.NewGameImages[0], "newgame0.bmp");
    onPanel(ExitYes, skin_.Images.ExitImages[0], "exit0.bmp");
    onPanel(ExitNo, skin_.Images.ExitImages[0], "exit0.bmp");
    const Surface& pause = skin_.Images.PauseImages[0];
    if (PausedControlsButton < own && placed(PausedControlsButton) && Loaded(pause)) {
      const int32_t x = (BackBufferWidth - pause.Width()) / 2, y = (BackBufferHeight - pause.Height()) / 2;
      const Box swept{x - PauseSwayX, y - PauseSwayY, x + pause.Width() + PauseSwayX, y + pause.Height() + PauseSwayY};
      if (box(PausedControlsButton).Overlaps(swept))
        Error(where, key(PausedControlsButton) + ": the button " + box(PausedControlsButton).Text() +
                         " lies where the pause panel sways " + swept.Text() + ", which would cover it");
    }
    if (!buttons.empty() && own <= ExitNo && !KeyAtFault(section, "MaxButton"))
      Error(where, reader_.KeyName(section, "MaxButton") + " holds " + std::to_string(static_cast<int32_t>(own) - 1) +
                       "; the play screen needs buttons 0.." + std::to_string(ExitNo) +
                       ": the questions of buttons 0 and 3 would have no yes and no to click");
  }

  enum class Extra { Usable, Missing, Faulty };

  // A picture (and its mask, when `maskName` is given) of a screen the game can do without:
  // read when its file is there, held to its size.
  Extra ReadExtra(Surface& picture, Surface& mask, const std::string& name, const std::string& maskName,
                  const std::string& what, const std::string& where, int32_t w, int32_t h,
                  const std::string& cut = "") {
    auto read = [&](Surface& surface, const std::string& file) {
      if (!reader_.ImageFileExists(file)) return Extra::Missing;
      try {
        if (surface.Read(reader_.ImageFileName(file))) return Extra::Usable;
        Error(where, reader_.ImageFileName(file) + ": not a picture the game can read");
      } catch (const RuntimeError& error) {
        Error(where, error.what());
      }
      return Extra::Faulty;
    };
    Extra state = read(picture, name);
    if (state == Extra::Usable && !maskName.empty()) state = read(mask, maskName);
    if (state != Extra::Usable) return state;
    if (picture.Width() != w || picture.Height() != h) {
      ExactSize(picture, name, where, w, h, cut);
      return Extra::Faulty;
    }
    if (maskName.empty()) return state;
    // The game draws these only when they are right, so nothing of them stops it.
    Sprite sprite(picture, mask, name, maskName, what, where, w, h, {{0, 0}});
    for (SkinFault fault : SpriteFaults(reader_, sprite)) {
      if (fault.Level == FaultLevel::Fatal) {
        fault.Level = FaultLevel::Error;
        fault.Where = where;
        state = Extra::Faulty;
      }
      report_.Faults.push_back(fault);
    }
    return state;
  }

  // The screens that write with the run-time font: each is shown only when its pictures and the
  // font are there; what is missing is named with what the player goes without.
  void CheckOptionalScreens() {
    Surface font, fontMask, scores, keys, unused, panel, panelMask;
    const std::string fontCut = ": " + std::to_string(FontColumns) + " x " + std::to_string(FontRows) + " cells of " +
                                std::to_string(FontCellWidth) + " x " + std::to_string(FontCellHeight);
    const Extra fontState =
        ReadExtra(font, fontMask, "font0.bmp", "font1.bmp", "the font", "the screens that write with the font",
                  FontColumns * FontCellWidth, FontRows * FontCellHeight, fontCut);
    const Extra scoresState =
        ReadExtra(scores, unused, "scores_bk.bmp", "", "", HighScoreScreen, LogicalWidth, LogicalHeight);
    const Extra keysState = ReadExtra(keys, unused, "keys_bk.bmp", "", "", ControlsPage, LogicalWidth, LogicalHeight);
    const Extra panelState = ReadExtra(panel, panelMask, "namepanel0.bmp", "namepanel1.bmp", "the name-entry panel",
                                       NameEntry, NamePanelWidth, NamePanelHeight);
    auto without = [&](std::vector<std::pair<Extra, std::string>> parts, const std::string& loss) {
      std::string missing;
      for (const auto& [state, name] : parts) {
        if (state == Extra::Faulty) return;  // told already, with what it breaks
        if (state == Extra::Missing) missing += (missing.empty() ? "" : " and ") + reader_.ImageFileName(name);
      }
      if (!missing.empty())
        Warning(missing + (missing.find(" and ") == std::string::npos ? " is" : " are") + " missing: " + loss);
    };
    without({{scoresState, "scores_bk.bmp"}, {fontState, "font0.bmp"}},
            "there is no high-score screen; the title's Button2 and the stage selection's Button1 are not shown");
    without({{keysState, "keys_bk.bmp"}, {fontState, "font0.bmp"}},
            "there is no controls page; the title's Button3 and the play screen's Button9 are not shown, and keys "
            "cannot be rebound");
    without({{panelState, "namepanel0.bmp"}, {fontState, "font0.bmp"}},
            "nobody is asked for a name; a new record takes the last name entered (or Texts(0))");
    if (scoresState == Extra::Usable && reader_.MainIni().Read("HiScoreButton", "MaxButton").empty())
      Warning(reader_.KeyName("HiScoreButton", "MaxButton") +
              " is missing: the high-score screen has no Back button; only Escape leaves it");
    if (keysState == Extra::Usable && reader_.MainIni().Read("ControlsButton", "MaxButton").empty())
      Warning(reader_.KeyName("ControlsButton", "MaxButton") +
              " is missing: the controls page has no Back button; only Escape leaves it");
    CheckHelpPageWells(fontState);
  }

  // [HelpPage] places the help page's wells, where the game writes the key and pad button of
  // each action: KeyX, KeyWidth, PadX and PadWidth across the page, Row0Y..Row6Y the top of each
  // row's text, which takes a font cell's height.
  void CheckHelpPageWells(Extra fontState) {
    const std::string section = "HelpPage";
    std::vector<std::string> keys = {"KeyX", "KeyWidth", "PadX", "PadWidth"};
    for (int32_t r = 0; r < HelpPageRows; ++r) keys.push_back("Row" + std::to_string(r) + "Y");
    std::map<std::string, int64_t> value;  // 64 bits: a sum of two keys stays exact
    bool whole = true;
    size_t present = 0;
    for (const std::string& key : keys) {
      const std::string text = reader_.MainIni().Read(section, key);
      if (text.empty()) continue;
      ++present;
      if (IsNumeric(text)) {
        value[key] = TextToInt(text);
        continue;
      }
      whole = false;
      Error(HelpPage, reader_.KeyName(section, key) + " holds \"" + text +
                          "\": not a number; the help page shows "
                          "no key bindings");
    }
    if (present == 0) {
      if (fontState != Extra::Missing)
        Warning(reader_.KeyName(section, "KeyX") +
                " is missing (the whole section is): the help page shows no key bindings");
      return;
    }
    for (const std::string& key : keys)
      if (reader_.MainIni().Read(section, key).empty()) {
        whole = false;
        Error(HelpPage, reader_.KeyName(section, key) + " is missing: the help page shows no key bindings");
      }
    const Surface& page = skin_.Images.HelpImage;
    if (!whole || !Loaded(page)) return;
    const std::string outside = " outside help.bmp (" + Size(page) + "): the help page shows no key bindings";
    for (const char* column : {"Key", "Pad"}) {
      const int64_t x = value[std::string(column) + "X"], w = value[std::string(column) + "Width"];
      if (x < 0 || w <= 0 || x + w > page.Width())
        Error(HelpPage, reader_.KeyName(section, std::string(column) + "X/" + column + "Width") + ": the wells x " +
                            std::to_string(x) + ".." + std::to_string(x + w) + " lie" + outside);
    }
    for (int32_t r = 0; r < HelpPageRows; ++r) {
      const std::string key = "Row" + std::to_string(r) + "Y";
      if (value[key] < 0 || value[key] + FontCellHeight > page.Height())
        Error(HelpPage, reader_.KeyName(section, key) + ": a row of text at y " + std::to_string(value[key]) + ".." +
                            std::to_string(value[key] + FontCellHeight) + " lies" + outside);
    }
    const int64_t keyX = value["KeyX"], padX = value["PadX"];
    if (keyX < padX + value["PadWidth"] && padX < keyX + value["KeyWidth"])
      Error(HelpPage, reader_.KeyName(section, "PadX") +
                          ": the pad wells overlap the key wells; the bindings "
                          "would be written over each other");
  }

  void CheckLayout() {
    for (int32_t i = 0; i < 2; ++i) {
      const std::string n = std::to_string(i);
      if (std::any_of(std::begin(CheckKeys), std::end(CheckKeys),
                      [&](const char* key) { return KeyAtFault(MainSettings, key + n); }))
        continue;
      const Surface& box = skin_.CheckImages[i];
      const Box drawn{skin_.Layout.CheckX[i], skin_.Layout.CheckY[i], skin_.Layout.CheckX[i] + box.Width(),
                      skin_.Layout.CheckY[i] + box.Height()};
      const Box hit{skin_.Layout.CheckHitLeft[i], skin_.Layout.CheckHitTop[i], skin_.Layout.CheckHitRight[i],
                    skin_.Layout.CheckHitBottom[i]};
      if (!hit.Inside(Screen) || hit.Overlaps(Well))
        Error(PlayScreen, reader_.KeyName(MainSettings, "C_CheckX0" + n) + ": the check box's click area " +
                              hit.Text() + " must lie on the screen, off the well");
      if (Loaded(box) && !drawn.Inside(hit))
        Warning(reader_.KeyName(MainSettings, "CheckX" + n) + ": the check box " + drawn.Text() +
                " lies outside its click area " + hit.Text());
    }
  }

  // ImagesDir is joined to the skin folder as it is.
  void CheckImagesDir() {
    const std::string value = reader_.MainIni().Read(MainSettings, "ImagesDir");
    auto separator = [](char c) { return c == '/' || c == '\\'; };
    if (value.empty() || !separator(value.front()) || !separator(value.back()))
      Warning(reader_.KeyName(MainSettings, "ImagesDir") + " holds \"" + value +
              "\": it is joined to the skin folder " +
              "as it is, so it starts and ends with / (the pictures are looked for as " + reader_.ImageFileName("") +
              "...)");
  }

  void CheckTexts() {
    const std::vector<std::string>& texts = skin_.Layout.Texts;
    if (texts.empty() || KeyAtFault(MainSettings, "MaxTexts")) return;
    if (texts[0].find_first_not_of(" \t") == std::string::npos)
      Warning(reader_.KeyName("Texts", "Text0") +
              " is blank: the window would have no title and the high-score table no name to offer");
    if (texts.size() < 3) {
      Warning(reader_.KeyName(MainSettings, "MaxTexts") + " holds " + std::to_string(texts.size() - 1) +
              ": the play screen's web button opens Text1 or Text2, and would fail");
      return;
    }
    for (int32_t i = 1; i <= 2; ++i) {
      const std::string& address = texts[static_cast<size_t>(i)];
      std::string scheme = address.substr(0, address.find(':') + 1);
      std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
      if (!address.empty() && scheme != "http:" && scheme != "https:")
        Warning(reader_.KeyName("Texts", "Text" + std::to_string(i)) + " holds \"" + address +
                "\": the game opens only http: and https: addresses");
    }
  }

  void CheckCursors() {
    // Styles 0 (the pointer), 1 (over a control) and 2 (over a volume bar).
    constexpr size_t StylesShown = 3;
    if (!skin_.Cursors.empty() && skin_.Cursors.size() < StylesShown && !KeyAtFault(MainSettings, "MaxMouseStyle"))
      Warning(reader_.KeyName(MainSettings, "MaxMouseStyle") + " holds " + std::to_string(skin_.Cursors.size() - 1) +
              ": the cursors over controls and volume bars would be the system's arrow");
    for (size_t i = 0; i < skin_.Cursors.size(); ++i) {
      if (skin_.Cursors[i]) continue;
      const std::string file = reader_.ImageFileName(std::to_string(i) + ".cur");
      std::error_code error;
      Warning(file + (std::filesystem::exists(file, error) ? ": not a cursor file the game can decode" : ": missing") +
              "; the game would show the system's arrow instead");
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
    for (int32_t i = 0; i < static_cast<int32_t>(skin_.Sounds.size()); ++i) {
      const std::string file = sounds + "sound" + std::to_string(i) + ".ogg";
      const std::string effect = i <= HighestSoundEffect ? EffectNames[i] : "nothing; the game never plays it";
      if (skin_.Sounds[static_cast<size_t>(i)] == 0) {
        Error(Effects, file + ": missing or not a sound the game can decode; " +
                           (i <= HighestSoundEffect ? effect + " would be silent" : effect));
        continue;
      }
      const DecodedSound sound = DecodeSoundFile(file);
      if (sound.Samples.empty()) continue;
      const double seconds = static_cast<double>(sound.Samples.size()) / sound.Rate;
      if (seconds >= LongestEffect)
        Warning(file + ": lasts " + Seconds(seconds) + " seconds; effects last under " + Seconds(LongestEffect) +
                ", as each sounds at most three times at once and a fourth cuts the oldest off");
      CheckLoudness(file, sound);
    }
    if (skin_.Layout.MaxSounds < HighestSoundEffect)
      Warning(reader_.KeyName(MainSettings, "MaxSounds") + " holds " + std::to_string(skin_.Layout.MaxSounds) +
              ": sound effects " + std::to_string(skin_.Layout.MaxSounds + 1) + ".." +
              std::to_string(HighestSoundEffect) + " will be silent");
    CheckTrack(sounds + "titback.ogg", "the title screen");
    for (int32_t m = 0; m < MusicChoices; ++m)
      CheckTrack(sounds + "back" + std::to_string(m) + ".ogg", "music choice " + std::to_string(m));
    if (opened) CloseAudioDevice();
  }

  void CheckLoudness(const std::string& file, const DecodedSound& sound) {
    int32_t peak = 0;
    for (int16_t s : sound.Samples) peak = std::max(peak, std::abs(static_cast<int32_t>(s)));
    const double share = peak / 32768.0;
    if (share < QuietestPeak)
      Warning(file + ": peaks at " + std::to_string(static_cast<int>(share * 100 + 0.5)) +
              "% of full scale; master sounds to peak at " + std::to_string(static_cast<int>(QuietestPeak * 100)) +
              "% or more, as the game never plays one louder than it is");
  }

  // A track loops when it opens as a music stream and decodes to sound; where its end meets its
  // start, a jump larger than its own loudest neighbouring samples is heard as a click.
  void CheckTrack(const std::string& file, const std::string& use) {
    const AudioHandle stream = CreateMusicStream(file);
    const DecodedSound sound = DecodeSoundFile(file);
    if (stream == 0 || sound.Samples.size() < 2) {
      Error(Music, file + ": missing or not a music track the game can loop; " + use + " would be silent");
      return;
    }
    StopMusicStream(stream);
    const std::vector<int16_t>& s = sound.Samples;
    const double seconds = static_cast<double>(s.size()) / sound.Rate;
    if (seconds < ShortestPleasantLoop)
      Warning(file + ": repeats every " + Seconds(seconds) + " seconds; tracks last " + Seconds(ShortestPleasantLoop) +
              " or more");
    CheckLoudness(file, sound);
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
  std::vector<std::string> readerFaults_;
  SkinReader reader_;
  Skin skin_;
  SkinReport report_;
};

}  // namespace

std::vector<std::string> SkinReport::Texts(FaultLevel level) const {
  std::vector<std::string> texts;
  for (const SkinFault& fault : Faults)
    if (fault.Level == level) texts.push_back(fault.Text);
  return texts;
}

bool SkinReport::Plays() const {
  return std::none_of(Faults.begin(), Faults.end(), [](const SkinFault& f) { return f.Level == FaultLevel::Fatal; });
}

SkinReport CheckSkin(const std::string& directory) { return Checker(directory).Run(); }

std::string FormatSkinReport(const std::string& directory, const SkinReport& report) {
  std::string text;
  std::vector<std::string> screens;
  size_t count[3] = {};
  for (FaultLevel level : {FaultLevel::Fatal, FaultLevel::Error, FaultLevel::Warning}) {
    for (const SkinFault& fault : report.Faults) {
      if (fault.Level != level) continue;
      ++count[static_cast<int>(level)];
      if (level == FaultLevel::Fatal) {
        text += "fatal: " + fault.Text + "\n";
      } else if (level == FaultLevel::Error) {
        text += "error (" + fault.Where + "): " + fault.Text + "\n";
        if (std::find(screens.begin(), screens.end(), fault.Where) == screens.end()) screens.push_back(fault.Where);
      } else {
        text += "warning: " + fault.Text + "\n";
      }
    }
  }
  text += directory + ": ";
  if (count[0] > 0) text += Plural(count[0], "fatal fault") + ", ";
  text += Plural(count[1], "error") + ", " + Plural(count[2], "warning") + "; ";
  if (count[0] > 0) return text + "the game would not start with this skin\n";
  if (screens.empty()) return text + "the game can play this skin\n";
  std::string list;
  for (size_t i = 0; i < screens.size(); ++i)
    list += (i == 0 ? "" : i + 1 == screens.size() ? " and " : ", ") + screens[i];
  return text + "the game starts, but with faults in " + list + "\n";
}
