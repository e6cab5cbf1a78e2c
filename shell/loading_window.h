// SPDX-License-Identifier: MIT
// The small loading window shown while start-up loads the skin: loading.bmp, and along its
// bottom a progress strip (left 1, top 139, 10 high) that shows plan.bmp as it widens, one
// pixel a step.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "config/skin_reader.h"

class LoadingWindow {
 public:
  // Opens the hidden 200 x 149 window with the skin's loading.bmp and plan.bmp; strip width 0.
  // The caption is main.ini's Text0, read straight from the file (the texts are not loaded yet).
  explicit LoadingWindow(SkinReader& skin);
  ~LoadingWindow();
  LoadingWindow(const LoadingWindow&) = delete;
  LoadingWindow& operator=(const LoadingWindow&) = delete;

  void Show();
  // One progress step: the strip grows by one pixel (back to 1 after 198) and the window is
  // repainted at once.
  void Advance();
  int32_t StripWidth() const { return stripWidth_; }
  int64_t Steps() const { return steps_; }

 private:
  struct Pictures;
  void Repaint();

  std::unique_ptr<Pictures> pictures_;
  int32_t stripWidth_ = 0;
  int64_t steps_ = 0;
};
