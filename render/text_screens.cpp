// SPDX-License-Identifier: MIT
#include "render/text_screens.h"

#include <string>

#include "game/focus.h"
#include "game/pages.h"
#include "player/high_scores.h"
#include "player/key_bindings.h"
#include "render/buttons.h"
#include "render/sheet.h"
#include "render/text.h"

namespace {

constexpr int32_t FullLevel = 32;

std::string KeyText(int32_t key) { return key == Unbound ? "-" : KeyName(key); }
std::string PadText(int32_t pad) { return pad == Unbound ? "-" : PadName(pad); }

std::string Ordinal(int32_t n) {
  const char* suffix = n % 10 == 1 && n % 100 != 11   ? "st"
                       : n % 10 == 2 && n % 100 != 12 ? "nd"
                       : n % 10 == 3 && n % 100 != 13 ? "rd"
                                                      : "th";
  return std::to_string(n) + suffix;
}

const char* const DifficultyNames[3] = {"Easy", "Normal", "Hard"};

}  // namespace

void DrawControlsPage(Surface& screen, const GameState& state, const PlayerSettings& player, const Skin& skin) {
  const ImageCatalogue& images = skin.Images;
  screen.CopyFrom(images.KeysBackImage, 0, 0);
  const KeyBindings& bindings = player.Bindings;
  const FocusStop focus = FocusedStop(state);
  for (int32_t action = 0; action < PlayActionCount; ++action) {
    const ActionBinding& binding = bindings.Of[static_cast<size_t>(action)];
    const int32_t top = ControlsRowTop + ControlsRowPitch * action + ControlsTextInset;
    const bool waiting = state.Controls.Waiting && focus.Item == action;
    const bool keyWaits = waiting && focus.Row == FocusRow::BindingKey;
    const bool padWaits = waiting && focus.Row == FocusRow::BindingPad;
    DrawText(screen, images, keyWaits ? "press a key..." : KeyText(binding.Key), ControlsKeyLeft + ControlsTextInset,
             top, ControlsKeyRight - ControlsKeyLeft - 2 * ControlsTextInset);
    DrawText(screen, images, padWaits ? "press a button..." : PadText(binding.Pad), ControlsPadLeft + ControlsTextInset,
             top, ControlsPadRight - ControlsPadLeft - 2 * ControlsTextInset);
  }
  DrawText(screen, images, state.Controls.Message, ControlsMessageX, ControlsMessageY, 720 - 2 * ControlsMessageX);
  if (focus.Row == FocusRow::BindingKey || focus.Row == FocusRow::BindingPad) {
    const FocusArea area = FocusStopArea(state, skin.Layout, focus);
    DrawFocusFrame(screen, area.Left - 3, area.Top - 3, area.Right + 2, area.Bottom + 2);
  }
  DrawScreenButtons(screen, state, skin);
}

void DrawHiScoresPage(Surface& screen, const GameState& state, const PlayerSettings& player, const Skin& skin) {
  const ImageCatalogue& images = skin.Images;
  screen.CopyFrom(images.ScoresBackImage, 0, 0);
  for (int32_t table = 0; table < 3; ++table) {
    const int32_t left = ScoresColumnLeft + ScoresColumnPitch * table;
    for (int32_t rank = 0; rank < HiScoreRecords; ++rank) {
      const HiScoreEntry& entry = player.HiScoreTable[table][rank];
      const int32_t top = ScoresRowTop + ScoresRowPitch * rank;
      const bool replay = state.HiScores.Replayable[static_cast<size_t>(table * HiScoreRecords + rank)];
      DrawText(screen, images, std::to_string(rank + 1), left + ScoresRankX, top + 2);
      DrawText(screen, images, entry.Name, left + ScoresNameX, top + 2, ScoresNameRight - ScoresNameX);
      DrawTextRightAligned(screen, images, std::to_string(entry.Points), left + ScoresPointsRight, top + 2);
      DrawText(screen, images, FormatRecordDate(entry.Date) + (replay ? "  >" : ""), left + ScoresNameX,
               top + ScoresDateY, ScoresColumnWidth - ScoresNameX);
      if (table == state.HiScores.NewestTable && rank == state.HiScores.NewestRank) {
        // The newest record is marked with a thin frame of its own.
        screen.DrawLine(left + 2, top, left + ScoresColumnWidth - 3, top, 232, 110, 50);
        screen.DrawLine(left + 2, top + ScoresRowHeight - 1, left + ScoresColumnWidth - 3, top + ScoresRowHeight - 1,
                        232, 110, 50);
      }
    }
  }
  DrawText(screen, images, state.HiScores.Message, ScoresMessageX, ScoresMessageY, LogicalWidth - ScoresMessageX - 8);
  const FocusStop focus = FocusedStop(state);
  if (focus.Row == FocusRow::Record) {
    const FocusArea area = FocusStopArea(state, skin.Layout, focus);
    DrawFocusFrame(screen, area.Left - 2, area.Top - 2, area.Right + 1, area.Bottom + 1);
  }
  DrawScreenButtons(screen, state, skin);
}

