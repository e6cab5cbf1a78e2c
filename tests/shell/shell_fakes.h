// SPDX-License-Identifier: MIT
// Stand-ins for the machine: a clock that moves only when told, a window that records what
// it was asked, and a presentation target that records what it was given.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/game_window.h"
#include "platform/platform.h"
#include "surface/present_target.h"

// A performance counter of 1 MHz; every sleep moves all clocks forward.
class FakeClock : public Platform::ClockSource {
 public:
  static constexpr int64_t Frequency = 1'000'000;
  FakeClock() { Platform::SetClockSource(this); }
  ~FakeClock() override { Platform::SetClockSource(nullptr); }
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  void AdvanceMicroseconds(int64_t us) { counter += us; }
  void AdvanceMilliseconds(int64_t ms) { counter += ms * 1000; }

  int64_t PerformanceCounter() override { return counter; }
  int64_t PerformanceFrequency() override { return Frequency; }
  void Sleep(uint32_t milliseconds) override { AdvanceMilliseconds(milliseconds); }
  double SecondsOfDay() override { return 0; }

  int64_t counter = 5'000'000;
};

struct PresentedBlock {
  std::vector<uint16_t> pixels;  // width x height, rows packed
  int32_t width = 0, height = 0, x = 0, y = 0;
  uint16_t At(int32_t px, int32_t py) const { return pixels[static_cast<size_t>(py) * width + px]; }
};

class RecordingTarget final : public PresentTarget {
 public:
  void CopyPixels(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x,
                  int32_t y) override {
    PresentedBlock block{{}, width, height, x, y};
    for (int32_t row = 0; row < height; ++row) {
      const auto* line = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                           static_cast<size_t>(row) * pitch);
      block.pixels.insert(block.pixels.end(), line, line + width);
    }
    blocks.push_back(std::move(block));
  }
  std::vector<PresentedBlock> blocks;
};

// A window whose state, size and cursor the test sets, and whose events the test queues.
class FakeWindow final : public Platform::GameWindow {
 public:
  explicit FakeWindow(const Platform::WindowSpec& request)
      : caption(request.Caption), clientWidth(request.ClientWidth), clientHeight(request.ClientHeight) {
    placement = {0, 0, request.ClientWidth, request.ClientHeight};
  }
  void Show() override { ++showCount; }
  void Minimise() override { ++minimiseCount; }
  Platform::WindowState State() const override { return state; }
  void ClientSize(int32_t& width, int32_t& height) const override {
    width = clientWidth;
    height = clientHeight;
  }
  void SetClientSize(int32_t width, int32_t height) override {
    clientWidth = width;
    clientHeight = height;
  }
  // Full screen on a screen of screenWidth x screenHeight; off, back to the state before.
  void SetFullScreen(bool on) override {
    if (on == (state == Platform::WindowState::FullScreen)) return;
    if (on) {
      before = {state, clientWidth, clientHeight};
      state = Platform::WindowState::FullScreen;
      clientWidth = screenWidth;
      clientHeight = screenHeight;
    } else {
      std::tie(state, clientWidth, clientHeight) = before;
    }
  }
  void CursorInClient(int32_t& x, int32_t& y) const override {
    x = cursorX;
    y = cursorY;
  }
  void SetPictureCursor(Platform::CursorHandle cursor) override { cursors.push_back(cursor); }
  void SetPicturePlacement(const Platform::PictureRect& rect) override { placement = rect; }
  Platform::PictureRect PicturePlacement() const override { return placement; }
  PresentTarget* PictureTarget() override { return &target; }
  void DispatchEvents(Platform::WindowEventSink& sink) override {
    auto events = std::move(queued);
    queued.clear();
    for (auto& event : events) event(sink);
  }

  std::string caption;
  int32_t clientWidth, clientHeight;
  Platform::WindowState state = Platform::WindowState::Normal;
  int32_t cursorX = 0, cursorY = 0;
  int32_t screenWidth = 1920, screenHeight = 1080;
  std::tuple<Platform::WindowState, int32_t, int32_t> before;
  Platform::PictureRect placement;
  std::vector<Platform::CursorHandle> cursors;
  int showCount = 0, minimiseCount = 0;
  RecordingTarget target;
  std::vector<std::function<void(Platform::WindowEventSink&)>> queued;
};

// While alive, every window the game makes is a FakeWindow; `windows` lists them in order.
class FakeWindows {
 public:
  FakeWindows() {
    Platform::SetWindowFactory([this](const Platform::WindowSpec& request) {
      auto window = std::make_unique<FakeWindow>(request);
      windows.push_back(window.get());
      return window;
    });
  }
  ~FakeWindows() { Platform::SetWindowFactory({}); }
  FakeWindows(const FakeWindows&) = delete;
  FakeWindows& operator=(const FakeWindows&) = delete;

  FakeWindow& Last() { return *windows.back(); }
  std::vector<FakeWindow*> windows;  // owned by whoever made them
};

class RecordingOpener final : public Platform::AddressOpener {
 public:
  RecordingOpener() { Platform::SetAddressOpener(this); }
  ~RecordingOpener() override { Platform::SetAddressOpener(nullptr); }
  RecordingOpener(const RecordingOpener&) = delete;
  RecordingOpener& operator=(const RecordingOpener&) = delete;
  void Open(const std::string& address) override { opened.push_back(address); }
  std::vector<std::string> opened;
};
