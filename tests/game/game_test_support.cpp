// SPDX-License-Identifier: MIT
#include "game/game_test_support.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "base/random.h"
#include "game/frame.h"
#include "game/input.h"

void RecordingServices::PlaySound(int32_t n) {
  Sounds.push_back(n);
  Log.push_back("sound " + std::to_string(n));
}

void RecordingServices::OpenMusic(const std::string& path) {
  // Only the file name within the program directory matters to the rules.
  const auto sounds = path.rfind("/sounds/");
  Log.push_back("music open " + (sounds == std::string::npos ? path : path.substr(sounds + 1)));
}

std::vector<ScreenButton> RecordingServices::LoadButtons(const std::string& section) {
  Log.push_back("buttons " + section);
  // The play screen has buttons 0..8; the others two buttons and the advertisement entry.
  const int32_t count = section == "GameButton" ? 9 : 3;
  std::vector<ScreenButton> buttons(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    ScreenButton& button = buttons[static_cast<size_t>(i)];
    button.Left = ButtonCentreX(i) - 20;
    button.Right = ButtonCentreX(i) + 20;
    button.Top = ButtonCentreY(i) - 10;
    button.Bottom = ButtonCentreY(i) + 10;
    button.State = ButtonShown;
  }
  return buttons;
}

std::string RecordingServices::SkinValue(const std::string& section, const std::string& key) {
  for (const auto& [name, value] : SkinValues) {
    if (name == section + "/" + key) return value;
  }
  return {};
}

std::vector<int32_t> RecordingServices::TakeSounds() {
  Log.clear();
  return std::exchange(Sounds, {});
}

std::vector<std::string> RecordingServices::TakeLog() {
  Sounds.clear();
  return std::exchange(Log, {});
}

int32_t ButtonCentreX(int32_t) { return 40; }
int32_t ButtonCentreY(int32_t index) { return 40 + 40 * index; }

void GameTest::SetUp() {
  GameRandom::UseFixedSeed(20240611);
  // The play screen's check boxes and volume sliders, on the right of the board.
  for (int32_t i = 0; i < 2; ++i) {
    layout.CheckHitLeft[i] = 560;
    layout.CheckHitRight[i] = 580;
    layout.CheckHitTop[i] = 400 + 40 * i;
    layout.CheckHitBottom[i] = 420 + 40 * i;
    layout.VolX[i] = 600;
    layout.VolY[i] = 400 + 40 * i;
  }
  layout.VolumeWidth = 52;
  layout.VolumeHeight = 12;
  layout.Texts = {"kestrel", "https://one.example/", "https://two.example/"};
  layout.AdUrl = "https://ad.example/";
  layout.ButtonImageKind = {ButtonKindNormalAndHighlight};
  Pointer& mouse = state.Mouse;
  mouse.X = mouse.OldX = mouse.FrameX = 700;
  mouse.Y = mouse.OldY = mouse.FrameY = 530;
}

void GameTest::TearDown() { GameRandom::UseClockSeed(); }

void GameTest::Frame() {
  FrameStep(game, state.Mouse.X, state.Mouse.Y);
  AnimationStep(game);
}

void GameTest::Frames(int n) {
  for (int i = 0; i < n; ++i) Frame();
}

void GameTest::MoveMouse(int32_t x, int32_t y) {
  state.Mouse.X = x;
  state.Mouse.Y = y;
  HoverStep(game, state.Mouse.LeftDown ? MouseButton::Left : 0);
}

void GameTest::Release(int32_t button, int32_t x, int32_t y) {
  state.Mouse.X = x;
  state.Mouse.Y = y;
  ClickStep(game, button);
  if (button == MouseButton::Left) state.Mouse.LeftDown = false;
}

namespace {
BoardCell CellFromText(const std::string& text) {
  BoardCell cell;
  if (text == ".") return cell;
  const std::string kinds = "URDLST";
  const auto kind = kinds.find(text.at(0));
  if (text.size() != 2 || kind == std::string::npos) throw std::invalid_argument("board cell " + text);
  // U: joined to the cell above (link 0), R: right (1), D: below (2), L: left (3).
  cell.Link = static_cast<int32_t>(kind);
  cell.Colour = text[1] - '0';
  return cell;
}

std::vector<std::string> Tokens(const std::string& row) {
  std::vector<std::string> tokens;
  size_t at = 0;
  while (at < row.size()) {
    const size_t start = row.find_first_not_of(' ', at);
    if (start == std::string::npos) break;
    const size_t end = std::min(row.find(' ', start), row.size());
    tokens.push_back(row.substr(start, end - start));
    at = end;
  }
  return tokens;
}
}  // namespace

void SetBoard(GameState& state, const std::vector<std::string>& rows) {
  for (auto& column : state.Board) {
    for (auto& cell : column) cell = BoardCell{};
  }
  const int32_t firstRow = BoardRows - static_cast<int32_t>(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto tokens = Tokens(rows[i]);
    if (tokens.size() != BoardColumns) throw std::invalid_argument("board row " + rows[i]);
    for (int32_t c = 0; c < BoardColumns; ++c) {
      state.Board[c][firstRow + static_cast<int32_t>(i)] = CellFromText(tokens[c]);
    }
  }
}

std::vector<std::string> BoardRowsText(const GameState& state) {
  std::vector<std::string> rows;
  for (int32_t r = 0; r < BoardRows; ++r) {
    std::string row;
    for (int32_t c = 0; c < BoardColumns; ++c) {
      const BoardCell& cell = state.Board[c][r];
      if (c > 0) row += ' ';
      if (cell.Colour < 0) {
        row += '.';
      } else if (cell.Colour >= 10) {
        row += '*' + std::to_string(cell.Colour % 10);
      } else {
        row += std::string(1, "URDLST"[cell.Link % 10]) + std::to_string(cell.Colour);
      }
    }
    rows.push_back(row);
  }
  return rows;
}

void SetHorizontalPair(GameState& state, int32_t left, int32_t right, int32_t column, int32_t row) {
  PairBox pair;
  pair.Cells[0][1] = BoardCell{left, 1, 0};
  pair.Cells[1][1] = BoardCell{right, 3, 0};
  pair.Column = column;
  pair.Row = row;
  state.Pair = pair;
  state.PairActive = true;
}

void SetPairAmongPieces(GameState& state, const std::vector<std::pair<int32_t, int32_t>>& pieces, bool flat,
                        int32_t column, int32_t row) {
  SetBoard(state, {});
  for (const auto& [x, y] : pieces) state.Board[x][y] = BoardCell{2, LinkSingle, 0};
  if (flat) {
    SetHorizontalPair(state, 0, 1, column, row);
  } else {
    SetVerticalPair(state, 0, 1, column, row);
  }
}

void SetVerticalPair(GameState& state, int32_t top, int32_t bottom, int32_t column, int32_t row) {
  PairBox pair;
  pair.Cells[0][0] = BoardCell{top, 2, 0};
  pair.Cells[0][1] = BoardCell{bottom, 0, 0};
  pair.Column = column;
  pair.Row = row;
  state.Pair = pair;
  state.PairActive = true;
}
