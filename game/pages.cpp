// SPDX-License-Identifier: MIT
#include "game/pages.h"

#include "base/runtime.h"
#include "player/high_scores.h"
#include "player/key_bindings.h"

namespace {

constexpr int32_t KeyBackspace = 8, KeyDelete = 46;

PlayAction ActionAt(int32_t index) { return static_cast<PlayAction>(CheckIndex(index, 0, PlayActionCount - 1)); }

void SetMessage(Game& game, const std::string& text) { game.State.Controls.Message = text; }

std::string ClashMessage(PlayAction action, int32_t other, const std::string& what, const std::string& gave) {
  return what + " now " + ActionName(action) + "; " + ActionName(static_cast<PlayAction>(other)) + " takes " + gave +
         " in exchange.";
}

void BindPressedKey(Game& game, int32_t key) {
  GameState& state = game.State;
  const int32_t action = state.Focus.Current.Item;
  state.Controls.Waiting = false;
  if (key == KeyCode::Escape) {
    SetMessage(game, "Nothing changed.");
    return;
  }
  if (!BindableKey(key)) {
    SetMessage(game, KeyName(key) + " belongs to the window; choose another key.");
    return;
  }
  KeyBindings& bindings = game.Player.Bindings;
  const int32_t old = bindings[ActionAt(action)].Key;
  const int32_t other = BindKey(bindings, ActionAt(action), key);
  SetMessage(game, other < 0
                       ? KeyName(key) + " now " + ActionName(ActionAt(action)) + "."
                       : ClashMessage(ActionAt(action), other, KeyName(key), old == Unbound ? "no key" : KeyName(old)));
}

void BindPressedPad(Game& game, PadButton button) {
  GameState& state = game.State;
  const int32_t action = state.Focus.Current.Item;
  state.Controls.Waiting = false;
  KeyBindings& bindings = game.Player.Bindings;
  const int32_t pad = static_cast<int32_t>(button);
  const int32_t old = bindings[ActionAt(action)].Pad;
  const int32_t other = BindPad(bindings, ActionAt(action), pad);
  SetMessage(game, other < 0 ? PadName(pad) + " now " + ActionName(ActionAt(action)) + "."
                             : ClashMessage(ActionAt(action), other, PadName(pad),
                                            old == Unbound ? "no button" : PadName(old)));
}

void PickCharacter(Game& game) {
  NameEntryState& entry = game.State.NameEntry;
  const int32_t c = PickerCharacter(entry.PickRow, entry.PickColumn);
  if (c == PickerDone) {
    entry.Open = false;
    game.Services.RecordNamed(entry.Name);
  } else if (c == PickerErase) {
    if (!entry.Name.empty()) entry.Name.pop_back();
  } else if (entry.Name.size() < MaxNameLength) {
    entry.Name.push_back(c == PickerSpace ? ' ' : static_cast<char>(c));
  }
}

}  // namespace

void ChooseBinding(Game& game, FocusRow row, int32_t action) {
  GameState& state = game.State;
  state.Focus.Current = {row, -1, action};
  state.Controls.Waiting = true;
  SetMessage(game, row == FocusRow::BindingKey ? "Press a key for " + ActionName(ActionAt(action)) + " (Esc: none)."
                                               : "Press a pad button for " + ActionName(ActionAt(action)) + ".");
}

bool ControlsKeyPressed(Game& game, int32_t key) {
  GameState& state = game.State;
  if (state.Controls.Waiting) {
    BindPressedKey(game, key);
    return true;
  }
  const FocusStop& focus = state.Focus.Current;
  if (key != KeyDelete || !state.Focus.Visible ||
      (focus.Row != FocusRow::BindingKey && focus.Row != FocusRow::BindingPad)) {
    return false;
  }
  ActionBinding& binding = game.Player.Bindings[ActionAt(focus.Item)];
  (focus.Row == FocusRow::BindingKey ? binding.Key : binding.Pad) = Unbound;
  SetMessage(game, ActionName(ActionAt(focus.Item)) + " has no " +
                       (focus.Row == FocusRow::BindingKey ? "key" : "pad button") + " now.");
  return true;
}

bool ControlsPadPressed(Game& game, PadButton button) {
  GameState& state = game.State;
  if (state.GameMode != ModeControls || !state.Controls.Waiting) return false;
  if (state.Focus.Current.Row == FocusRow::BindingPad) {
    BindPressedPad(game, button);
  } else {
    state.Controls.Waiting = false;
    SetMessage(game, "Nothing changed.");
  }
  return true;
}

bool BindingWellAt(int32_t x, int32_t y, FocusRow& row, int32_t& action) {
  if (y < ControlsRowTop) return false;
  const int32_t r = (y - ControlsRowTop) / ControlsRowPitch;
  if (r >= PlayActionCount || y >= ControlsRowTop + r * ControlsRowPitch + ControlsRowHeight) return false;
  if (x >= ControlsKeyLeft && x < ControlsKeyRight) {
    row = FocusRow::BindingKey;
  } else if (x >= ControlsPadLeft && x < ControlsPadRight) {
    row = FocusRow::BindingPad;
  } else {
    return false;
  }
  action = r;
  return true;
}

