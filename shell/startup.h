// Mod_Main: the program's entry procedure. Runs start-up in its fixed order, then the game
// loop; returns the process exit status (0 after a normal close, 1 after a start-up failure,
// reported with a message naming what is wrong).
#pragma once

int Mod_Main();
