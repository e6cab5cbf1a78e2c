// SPDX-License-Identifier: MIT
// The screens, the play states and what every screen button does; stage set-up.
#pragma once

#include <cstdint>

#include "game/game.h"

// A screen button pressed: the click sound, then the action of the screen shown.
void ButtonClick(Game& game, int32_t index);
void TitleAction(Game& game, int32_t index);
void PlayScreenAction(Game& game, int32_t index);
void StageSelectAction(Game& game, int32_t index);
// Sets up and enters a stage with a score to start from; a stage that cannot be set up leaves
// the game on the stage selection and the error goes on.
void StartStage(Game& game, int32_t stage, int32_t score);
void ShowTitle(Game& game);
// Escape on the stage selection: back to the title, as a button would take it there.
void BackToTitle(Game& game);
// The controls page and the high-score screen, opened from the title or (the controls) from
// the pause panel, and closed back to where they were opened.
void ShowControlsPage(Game& game);
void LeaveControlsPage(Game& game);
void ShowHiScores(Game& game);
void LeaveHiScores(Game& game);
void ControlsAction(Game& game, int32_t index);
void HiScoresAction(Game& game, int32_t index);
// The current picture becomes the cross-fade's starting point, and the fade starts.
void StartCrossFade(Game& game);
