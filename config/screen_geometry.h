// SPDX-License-Identifier: MIT
// The fixed geometry of the 720 x 540 logical screen: where the well lies and where the
// stage-selection controls are. The rules hit-test these places and the drawing paints them,
// so both read the figures from here. Everything else a skin places comes from main.ini.
#pragma once

#include <cstdint>

// The logical screen every frame is drawn for, and the back buffers that hold it in their
// top-left corner with a 4-pixel margin.
constexpr int32_t LogicalWidth = 720;
constexpr int32_t LogicalHeight = 540;
constexpr int16_t BackBufferWidth = 724;
constexpr int16_t BackBufferHeight = 544;

// The well: 8 columns by 13 rows; cell (c, r) covers x BoardLeft + 32c .. +31,
// y BoardTop + 32r .. +31. The mouse steering and the score pop-ups use these figures too.
constexpr int32_t BoardColumns = 8;
constexpr int32_t BoardRows = 13;
constexpr int32_t BoardLeft = 228;
constexpr int32_t BoardTop = 90;
constexpr int32_t BoardCellSize = 32;
constexpr int32_t BoardRight = BoardLeft + BoardColumns * BoardCellSize;  // 484, exclusive
constexpr int32_t BoardBottom = BoardTop + BoardRows * BoardCellSize;     // 506, exclusive

// The stage bar of the stage selection: twenty slots 14 pixels apart. A click between
// StageBarLeft and StageBarRight picks slot (x - StageBarLeft) / 14; slot i is drawn at
// StageSlotLeft + 14i, and the pointer over the chosen slot at StagePointerLeft + 14i.
constexpr int32_t StageSlotCount = 20;
constexpr int32_t StageSlotPitch = 14;
constexpr int32_t StageBarLeft = 317;
constexpr int32_t StageBarRight = 597;
constexpr int32_t StageBarTop = 97;
constexpr int32_t StageBarBottom = 127;
constexpr int32_t StageSlotLeft = 319;
constexpr int32_t StageSlotTop = 99;
constexpr int32_t StagePointerLeft = 316;
constexpr int32_t StagePointerTop = 86;

// The three difficulty buttons (36 x 36, 64 pixels apart) and the five music buttons
// (64 x 32, 78 pixels apart) of the stage selection.
constexpr int32_t DifficultyButtonLeft = 268;
constexpr int32_t DifficultyButtonTop = 172;
constexpr int32_t DifficultyButtonPitch = 64;
constexpr int32_t DifficultyButtonSize = 36;
constexpr int32_t MusicButtonLeft = 250;
constexpr int32_t MusicButtonTop = 250;
constexpr int32_t MusicButtonPitch = 78;
constexpr int32_t MusicButtonWidth = 64;
constexpr int32_t MusicButtonHeight = 32;

// The controls page: one row per action of play, 44 pixels apart; in each a well for its key
// and one for its pad button, which the focus and a click choose; a line for messages.
constexpr int32_t ControlsRowTop = 120;
constexpr int32_t ControlsRowPitch = 44;
constexpr int32_t ControlsRowHeight = 36;
constexpr int32_t ControlsKeyLeft = 288, ControlsKeyRight = 468;
constexpr int32_t ControlsPadLeft = 478, ControlsPadRight = 658;
constexpr int32_t ControlsTextInset = 8;
constexpr int32_t ControlsMessageX = 64, ControlsMessageY = 432;

// The high-score screen: a column per difficulty (224 wide, 236 apart) of eight records,
// 43 pixels apart; in a record the rank, the name, the score (ending at its right) and below
// them the date; a line for messages above the footer.
constexpr int32_t ScoresColumnLeft = 12, ScoresColumnPitch = 236, ScoresColumnWidth = 224;
constexpr int32_t ScoresRowTop = 122, ScoresRowPitch = 43, ScoresRowHeight = 40;
constexpr int32_t ScoresRankX = 8, ScoresNameX = 30, ScoresNameRight = 150, ScoresPointsRight = 216;
constexpr int32_t ScoresDateY = 21;
constexpr int32_t ScoresMessageX = 140, ScoresMessageY = 500;

// The name-entry panel over the play screen, its line of score, the name's field and the pad's
// letter picker (5 rows of 14, 19 and 28 pixels apart), relative to the panel.
constexpr int32_t NamePanelLeft = 140, NamePanelTop = 150;
constexpr int32_t NameScoreX = 24, NameScoreY = 46;
constexpr int32_t NameFieldX = 28, NameFieldY = 80;
constexpr int32_t PickerLeft = 24, PickerTop = 112, PickerColumnPitch = 28, PickerRowPitch = 19;
constexpr int32_t PickerColumns = 14, PickerRows = 5;
