// SPDX-License-Identifier: MIT
#include "shell/loading_window.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/game_window.h"
#include "surface/surface.h"

namespace {

constexpr int32_t ClientWidth = 200;
constexpr int32_t ClientHeight = 149;
constexpr int32_t StripLeft = 1;
constexpr int32_t StripTop = 139;
constexpr int32_t StripHeight = 10;
constexpr int32_t StripFull = 198;

// Copies the top-left width x height block of `source` to (x, y) of the window's picture,
// cut to what both hold.
void CopyBlock(const Surface& source, int32_t x, int32_t y, int32_t width, int32_t height,
               std::vector<uint16_t>& picture) {
  if (source.Pixels() == nullptr) return;
  width = std::min({width, static_cast<int32_t>(source.Width()), ClientWidth - x});
  height = std::min({height, static_cast<int32_t>(source.Height()), ClientHeight - y});
  const auto* rows = reinterpret_cast<const uint8_t*>(source.Pixels());
  for (int32_t row = 0; row < height; ++row) {
    std::memcpy(&picture[static_cast<size_t>(y + row) * ClientWidth + x],
                rows + static_cast<size_t>(row) * source.Pitch(),
                static_cast<size_t>(std::max(width, 0)) * sizeof(uint16_t));
  }
}

}  // namespace

struct LoadingWindow::Pictures {
  std::unique_ptr<Platform::GameWindow> window;
  Surface background;  // loading.bmp
  Surface strip;       // plan.bmp
  std::vector<uint16_t> picture = std::vector<uint16_t>(ClientWidth * ClientHeight);
};

LoadingWindow::LoadingWindow(SkinReader& skin) {
  auto pictures = std::make_unique<Pictures>();
  pictures->background.Read(skin.ImagePath() + "loading.bmp");
  pictures->strip.Read(skin.ImagePath() + "plan.bmp");
  std::string caption = skin.MainIni().Read("Texts", "Text0");
  if (caption.empty()) caption = "kestrel";
  pictures->window = Platform::CreateGameWindow({caption, ClientWidth, ClientHeight, false});
  pictures_ = std::move(pictures);
}

LoadingWindow::~LoadingWindow() = default;

void LoadingWindow::Show() {
  pictures_->window->Show();
  Repaint();
}

void LoadingWindow::Advance() {
  ++steps_;
  stripWidth_ = stripWidth_ >= StripFull ? 1 : stripWidth_ + 1;
  Repaint();
}

void LoadingWindow::Repaint() {
  std::vector<uint16_t>& picture = pictures_->picture;
  std::fill(picture.begin(), picture.end(), uint16_t{0});
  CopyBlock(pictures_->background, 0, 0, ClientWidth, ClientHeight, picture);
  CopyBlock(pictures_->strip, StripLeft, StripTop, stripWidth_, StripHeight, picture);
  pictures_->window->PictureTarget()->CopyPixels(picture.data(), ClientWidth * sizeof(uint16_t), ClientWidth,
                                                 ClientHeight, 0, 0);
}
