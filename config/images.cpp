// SPDX-License-Identifier: MIT
#include "config/images.h"

#include <string>

#include "config/skin_reader.h"

void LoadGameImages(SkinReader& skin, ImageCatalogue& images) {
  auto load = [&skin](Surface& surface, const std::string& name) {
    skin.ProgressStep();
    skin.ReadImage(surface, name);
  };
  load(images.TitleBackImage, "tit_bk.bmp");
  for (int i = 0; i <= 2; ++i) {
    const std::string n = std::to_string(i);
    load(images.PieceImages[i], "s" + n + ".bmp");
    load(images.PieceImages[i + 3], "s" + n + "m.bmp");
    load(images.TargetCharImages[i], "sb" + n + ".bmp");
    load(images.TargetCharImages[i + 3], "sb" + n + "m.bmp");
  }
  load(images.BackgroundImage, "background.bmp");
  for (int i = 0; i <= 1; ++i) {
    const std::string n = std::to_string(i) + ".bmp";
    load(images.TitleLogoImages[i], "tit_logo" + n);
    load(images.DiffImages[i], "diff" + n);
    load(images.TimeNumImages[i], "timenum" + n);
    load(images.PauseImages[i], "pause" + n);
    load(images.GameOverImages[i], "gameover" + n);
    load(images.NextStageImages[i], "nextstage" + n);
    load(images.ExitImages[i], "exit" + n);
    load(images.NewGameImages[i], "newgame" + n);
    load(images.AngelImages[i], "angel" + n);
    load(images.SelBackImages[i], "selbk" + n);
    load(images.SelPointImages[i], "selpoint" + n);
    load(images.SelDiffImages[i], "slediff" + n);
  }
  load(images.HelpImage, "help.bmp");
  for (int i = 0; i <= 2; ++i) load(images.SelMusicImages[i], "selmus" + std::to_string(i) + ".bmp");
  skin.ProgressStep();
  images.ScratchSurface.Create(10, 26);
  skin.ProgressStep();
}
