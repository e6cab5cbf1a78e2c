// The screens, the play states and what every screen button does; stage set-up.
#pragma once

#include <cstdint>

void ButtonClick(int32_t index);
void TitleAction(int32_t index);
void PlayAction(int32_t index);
void StageSelectAction(int32_t index);
void StartStage(int32_t stage, int32_t score);
void ShowTitle();
// The current picture becomes the cross-fade's starting point: BackBuffer(BackIndex) is
// copied to FadeSurface and FadeStep := 1.
void StartCrossFade();
