// SPDX-License-Identifier: MIT
// Times of the hot copy and blend routines of rasterkit beside their scalar references and
// memcpy of the same destination bytes, on a whole 720 x 540 screen, a 32 x 32 piece, a
// 20 x 26 digit and a 12 x 17 score glyph. After the runs a table gives the ratios of that one
// run. The library runs its widest path; RASTERKIT_PATH=portable|sse2|avx2 caps it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "raster/rasterkit.h"
#include "raster/reference/reference_blit.h"

namespace {

constexpr uint16_t kKey = 0x7C1F;

// An image of `width` x `height` pixels without row padding.
struct Image {
  int32_t width, height;
  std::vector<uint16_t> pixels;
  Image(int32_t w, int32_t h) : width(w), height(h), pixels(size_t(w) * size_t(h)) {}
  int32_t pitch() const { return 2 * width; }
};

// Screen-like background: smooth colour ramps.
Image Background(int32_t width, int32_t height) {
  Image image(width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      image.pixels[size_t(y) * width + x] = uint16_t(((x / 23) % 32) << 10 | ((y / 17) % 32) << 5 | ((x + y) % 32));
  return image;
}

// The side of the square cells that hold one round figure each: 32 pixels, or less in a
// smaller image.
int32_t CellSide(int32_t width, int32_t height) { return std::min({32, width, height}); }

// Sprites as the game draws them: round figures on the key colour, tiled.
Image Sprites(int32_t width, int32_t height) {
  Image image(width, height);
  const int32_t cell = CellSide(width, height), radius = cell * 15 / 32;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const int32_t dx = x % cell - cell / 2, dy = y % cell - cell / 2;
      const bool inside = dx * dx + dy * dy < radius * radius;
      image.pixels[size_t(y) * width + x] = inside ? uint16_t((x * 7 + y * 3) % 0x7C00 | 0x0401) : kKey;
    }
  }
  return image;
}

// Masks of those sprites: opaque inside, a soft rim, transparent outside.
Image SpriteMasks(int32_t width, int32_t height) {
  Image image(width, height);
  const int32_t cell = CellSide(width, height), outer = cell * 15 / 32, inner = cell * 12 / 32;
  const int32_t rim = outer * outer - inner * inner;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const int32_t dx = x % cell - cell / 2, dy = y % cell - cell / 2, d2 = dx * dx + dy * dy;
      image.pixels[size_t(y) * width + x] = d2 < inner * inner   ? 31
                                            : d2 < outer * outer ? uint16_t(31 - (d2 - inner * inner) * 31 / rim)
                                                                 : 0;
    }
  }
  return image;
}

// The buffers of one size of benchmark; the scaled copy reads a source of half the size.
struct Scene {
  Image dst, src, mask, halfSrc, largerSrc;
  Rect area, halfRect, largerRect;
  Scene(int32_t w, int32_t h)
      : dst(Background(w, h)),
        src(Sprites(w, h)),
        mask(SpriteMasks(w, h)),
        halfSrc(Sprites(w / 2, h / 2)),
        largerSrc(Sprites(w * 3 / 2, h * 3 / 2)),
        area{0, 0, w, h},
        halfRect{0, 0, w / 2, h / 2},
        largerRect{0, 0, w * 3 / 2, h * 3 / 2} {}
};

using Call = std::function<void(Scene&)>;

struct Contender {
  std::string name;  // "rasterkit" or "reference"
  Call call;
};

struct Routine {
  std::string name;
  std::vector<Contender> contenders;
};

// The exported routine and its reference, called alike.
std::vector<Contender> Contenders(Call exported, Call reference) {
  return {{"rasterkit", std::move(exported)}, {"reference", std::move(reference)}};
}

