// STUB: replaced by the game flow.
#include "game/flow.h"

void ButtonClick(int32_t) {}
void TitleAction(int32_t) {}
void PlayAction(int32_t) {}
void StageSelectAction(int32_t) {}
void StartStage(int32_t, int32_t) {}
void ShowTitle() {}
void StartCrossFade() {}
