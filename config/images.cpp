#include "config/images.h"

#include <string>

#include "config/skin_files.h"

ImageCatalogue Images;

void ResetImageCatalogue() { Images = ImageCatalogue{}; }

namespace {

void LoadStep(CGDISurface& surface, const std::string& name) {
  LoadProgressStep();
  ReadImage(surface, name);
}

}  // namespace

void LoadGameImages() {
  LoadStep(Images.TitleBackImage, "tit_bk.bmp");
  for (int i = 0; i <= 2; ++i) {
    const std::string n = std::to_string(i);
    LoadStep(Images.PieceImages[i], "s" + n + ".bmp");
    LoadStep(Images.PieceImages[i + 3], "s" + n + "m.bmp");
    LoadStep(Images.TargetCharImages[i], "sb" + n + ".bmp");
    LoadStep(Images.TargetCharImages[i + 3], "sb" + n + "m.bmp");
  }
  LoadStep(Images.BackgroundImage, "background.bmp");
  for (int i = 0; i <= 1; ++i) {
    const std::string n = std::to_string(i) + ".bmp";
    LoadStep(Images.TitleLogoImages[i], "tit_logo" + n);
    LoadStep(Images.DiffImages[i], "diff" + n);
    LoadStep(Images.TimeNumImages[i], "timenum" + n);
    LoadStep(Images.PauseImages[i], "pause" + n);
    LoadStep(Images.GameOverImages[i], "gameover" + n);
    LoadStep(Images.NextStageImages[i], "nextstage" + n);
    LoadStep(Images.ExitImages[i], "exit" + n);
    LoadStep(Images.NewGameImages[i], "newgame" + n);
    LoadStep(Images.AngelImages[i], "angel" + n);
    LoadStep(Images.SelBackImages[i], "selbk" + n);
    LoadStep(Images.SelPointImages[i], "selpoint" + n);
    LoadStep(Images.SelDiffImages[i], "slediff" + n);
  }
  LoadStep(Images.HelpImage, "help.bmp");
  for (int i = 0; i <= 2; ++i) LoadStep(Images.SelMusicImages[i], "selmus" + std::to_string(i) + ".bmp");
  LoadProgressStep();
  Images.ScratchSurface.Create(10, 26);
  LoadProgressStep();
}
