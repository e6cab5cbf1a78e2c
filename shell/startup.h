// SPDX-License-Identifier: MIT
// The program's start-up and run: the skin loaded under the loading window in its fixed order,
// the main window made, the title shown, then the game loop; returns the process exit status:
// 0 after a normal close, 1 after a start-up failure, which is reported with a message naming
// what is wrong.
#pragma once

#include <functional>
#include <optional>

class MainWindow;

// Called once start-up is complete, right before the game loop starts: a test can attach
// itself to the loop's events to script a whole game.
using LoopObserver = std::function<void(MainWindow& window)>;

// Plays the game from the folders Locations decided; `startFullScreen` is the command line's
// choice (none: as the player left the game last time).
int RunGame(std::optional<bool> startFullScreen = std::nullopt, const LoopObserver& beforeLoop = {});
