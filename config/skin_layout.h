// SPDX-License-Identifier: MIT
// What a skin's main.ini says that the rules read: the buttons of each screen, the play
// screen's check boxes and volume bars, the texts and the advertisement's address. Plain data,
// filled by the loaders (config/skin_loaders.h); the pictures are in config/skin.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One button of the screen now shown, as LoadScreenButtons places it from main.ini.
struct ScreenButton {
  int32_t Image = 0;  // button image number
  int32_t Left = 0;
  int32_t Alpha = 0;  // highlight level 0..32
  int32_t Right = 0;  // exclusive
  int32_t Top = 0;
  int32_t Bottom = 0;  // exclusive
  int32_t State = -1;  // ButtonShown, ButtonHidden or ButtonAbsent
};
constexpr int32_t ButtonShown = -1;
constexpr int32_t ButtonHidden = 0;
// A button of a screen the skin has no pictures for: never shown, never pressed.
constexpr int32_t ButtonAbsent = 1;

// The buttons of each screen by their index in main.ini's sections.
// The advertisement's entry follows each section's own buttons, as the last button of the
// title and of the stage selection.
namespace TitleButton {  // [TitleButton]
constexpr int32_t Start = 0, Quit = 1, HiScores = 2, Controls = 3;
}
namespace StageSelectButton {  // [SelectStageButton]
constexpr int32_t Start = 0, HiScores = 1;
}
namespace PlayButton {  // [GameButton]; 5 to 8 answer the two confirmation panels, 9 shows while paused
constexpr int32_t NewGame = 0, Pause = 1, Help = 2, Exit = 3, Web = 4;
constexpr int32_t NewGameYes = 5, NewGameNo = 6, ExitYes = 7, ExitNo = 8, Controls = 9;
}  // namespace PlayButton
namespace HiScoreButton {  // [HiScoreButton]
constexpr int32_t Back = 0;
}
namespace ControlsButton {  // [ControlsButton]
constexpr int32_t Back = 0, Defaults = 1;
}

// How a button image is drawn: its normal picture and its highlighted one crossing over
// (butc<i>.bmp and butcm<i>.bmp exist), its picture through its mask (butm<i>.bmp only), or
// its picture blended as it is.
enum ButtonKind : int32_t {
  ButtonKindNormalAndHighlight = 0,
  ButtonKindMasked = 1,
  ButtonKindPlain = 2,
};

struct SkinLayout {
  std::string MainIni;             // the path of the main.ini it came from, for messages
  std::vector<std::string> Texts;  // Texts(0 To MaxTexts)
  // The button images: how many main.ini announces (MaxButton + 1), the kind of each and of
  // the advertisement after them, and the level an unlit masked or plain button rests at.
  int32_t ButtonImageCount = 0;
  std::vector<int32_t> ButtonImageKind;
  int32_t ButtonMinAlpha = 0;
  std::string AdUrl;
  std::string AdUrlKey;  // the ADPIC key AdUrl was read from
  // The music (0) and effects (1) check boxes: where each is drawn and the area a click toggles.
  int32_t CheckX[2] = {}, CheckY[2] = {};
  int32_t CheckHitLeft[2] = {}, CheckHitRight[2] = {}, CheckHitTop[2] = {}, CheckHitBottom[2] = {};
  // The two volume bars: their top-left corners, and the size of volume.bmp, which a click
  // on a bar falls within.
  int32_t VolX[2] = {}, VolY[2] = {};
  int32_t VolumeWidth = 0, VolumeHeight = 0;
  int32_t ShowStageX = 0, ShowStageY = 0, ShowScoreX = 0, ShowScoreY = 0;
  int32_t MaxSounds = 0, MaxBackMusic = 0;
  // The screens a skin may lack: each needs its pictures and the run-time font.
  bool HasHiScoreScreen = false, HasControlsPage = false, HasNameEntry = false;
  // Where the help page shows the keys of play in force ([HelpPage]), relative to the page;
  // none when the skin's help page has them painted.
  bool HasHelpBindings = false;
  int32_t HelpKeyX = 0, HelpKeyWidth = 0, HelpPadX = 0, HelpPadWidth = 0;
  int32_t HelpRowY[7] = {};
};

// "<main.ini path>, section [<section>], key <key>": how messages name a key of main.ini.
inline std::string MainIniKeyName(const std::string& mainIni, const std::string& section, const std::string& key) {
  return mainIni + ", section [" + section + "], key " + key;
}
