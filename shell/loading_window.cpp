#include "shell/loading_window.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "shell/main_window.h"
#include "shell/platform/game_window.h"
#include "surface/cgdisurface.h"

namespace {

constexpr int32_t ClientWidth = 200;
constexpr int32_t ClientHeight = 149;
constexpr int32_t StripLeft = 1;
constexpr int32_t StripTop = 139;
constexpr int32_t StripHeight = 10;
constexpr int32_t StripFull = 198;

struct LoadingWindow {
  std::unique_ptr<Platform::GameWindow> window;
  CGDISurface background;  // loading.bmp
  CGDISurface strip;       // plan.bmp
  std::vector<uint16_t> picture = std::vector<uint16_t>(ClientWidth * ClientHeight);
};

Platform::KeptPastExit<LoadingWindow> g_loading;
int32_t g_stripWidth = 0;
int64_t g_steps = 0;

// Copies the top-left width x height block of `source` to (x, y) of the window's picture,
// cut to what both hold.
void CopyBlock(const CGDISurface& source, int32_t x, int32_t y, int32_t width, int32_t height,
               std::vector<uint16_t>& picture) {
  if (source.ptr() == nullptr) return;
  width = std::min({width, static_cast<int32_t>(source.Width()), ClientWidth - x});
  height = std::min({height, static_cast<int32_t>(source.Height()), ClientHeight - y});
  const auto* rows = reinterpret_cast<const uint8_t*>(source.ptr());
  for (int32_t row = 0; row < height; ++row) {
    std::memcpy(&picture[static_cast<size_t>(y + row) * ClientWidth + x], rows + static_cast<size_t>(row) * source.pitch(),
                static_cast<size_t>(std::max(width, 0)) * sizeof(uint16_t));
  }
}

void Repaint() {
  if (g_loading == nullptr) return;
  std::vector<uint16_t>& picture = g_loading->picture;
  std::fill(picture.begin(), picture.end(), uint16_t{0});
  CopyBlock(g_loading->background, 0, 0, ClientWidth, ClientHeight, picture);
  CopyBlock(g_loading->strip, StripLeft, StripTop, g_stripWidth, StripHeight, picture);
  g_loading->window->PictureTarget()->CopyPixels(picture.data(), ClientWidth * sizeof(uint16_t), ClientWidth,
                                                 ClientHeight, 0, 0);
}

}  // namespace

void Frm_Loading::Load() {
  auto loading = std::make_unique<LoadingWindow>();
  loading->background.Read(Shell.ImagePath + "loading.bmp");
  loading->strip.Read(Shell.ImagePath + "plan.bmp");
  // The texts are not loaded yet; the loading window takes the game's caption straight from main.ini.
  std::string caption = Shell.MainIni.GetIniKey("Texts", "Text0");
  if (caption.empty()) caption = "kestrel";
  loading->window = Platform::CreateGameWindow({caption, ClientWidth, ClientHeight, false});
  g_loading.reset(std::move(loading));
  g_stripWidth = 0;
}

void Frm_Loading::Show() {
  if (g_loading == nullptr) return;
  g_loading->window->Show();
  Repaint();
}

void Frm_Loading::Unload() { g_loading.reset(); }

void Frm_Loading::mAddlife() {
  ++g_steps;
  g_stripWidth = g_stripWidth >= StripFull ? 1 : g_stripWidth + 1;
  Repaint();
}

int32_t Frm_Loading::StripWidth() { return g_stripWidth; }
int64_t Frm_Loading::StepCount() { return g_steps; }
void Frm_Loading::ResetStepCount() { g_steps = 0; }
