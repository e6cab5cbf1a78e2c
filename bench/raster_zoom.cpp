// SPDX-License-Identifier: MIT
// The scaled presentation: the 724 x 544 back buffer zoomed onto the zoom surface of a
// maximised window, 1391 x 1047 (1920 x 1080 display), 2852 x 2141 and 2896 x 2176 (3840 x 2160
// display).
// The change-aware zoom is timed with every pixel changed, with a few sprites changed and with
// nothing changed, and written widened into 32-bit pixels, beside the plain bilinear zoom, its
// scalar reference and memcpy of the destination bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "raster/rasterkit.h"
#include "raster/reference/reference_zoom.h"

namespace {

constexpr int32_t kBackWidth = 724;
constexpr int32_t kBackHeight = 544;

enum class Change { Everything, Sprites, Nothing };

struct Frames {
  std::vector<uint16_t> current, previous, zoomed;
  int32_t dstWidth, dstHeight;

  Frames(int32_t dstWidth, int32_t dstHeight, Change change)
      : current(size_t(kBackWidth) * kBackHeight),
        previous(current.size()),
        zoomed(size_t(dstWidth) * dstHeight),
        dstWidth(dstWidth),
        dstHeight(dstHeight) {
    std::mt19937 rng(42);
    for (uint16_t& pixel : current) pixel = uint16_t(rng() & 0x7FFF);
    previous = current;
    if (change == Change::Everything) {
      for (uint16_t& pixel : previous) pixel ^= 1;
    } else if (change == Change::Sprites) {
      // Eight 48 x 48 sprites moved: about 5% of the screen.
      for (int sprite = 0; sprite < 8; ++sprite) {
        const int32_t left = int32_t(rng() % (kBackWidth - 48)), top = int32_t(rng() % (kBackHeight - 48));
        for (int32_t y = top; y < top + 48; ++y)
          for (int32_t x = left; x < left + 48; ++x) previous[size_t(y) * kBackWidth + x] ^= 0x0421;
      }
    }
  }
};

void SetBytes(benchmark::State& state, const Frames& frames) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(frames.zoomed.size()) * 2);
}

void ZoomPD(benchmark::State& state, Change change) {
  Frames frames(int32_t(state.range(0)), int32_t(state.range(1)), change);
  for (auto _ : state) {
    myZoomPD(frames.zoomed.data(), frames.current.data(), frames.dstWidth, kBackWidth, kBackHeight, frames.dstHeight,
             kBackWidth, frames.dstWidth, frames.previous.data());
    benchmark::ClobberMemory();
  }
  SetBytes(state, frames);
}

void BM_ZoomPD_EverythingChanged(benchmark::State& state) { ZoomPD(state, Change::Everything); }
void BM_ZoomPD_SpritesChanged(benchmark::State& state) { ZoomPD(state, Change::Sprites); }
void BM_ZoomPD_NothingChanged(benchmark::State& state) { ZoomPD(state, Change::Nothing); }

// The same zoom written straight into XRGB8888 pixels, as into a window that lends them.
void BM_ZoomPDWide_EverythingChanged(benchmark::State& state) {
  Frames frames(int32_t(state.range(0)), int32_t(state.range(1)), Change::Everything);
  std::vector<uint32_t> window(frames.zoomed.size());
  for (auto _ : state) {
    myZoomPDWide(window.data(), frames.current.data(), frames.dstWidth, kBackWidth, kBackHeight, frames.dstHeight,
                 kBackWidth, frames.dstWidth, frames.previous.data(), frames.dstWidth, frames.dstHeight);
    benchmark::ClobberMemory();
  }
  SetBytes(state, frames);
}

void BM_ZoomPD_Reference_EverythingChanged(benchmark::State& state) {
  Frames frames(int32_t(state.range(0)), int32_t(state.range(1)), Change::Everything);
  for (auto _ : state) {
    zoom_reference::myZoomPD(frames.zoomed.data(), frames.current.data(), frames.dstWidth, kBackWidth, kBackHeight,
                             frames.dstHeight, kBackWidth, frames.dstWidth, frames.previous.data());
    benchmark::ClobberMemory();
  }
  SetBytes(state, frames);
}

void BM_Zoom3(benchmark::State& state) {
  Frames frames(int32_t(state.range(0)), int32_t(state.range(1)), Change::Everything);
  for (auto _ : state) {
    myZoom3(frames.zoomed.data(), frames.current.data(), frames.dstWidth, kBackWidth, kBackHeight, frames.dstHeight,
            kBackWidth, frames.dstWidth);
    benchmark::ClobberMemory();
  }
  SetBytes(state, frames);
}

void BM_MemcpyDestination(benchmark::State& state) {
  Frames frames(int32_t(state.range(0)), int32_t(state.range(1)), Change::Nothing);
  std::vector<uint16_t> source(frames.zoomed.size(), 0x1234);
  for (auto _ : state) {
    std::memcpy(frames.zoomed.data(), source.data(), source.size() * 2);
    benchmark::ClobberMemory();
  }
  SetBytes(state, frames);
}

#define DISPLAY_SIZES Args({1391, 1047})->Args({2852, 2141})->Args({2896, 2176})->Unit(benchmark::kMicrosecond)

BENCHMARK(BM_ZoomPD_EverythingChanged)->DISPLAY_SIZES;
BENCHMARK(BM_ZoomPD_SpritesChanged)->DISPLAY_SIZES;
BENCHMARK(BM_ZoomPD_NothingChanged)->DISPLAY_SIZES;
BENCHMARK(BM_ZoomPDWide_EverythingChanged)->DISPLAY_SIZES;
BENCHMARK(BM_ZoomPD_Reference_EverythingChanged)->DISPLAY_SIZES;
BENCHMARK(BM_Zoom3)->DISPLAY_SIZES;
BENCHMARK(BM_MemcpyDestination)->DISPLAY_SIZES;

}  // namespace