bool RecordAt(int32_t x, int32_t y, int32_t& item) {
  if (x < ScoresColumnLeft || y < ScoresRowTop) return false;
  const int32_t table = (x - ScoresColumnLeft) / ScoresColumnPitch;
  const int32_t rank = (y - ScoresRowTop) / ScoresRowPitch;
  if (table >= 3 || rank >= HiScoreRecords) return false;
  if (x >= ScoresColumnLeft + table * ScoresColumnPitch + ScoresColumnWidth) return false;
  if (y >= ScoresRowTop + rank * ScoresRowPitch + ScoresRowHeight) return false;
  item = table * HiScoreRecords + rank;
  return true;
}

void OpenNameEntry(Game& game, int32_t difficulty, int32_t rank, int32_t points, const std::string& name) {
  NameEntryState& entry = game.State.NameEntry;
  entry = NameEntryState{};
  entry.Open = true;
  // The last name comes from the player's settings file, which anyone may edit.
  for (char c : name) {
    if (NameCharacter(static_cast<uint8_t>(c)) && entry.Name.size() < MaxNameLength) entry.Name.push_back(c);
  }
  entry.Difficulty = difficulty;
  entry.Rank = rank;
  entry.Points = points;
}

int32_t PickerCharacter(int32_t row, int32_t column) {
  static const char* const Rows[] = {"ABCDEFGHIJKLMN", "OPQRSTUVWXYZ.-", "abcdefghijklmn", "opqrstuvwxyz_'",
                                     "0123456789"};
  if (row < 0 || row >= PickerRows || column < 0 || column >= PickerColumns) return PickerNone;
  const std::string letters = Rows[row];
  if (column < static_cast<int32_t>(letters.size())) return static_cast<unsigned char>(letters[column]);
  switch (column) {
    case 10:
      return PickerSpace;
    case 11:
      return PickerErase;
    default:
      return PickerDone;  // 12 and 13
  }
}

void NameEntryKey(Game& game, int32_t key) {
  NameEntryState& entry = game.State.NameEntry;
  switch (key) {
    case KeyBackspace:
      if (!entry.Name.empty()) entry.Name.pop_back();
      break;
    case KeyCode::Enter:
    case KeyCode::Escape:
      entry.Open = false;
      game.Services.RecordNamed(entry.Name);
      break;
    case KeyCode::Left:
      entry.PickColumn = (entry.PickColumn + PickerColumns - 1) % PickerColumns;
      break;
    case KeyCode::Right:
      entry.PickColumn = (entry.PickColumn + 1) % PickerColumns;
      break;
    case KeyCode::Up:
      entry.PickRow = (entry.PickRow + PickerRows - 1) % PickerRows;
      break;
    case KeyCode::Down:
      entry.PickRow = (entry.PickRow + 1) % PickerRows;
      break;
    default:
      break;
  }
}

void NameEntryText(Game& game, const std::string& utf8) {
  NameEntryState& entry = game.State.NameEntry;
  if (!entry.Open) return;
  bool dropped = false;
  const std::string typed = NameFromUtf8(utf8, dropped);
  if (dropped) entry.Refused = true;
  for (char c : typed) {
    if (entry.Name.size() < MaxNameLength) entry.Name.push_back(c);
  }
}

void NameEntryPad(Game& game, PadButton button) {
  NameEntryState& entry = game.State.NameEntry;
  switch (button) {
    case PadButton::Left:
      NameEntryKey(game, KeyCode::Left);
      break;
    case PadButton::Right:
      NameEntryKey(game, KeyCode::Right);
      break;
    case PadButton::Up:
      NameEntryKey(game, KeyCode::Up);
      break;
    case PadButton::Down:
      NameEntryKey(game, KeyCode::Down);
      break;
    case PadButton::South:
      PickCharacter(game);
      break;
    case PadButton::East:
    case PadButton::Back:
      if (!entry.Name.empty()) entry.Name.pop_back();
      break;
    case PadButton::Start:
      entry.Open = false;
      game.Services.RecordNamed(entry.Name);
      break;
    default:
      break;
  }
}

void NameEntryClick(Game& game) {
  NameEntryState& entry = game.State.NameEntry;
  const int32_t x = game.State.Mouse.X - NamePanelLeft - PickerLeft;
  const int32_t y = game.State.Mouse.Y - NamePanelTop - PickerTop;
  if (x < 0 || y < 0) return;
  const int32_t column = x / PickerColumnPitch, row = y / PickerRowPitch;
  if (PickerCharacter(row, column) == PickerNone) return;
  entry.PickRow = row;
  entry.PickColumn = column;
  PickCharacter(game);
}