void DrawPlayExtras(Surface& screen, const GameState& state, const Skin& skin) {
  const ImageCatalogue& images = skin.Images;
  if (state.Replaying) {
    DrawText(screen, images, state.HiScores.Message, BoardLeft + 4, BoardTop - 24, BoardRight - BoardLeft - 8);
  }
  const NameEntryState& entry = state.NameEntry;
  if (!entry.Open) return;
  DrawThroughMask(screen, images.NamePanelImages[0], images.NamePanelImages[1], NamePanelLeft, NamePanelTop, FullLevel);
  const int32_t x = NamePanelLeft, y = NamePanelTop;
  const std::string line =
      entry.Refused ? "Left out: characters the table cannot hold"
                    : "Score " + std::to_string(entry.Points) + ", " + Ordinal(entry.Rank + 1) + " on " +
                          DifficultyNames[entry.Difficulty < 0 || entry.Difficulty > 2 ? 0 : entry.Difficulty];
  DrawText(screen, images, line, x + NameScoreX, y + NameScoreY, NamePanelWidth - 2 * NameScoreX);
  const int32_t width = DrawText(screen, images, entry.Name, x + NameFieldX, y + NameFieldY);
  if (entry.Name.size() < MaxNameLength && (state.Tick / 20) % 2 == 0) {
    DrawText(screen, images, "_", x + NameFieldX + width, y + NameFieldY);
  }
  for (int32_t row = 0; row < PickerRows; ++row) {
    for (int32_t column = 0; column < PickerColumns; ++column) {
      const int32_t c = PickerCharacter(row, column);
      if (c == PickerNone || (c == PickerDone && column == 13)) continue;
      const std::string label = c == PickerSpace   ? "Spc"
                                : c == PickerErase ? "Del"
                                : c == PickerDone  ? "OK"
                                                   : std::string(1, static_cast<char>(c));
      const int32_t cx = x + PickerLeft + PickerColumnPitch * column, cy = y + PickerTop + PickerRowPitch * row;
      DrawText(screen, images, label, cx + 4, cy);
      if (row == entry.PickRow && (column == entry.PickColumn || (c == PickerDone && entry.PickColumn == 13))) {
        const int32_t right = cx + (c == PickerDone ? 2 * PickerColumnPitch : PickerColumnPitch) - 2;
        DrawFocusFrame(screen, cx, cy - 1, right, cy + PickerRowPitch - 1);
      }
    }
  }
}

void DrawHelpBindings(Surface& screen, const PlayerSettings& player, const Skin& skin, int32_t x, int32_t y) {
  const SkinLayout& layout = skin.Layout;
  if (!layout.HasHelpBindings) return;
  const KeyBindings& bindings = player.Bindings;
  for (int32_t action = 0; action < PlayActionCount; ++action) {
    const ActionBinding& binding = bindings.Of[static_cast<size_t>(action)];
    const int32_t top = y + layout.HelpRowY[action];
    DrawText(screen, skin.Images, KeyText(binding.Key), x + layout.HelpKeyX, top, layout.HelpKeyWidth);
    DrawText(screen, skin.Images, PadText(binding.Pad), x + layout.HelpPadX, top, layout.HelpPadWidth);
  }
}
