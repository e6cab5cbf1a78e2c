// Mod_Main: the program's entry procedure. Runs start-up in its fixed order, then the game
// loop; returns the process exit status: 0 after a normal close, 1 after a start-up failure,
// which is reported with a message naming what is wrong.
#pragma once

#include <functional>

class CGameEngine;

// Called once start-up is complete, right before the game loop starts: a test can attach
// itself to the engine's events to script a whole game.
using LoopObserver = std::function<void(CGameEngine& engine)>;

int Mod_Main(const LoopObserver& beforeLoop = {});
