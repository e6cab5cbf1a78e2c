// SPDX-License-Identifier: MIT
#include "game/replay.h"

#include <cstring>
#include <type_traits>

#include "game/controls.h"
#include "game/focus.h"
#include "game/input.h"

namespace {

// Writes or reads the state's fields in one fixed order; reading checks each value's range.
class StateBytes {
 public:
  explicit StateBytes(std::string* out) : out_(out) {}
  StateBytes(const std::string& in) : in_(&in) {}
  bool Ok() const { return ok_ && (in_ == nullptr || at_ == in_->size()); }

  void Int(int32_t& value, int32_t lo = INT32_MIN, int32_t hi = INT32_MAX) {
    if (out_ != nullptr) {
      Put(static_cast<uint32_t>(value));
      return;
    }
    const auto v = static_cast<int32_t>(Get());
    if (v < lo || v > hi) ok_ = false;
    if (ok_) value = v;
  }
  void Flag(bool& value) {
    int32_t v = value ? 1 : 0;
    Int(v, 0, 1);
    value = v == 1;
  }
  void Text(std::string& value, size_t limit = 64) {
    int32_t size = static_cast<int32_t>(value.size());
    Int(size, 0, static_cast<int32_t>(limit));
    if (out_ != nullptr) {
      out_->append(value);
    } else if (ok_) {
      if (in_->size() - at_ < static_cast<size_t>(size)) {
        ok_ = false;
        return;
      }
      value.assign(*in_, at_, static_cast<size_t>(size));
      at_ += static_cast<size_t>(size);
    }
  }
  void Keys(std::set<int32_t>& keys) {
    int32_t size = static_cast<int32_t>(keys.size());
    Int(size, 0, 256);
    if (out_ != nullptr) {
      for (int32_t key : keys) Put(static_cast<uint32_t>(key));
      return;
    }
    keys.clear();
    for (int32_t i = 0; i < size; ++i) {
      int32_t key = 0;
      Int(key, 0, 255);
      keys.insert(key);
    }
  }

 private:
  void Put(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_->push_back(static_cast<char>(v >> (8 * i)));
  }
  uint32_t Get() {
    if (!ok_ || in_->size() - at_ < 4) {
      ok_ = false;
      return 0;
    }
    uint32_t v = 0;
    for (size_t i = 4; i-- > 0;) v = (v << 8) | static_cast<uint8_t>(in_->at(at_ + i));
    at_ += 4;
    return v;
  }

  std::string* out_ = nullptr;
  const std::string* in_ = nullptr;
  size_t at_ = 0;
  bool ok_ = true;
};

void Cell(StateBytes& b, BoardCell& cell) {
  b.Int(cell.Colour, -1, 99);
  b.Int(cell.Link, 0, 99);
  b.Int(cell.Phase);
}

void Box(StateBytes& b, PairBox& box) {
  for (auto& column : box.Cells) {
    for (BoardCell& cell : column) Cell(b, cell);
  }
  b.Int(box.Column, -1, BoardColumns);
  b.Int(box.Row, -3, BoardRows);
}

void Stop(StateBytes& b, FocusStop& stop) {
  int32_t row = static_cast<int32_t>(stop.Row);
  b.Int(row, 0, static_cast<int32_t>(FocusRow::Record));
  stop.Row = static_cast<FocusRow>(row);
  b.Int(stop.Button, -1, 999);
  b.Int(stop.Item, 0, 23);
}

// Every field of the state but the screen buttons and whether it is a replay, in one order.
void Fields(StateBytes& b, GameState& s) {
  for (auto& column : s.Board) {
    for (BoardCell& cell : column) Cell(b, cell);
  }
  Box(b, s.Pair);
  Box(b, s.NextPair);
  b.Flag(s.PairActive);
  b.Int(s.TargetCount, 0, BoardColumns * BoardRows);
  b.Int(s.TargetQuota, 0, BoardColumns * BoardRows);
  b.Int(s.ChainCount);
  b.Int(s.Score);
  b.Int(s.Difficulty, 0, 2);
  b.Int(s.Stage, 0, 99999);
  for (ScorePopup& popup : s.ScorePopups) {
    b.Text(popup.Text, 12);
    b.Int(popup.Multiplier, 0, 9);
    b.Int(popup.X);
    b.Int(popup.Y);
    b.Int(popup.Age);
    b.Flag(popup.Active);
  }
  for (auto& mood : s.TargetMood) {
    b.Int(mood[0]);
    b.Int(mood[1]);
  }
  b.Int(s.AngelState[0]);
  b.Int(s.AngelState[1]);
  b.Int(s.StageTick);
  b.Int(s.DropInterval, 1, 99);
  b.Int(s.TimeCount);
  b.Int(s.SpeedBase);
  b.Flag(s.KeyControl);
  b.Int(s.GameMode, ModeTitle, ModeHiScores);
  b.Int(s.PlayState);
  b.Int(s.MusicChoice, 0, 4);
  b.Int(s.Tick);
  b.Int(s.FadeStep, 0, 99);
  Pointer& m = s.Mouse;
  for (int32_t* v : {&m.X, &m.Y, &m.OldX, &m.OldY, &m.FrameX, &m.FrameY, &m.Style}) b.Int(*v);
  b.Flag(m.LeftDown);
  FocusState& f = s.Focus;
  b.Flag(f.Visible);
  b.Int(f.Screen);
  Stop(b, f.Current);
  b.Flag(f.PanelFromPause);
  for (bool& held : f.PadHeld) {
    bool h = held;
    b.Flag(h);
    held = h;
  }
  b.Int(f.RepeatFrames);
  b.Int(f.KeyScreen);
  b.Keys(f.KeysPressedHere);
  b.Int(f.PadScreen);
  b.Keys(f.KeysHeld);
  b.Int(s.Controls.ReturnMode, ModeTitle, ModeHiScores);
  b.Flag(s.Controls.Waiting);
  b.Text(s.Controls.Message, 256);
  NameEntryState& n = s.NameEntry;
  b.Flag(n.Open);
  b.Int(n.Difficulty, 0, 2);
  b.Int(n.Rank, 0, 7);
  b.Int(n.Points);
  b.Int(n.PickRow, 0, PickerRows - 1);
  b.Int(n.PickColumn, 0, PickerColumns - 1);
  b.Flag(n.Refused);
  b.Text(n.Name, 64);
}

}  // namespace