std::vector<Routine> Routines() {
  auto keyed = [](auto routine) {
    return [=](Scene& s) {
      routine(s.dst.pixels.data(), s.dst.pitch(), &s.area, s.src.pixels.data(), s.src.pitch(), 0, 0, kKey, 160);
    };
  };
  auto zoom = [](auto routine, Image Scene::*source, Rect Scene::*sourceRect) {
    return [=](Scene& s) {
      routine(s.dst.pixels.data(), s.dst.pitch(), &s.area, (s.*source).pixels.data(), (s.*source).pitch(),
              &(s.*sourceRect), kKey);
    };
  };
  auto copy = [](auto routine) {
    return [=](Scene& s) {
      routine(s.dst.pixels.data(), s.dst.pitch(), &s.area, s.src.pixels.data(), s.src.pitch(), 0, 0);
    };
  };
  auto keyedCopy = [](auto routine) {
    return [=](Scene& s) {
      routine(s.dst.pixels.data(), s.dst.pitch(), &s.area, s.src.pixels.data(), s.src.pitch(), 0, 0, kKey);
    };
  };
  auto maskBlend = [](auto routine) {
    return [=](Scene& s) {
      routine(s.dst.pixels.data(), s.dst.pitch(), &s.area, s.src.pixels.data(), s.src.pitch(), 0, 0,
              s.mask.pixels.data(), 32);
    };
  };
  return {
      {"GDIBltFast_16", Contenders(copy(GDIBltFast_16), copy(blit_reference::GDIBltFast_16))},
      {"GDIBlt_16", Contenders(keyedCopy(GDIBlt_16), keyedCopy(blit_reference::GDIBlt_16))},
      {"GDIAlphaBlend_16", Contenders(keyed(GDIAlphaBlend_16), keyed(blit_reference::GDIAlphaBlend_16))},
      {"GDIAdditive_16", Contenders(keyed(GDIAdditive_16), keyed(blit_reference::GDIAdditive_16))},
      {"GDIAlphaBlendByAlphaChannel2_16", Contenders(maskBlend(GDIAlphaBlendByAlphaChannel2_16),
                                                     maskBlend(blit_reference::GDIAlphaBlendByAlphaChannel2_16))},
      {"GDIBltZoom_16(x2)", Contenders(zoom(GDIBltZoom_16, &Scene::halfSrc, &Scene::halfRect),
                                       zoom(blit_reference::GDIBltZoom_16, &Scene::halfSrc, &Scene::halfRect))},
      {"GDIBltZoom_16(x2/3)", Contenders(zoom(GDIBltZoom_16, &Scene::largerSrc, &Scene::largerRect),
                                         zoom(blit_reference::GDIBltZoom_16, &Scene::largerSrc, &Scene::largerRect))},
  };
}

struct Size {
  int32_t width, height;
  std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
};

const Size kSizes[] = {{720, 540}, {32, 32}, {20, 26}, {12, 17}};

// Keeps each run's time per iteration while printing as usual.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> nanoseconds;

  void ReportRuns(const std::vector<Run>& runs) override {
    const std::string medianSuffix = "_median";
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      std::string name = run.benchmark_name();
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name != "median") continue;
        name.resize(name.size() - medianSuffix.size());
      }
      nanoseconds[name] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

std::string Key(const std::string& routine, const Size& size, const std::string& contender) {
  return routine + "/" + size.Name() + "/" + contender;
}

void PrintRatios(const std::vector<Routine>& routines, const std::map<std::string, double>& ns) {
  auto find = [&ns](const std::string& key) {
    const auto it = ns.find(key);
    return it == ns.end() ? 0.0 : it->second;
  };
  const char* path = std::getenv("RASTERKIT_PATH");
  std::cout << "\nratios of this run (median CPU times), path " << (path != nullptr ? path : "widest") << "\n";
  std::cout << "routine                          size          ns   reference/rasterkit  rasterkit/memcpy\n";
  for (const Size& size : kSizes) {
    const double memcpyTime = find(Key("memcpy", size, "memcpy"));
    for (const Routine& routine : routines) {
      const double fast = find(Key(routine.name, size, "rasterkit"));
      const double reference = find(Key(routine.name, size, "reference"));
      if (fast <= 0) continue;
      auto ratio = [](double numerator, double denominator) {
        return numerator > 0 ? std::to_string(numerator / denominator).substr(0, 5) : std::string("-");
      };
      char line[256];
      std::snprintf(line, sizeof line, "%-32s %-8s %9.0f %16s %17s\n", routine.name.c_str(), size.Name().c_str(), fast,
                    ratio(reference, fast).c_str(), ratio(fast, memcpyTime).c_str());
      std::cout << line;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Routine> routines = Routines();
  for (const Size& size : kSizes) {
    auto scene = std::make_shared<Scene>(size.width, size.height);
    benchmark::RegisterBenchmark(Key("memcpy", size, "memcpy").c_str(), [scene](benchmark::State& state) {
      Scene& s = *scene;
      for (auto _ : state) {
        std::memcpy(s.dst.pixels.data(), s.src.pixels.data(), s.dst.pixels.size() * 2);
        benchmark::ClobberMemory();
      }
    });
    for (const Routine& routine : routines) {
      for (const Contender& contender : routine.contenders) {
        benchmark::RegisterBenchmark(Key(routine.name, size, contender.name).c_str(),
                                     [scene, call = contender.call](benchmark::State& state) {
                                       for (auto _ : state) {
                                         call(*scene);
                                         benchmark::ClobberMemory();
                                       }
                                     });
      }
    }
  }
  // The machine may be shared: by default every benchmark runs in several repetitions,
  // interleaved at random, and the ratios use the medians. Flags given later override these.
  std::vector<char*> arguments{argv[0]};
  char repetitions[] = "--benchmark_repetitions=5";
  char interleaving[] = "--benchmark_enable_random_interleaving=true";
  char minimumTime[] = "--benchmark_min_time=0.05";
  char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
  arguments.insert(arguments.end(), {repetitions, interleaving, minimumTime, aggregatesOnly});
  arguments.insert(arguments.end(), argv + 1, argv + argc);
  int count = int(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintRatios(routines, reporter.nanoseconds);
  return 0;
}