void ApplyInput(Game& game, const ReplayEvent& event) {
  GameState& state = game.State;
  switch (event.Kind) {
    case ReplayEventKind::KeyDown:
      KeyDownInput(game, event.A, event.C != 0);
      break;
    case ReplayEventKind::KeyUp:
      KeyUpInput(game, event.A);
      break;
    case ReplayEventKind::KeyPress:
      KeyPressInput(game, event.A, event.C != 0);
      break;
    case ReplayEventKind::MouseDown:
      if (event.A == MouseButton::Left) state.Mouse.LeftDown = true;
      break;
    case ReplayEventKind::MouseMove:
      // A: the buttons held, and 256 when the move is the player's hand (it hides the focus).
      if ((event.A & 256) != 0) MouseTookControl(state);
      state.Mouse.X = event.B;
      state.Mouse.Y = event.C;
      HoverStep(game, event.A & 255);
      break;
    case ReplayEventKind::MouseUp:
      ClickStep(game, event.A);
      if (event.A == MouseButton::Left) state.Mouse.LeftDown = false;
      break;
    case ReplayEventKind::Pad:
      if (event.A < 0 || event.A >= PadButtonCount) break;  // no such button
      if (event.B != 0) {
        PadPress(game, static_cast<PadButton>(event.A));
      } else {
        PadRelease(state, static_cast<PadButton>(event.A));
      }
      break;
    case ReplayEventKind::PadUnplugged:
      PadReleaseAll(state);
      break;
    case ReplayEventKind::Activate:
      if (event.A != 0) {
        if (state.GameMode == ModeTitle) game.Services.PlayMusic();
        break;
      }
      if (state.GameMode != ModeTitle && state.PlayState == PlayRunning) state.PlayState = PlayPaused;
      PadReleaseAll(state);  // a pad's release is not heard while the window has no focus
      game.Services.PauseMusic();
      break;
  }
}

std::string EncodeGameState(const GameState& state) {
  std::string bytes;
  StateBytes writer(&bytes);
  Fields(writer, const_cast<GameState&>(state));  // the writer only reads the fields
  return bytes;
}

bool DecodeGameState(const std::string& bytes, GameState& state) {
  GameState read = state;
  StateBytes reader(bytes);
  Fields(reader, read);
  if (!reader.Ok()) return false;
  read.Buttons = state.Buttons;
  state = std::move(read);
  return true;
}

uint64_t GameStateHash(const GameState& state) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (char c : EncodeGameState(state)) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}
