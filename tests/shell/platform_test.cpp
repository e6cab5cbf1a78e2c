#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "shell/command_line.h"
#include "shell/locations.h"
#include "shell/platform/cursor_file.h"
#include "shell/platform/platform.h"
#include "shell/runtime.h"
#include "shell_fakes.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A one-image cursor file. `colour(x, y)` gives the pixel (ARGB for 24/32 bits, the palette
// index otherwise), `masked(x, y)` its AND-mask bit; rows are written bottom first.
template <typename Colour, typename Masked>
std::vector<uint8_t> MakeCursor(int32_t width, int32_t height, uint32_t bits, uint32_t hotX, uint32_t hotY,
                                Colour colour, Masked masked, const std::vector<uint32_t>& palette = {}) {
  std::vector<uint8_t> dib;
  Put32(dib, 40);
  Put32(dib, static_cast<uint32_t>(width));
  Put32(dib, static_cast<uint32_t>(height * 2));
  Put16(dib, 1);
  Put16(dib, bits);
  for (int i = 0; i < 4; ++i) Put32(dib, 0);
  Put32(dib, static_cast<uint32_t>(palette.size()));
  Put32(dib, 0);
  for (uint32_t entry : palette) Put32(dib, entry);
  const size_t colourRow = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  for (int32_t y = height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(colourRow, 0);
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t value = colour(x, y);
      if (bits == 32 || bits == 24) {
        const size_t at = static_cast<size_t>(x) * (bits / 8);
        row[at] = value & 0xFF;
        row[at + 1] = (value >> 8) & 0xFF;
        row[at + 2] = (value >> 16) & 0xFF;
        if (bits == 32) row[at + 3] = value >> 24;
      } else {
        const size_t bit = static_cast<size_t>(x) * bits;
        row[bit / 8] |= static_cast<uint8_t>(value << (8 - bits - bit % 8));
      }
    }
    dib.insert(dib.end(), row.begin(), row.end());
  }
  const size_t maskRow = (static_cast<size_t>(width) + 31) / 32 * 4;
  for (int32_t y = height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskRow, 0);
    for (int32_t x = 0; x < width; ++x) {
      if (masked(x, y)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    dib.insert(dib.end(), row.begin(), row.end());
  }
  std::vector<uint8_t> file;
  Put16(file, 0);
  Put16(file, 2);
  Put16(file, 1);
  file.push_back(static_cast<uint8_t>(width));
  file.push_back(static_cast<uint8_t>(height));
  file.push_back(0);
  file.push_back(0);
  Put16(file, hotX);
  Put16(file, hotY);
  Put32(file, static_cast<uint32_t>(dib.size()));
  Put32(file, 22);
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

const auto NoMask = [](int32_t, int32_t) { return false; };

std::vector<uint8_t> SampleCursor() {
  return MakeCursor(
      32, 32, 32, 5, 7, [](int32_t x, int32_t y) { return x == y ? 0xFF00FF00u : (x < 4 ? 0x80FF0000u : 0u); },
      NoMask);
}

}  // namespace

TEST(CursorFile, DecodesEveryDepthWithHotspotFromTheFile) {
  // 32 bits: the alpha channel says what shows; the rows come out top first.
  const auto argb = Platform::DecodeCursorFile(SampleCursor());
  ASSERT_TRUE(argb);
  EXPECT_EQ(argb->Width, 32);
  EXPECT_EQ(argb->Height, 32);
  EXPECT_EQ(argb->HotspotX, 5);
  EXPECT_EQ(argb->HotspotY, 7);
  EXPECT_EQ(argb->Pixels[3 * 32 + 3], 0xFF00FF00u);
  EXPECT_EQ(argb->Pixels[9 * 32 + 1], 0x80FF0000u);
  EXPECT_EQ(argb->Pixels[9 * 32 + 20], 0u);

  // 24 bits: opaque where the AND mask is clear.
  const auto rgb = Platform::DecodeCursorFile(MakeCursor(
      16, 8, 24, 1, 2, [](int32_t x, int32_t) { return x < 8 ? 0x123456u : 0xABCDEFu; },
      [](int32_t, int32_t y) { return y == 0; }));
  ASSERT_TRUE(rgb);
  EXPECT_EQ(rgb->Height, 8);
  EXPECT_EQ(rgb->Pixels[0], 0u);
  EXPECT_EQ(rgb->Pixels[16 * 7 + 2], 0xFF123456u);
  EXPECT_EQ(rgb->Pixels[16 * 7 + 12], 0xFFABCDEFu);

  // Palette depths: 1, 4 and 8 bits, odd widths.
  for (uint32_t bits : {1u, 4u, 8u}) {
    const std::vector<uint32_t> palette = {0x000000, 0xFFFFFF, 0x00FF00};
    const uint32_t last = bits == 1 ? 1 : 2;
    const auto indexed = Platform::DecodeCursorFile(MakeCursor(
        13, 5, bits, 40, 40, [&](int32_t x, int32_t y) { return (x + y) % 2 == 0 ? last : 0u; },
        [](int32_t x, int32_t) { return x == 12; }, bits == 1 ? std::vector<uint32_t>{0, 0xFFFFFF} : palette));
    ASSERT_TRUE(indexed) << bits;
    EXPECT_EQ(indexed->Pixels[0], bits == 1 ? 0xFFFFFFFFu : 0xFF00FF00u) << bits;
    EXPECT_EQ(indexed->Pixels[1], 0xFF000000u) << bits;
    EXPECT_EQ(indexed->Pixels[12], 0u) << bits;
    // A hotspot outside the picture is moved onto its last pixel.
    EXPECT_EQ(indexed->HotspotX, 12);
    EXPECT_EQ(indexed->HotspotY, 4);
  }

  // Not a cursor: an icon directory, an empty file, a compressed bitmap.
  std::vector<uint8_t> icon = SampleCursor();
  icon[2] = 1;
  EXPECT_FALSE(Platform::DecodeCursorFile(icon));
  EXPECT_FALSE(Platform::DecodeCursorFile({}));
  std::vector<uint8_t> compressed = SampleCursor();
  compressed[22 + 16] = 1;
  EXPECT_FALSE(Platform::DecodeCursorFile(compressed));
}

TEST(CursorFile, MutatedFilesNeverCrash) {
  const std::vector<std::vector<uint8_t>> seeds = {
      SampleCursor(),
      MakeCursor(
          9, 3, 4, 0, 0, [](int32_t x, int32_t) { return static_cast<uint32_t>(x % 16); }, NoMask,
          std::vector<uint32_t>(16, 0x808080)),
      MakeCursor(
          17, 17, 24, 3, 3, [](int32_t, int32_t) { return 0xFFFFFFu; }, NoMask),
  };
  std::mt19937 random(1234);
  int decoded = 0;
  for (int trial = 0; trial < 6000; ++trial) {
    std::vector<uint8_t> bytes = seeds[trial % seeds.size()];
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits; ++e) {
      const size_t at = random() % bytes.size();
      switch (random() % 4) {
        case 0: bytes[at] = static_cast<uint8_t>(random()); break;
        case 1: bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
        case 2: bytes.resize(at + 1); break;
        default: bytes[std::min<size_t>(at, 40)] = 0xFF; break;
      }
    }
    const auto image = Platform::DecodeCursorFile(bytes);
    if (!image) continue;
    ++decoded;
    ASSERT_EQ(image->Pixels.size(), static_cast<size_t>(image->Width) * image->Height);
    ASSERT_GE(image->HotspotX, 0);
    ASSERT_LT(image->HotspotX, image->Width);
    ASSERT_LT(image->HotspotY, image->Height);
  }
  EXPECT_GT(decoded, 0);
}

TEST(CursorFile, LoadsIntoACursorOrZero) {
  const auto path = std::filesystem::temp_directory_path() / ("kestrel_cursor_" + std::to_string(::getpid()) + ".cur");
  {
    const std::vector<uint8_t> bytes = SampleCursor();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
  }
  // The dummy video driver makes no cursors at all; a real display does.
  const Platform::CursorHandle cursor = Platform::LoadCursorFromFile(path.string());
  const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
  if (driver != "dummy" && driver != "offscreen") {
    EXPECT_NE(cursor, 0u);
  }
  {
    std::ofstream(path, std::ios::binary) << "not a cursor";
  }
  EXPECT_EQ(Platform::LoadCursorFromFile(path.string()), 0u);
  std::filesystem::remove(path);
  EXPECT_EQ(Platform::LoadCursorFromFile(path.string()), 0u);

  // Refused by name: a folder, and a 91-byte cursor whose PNG declares 30000 x 30000.
  auto refusal = [&] {
    try {
      Platform::LoadCursorFromFile(path.string());
    } catch (const RuntimeError& error) {
      return std::string(error.what());
    }
    return std::string("no refusal");
  };
  std::filesystem::create_directory(path);
  EXPECT_EQ(refusal(), path.string() + " is not a regular file");
  std::filesystem::remove(path);
  std::vector<uint8_t> png = {0, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 69, 0, 0, 0, 22, 0, 0, 0,
                              0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                              0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30, 8, 6, 0, 0, 0};
  png.resize(91, 0);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), 91);
  EXPECT_NE(refusal().find(path.string() + " holds a picture of 30000 x 30000 pixels"), std::string::npos) << refusal();
  std::filesystem::remove(path);
}

TEST(Platform, OpenAddressSkipsEmptyAddresses) {
  RecordingOpener opener;
  Platform::OpenAddress("");
  Platform::OpenAddress("https://example.com/kestrel");
  ASSERT_EQ(opener.opened.size(), 1u);
  EXPECT_EQ(opener.opened[0], "https://example.com/kestrel");
}

TEST(Platform, AnAddressWithNothingToOpenItIsNamedOnStderr) {
  const char* path = std::getenv("PATH");
  ASSERT_NE(path, nullptr);
  const std::string searchPath = path;
  setenv("PATH", "/nonexistent", 1);
  testing::internal::CaptureStderr();
  Platform::OpenAddress("https://example.com/kestrel");
  const std::string said = testing::internal::GetCapturedStderr();
  setenv("PATH", searchPath.c_str(), 1);
  EXPECT_NE(said.find("cannot open https://example.com/kestrel: no xdg-open"), std::string::npos) << said;
}

TEST(Platform, DateAndTimeOfDayAgreeWithTheSystemClock) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const double expectedDays = static_cast<double>(now + local.tm_gmtoff) / 86400.0 + 25569.0;
  EXPECT_NEAR(Platform::CurrentDateTime(), expectedDays, 5.0 / 86400.0);
  const double seconds = Platform::SecondsOfDay();
  EXPECT_GE(seconds, 0.0);
  EXPECT_LT(seconds, 86400.0);
  EXPECT_NEAR(std::fmod(Platform::CurrentDateTime(), 1.0) * 86400.0, seconds, 5.0);
}

namespace {

namespace fs = std::filesystem;

// A fresh folder with a main.ini at each of the given places below it.
struct Tree {
  fs::path root = fs::temp_directory_path() / ("kestrel_locations_" + std::to_string(::getpid()));
  explicit Tree(std::initializer_list<fs::path> skins) {
    fs::remove_all(root);
    for (const fs::path& skin : skins) {
      fs::create_directories(root / skin);
      std::ofstream(root / skin / "main.ini") << "[MainSettings]\n";
    }
  }
  ~Tree() { fs::remove_all(root); }
  std::string operator/(const fs::path& below) const { return (root / below).lexically_normal().string(); }
};

}  // namespace

TEST(Locations, TheBuildTreeKeepsEverythingBesideTheProgram) {
  Tree tree({"bin"});
  const Locations::Folders folders = Locations::Decide(tree / "bin", {}, {"/xdg", "/home/p"});
  EXPECT_FALSE(folders.SkinReadOnly);
  for (const std::string& folder : {folders.Library, folders.Skin, folders.Player}) EXPECT_EQ(folder, tree / "bin");

  const Locations::Folders chosen = Locations::Decide(tree / "bin/", {"other", tree / "data/"}, {});
  EXPECT_EQ(chosen.Skin, fs::absolute("other").string());
  EXPECT_EQ(chosen.Player, tree / "data");
  EXPECT_EQ(chosen.Library, tree / "bin");
}

TEST(Locations, AnInstalledProgramReadsItsSkinAndKeepsThePlayersFilesInTheDataHome) {
  Tree tree({fs::path("games") / Locations::SkinFromProgram()});
  const std::string program = tree / "games";
  Locations::Folders folders = Locations::Decide(program, {}, {"/xdg", "/home/p"});
  EXPECT_TRUE(Locations::IsInstalledLayout(program));
  EXPECT_TRUE(folders.SkinReadOnly);
  EXPECT_EQ(folders.Skin, tree / (fs::path("games") / Locations::SkinFromProgram()));
  EXPECT_EQ(folders.Library, tree / (fs::path("games") / Locations::LibraryFromProgram()));
  EXPECT_EQ(folders.Player, "/xdg/kestrel");
  // An unset or relative XDG_DATA_HOME is ignored.
  EXPECT_EQ(Locations::Decide(program, {}, {"", "/home/p"}).Player, "/home/p/.local/share/kestrel");
  EXPECT_EQ(Locations::Decide(program, {}, {"rel", "/home/p/"}).Player, "/home/p/.local/share/kestrel");
  EXPECT_EQ(Locations::Decide(program, {}, {"", ""}).Player, "");
  folders = Locations::Decide(program, {"/skins/mine", "/tmp/p"}, {"/xdg", "/home/p"});
  EXPECT_EQ(folders.Skin, "/skins/mine");
  EXPECT_FALSE(folders.SkinReadOnly);
  EXPECT_EQ(folders.Player, "/tmp/p");

  // A skin that comes with the game is chosen by name and stays read-only; "default" is the
  // layout's own.
  const fs::path skin = fs::path("games") / Locations::SkinFromProgram();
  Tree kept({skin, skin / Locations::SkinsFromSkin / "high-contrast"});
  folders = Locations::Decide(kept / "games", {"high-contrast", ""}, {});
  EXPECT_EQ(folders.Skin, kept / (skin / Locations::SkinsFromSkin / "high-contrast"));
  EXPECT_TRUE(folders.SkinReadOnly);
  EXPECT_EQ(Locations::Decide(kept / "games", {"default", ""}, {}).Skin, kept / skin);

  // main.ini beside the program makes it a build tree again.
  Tree both({"games", fs::path("games") / Locations::SkinFromProgram()});
  EXPECT_FALSE(Locations::IsInstalledLayout(both / "games"));
}

TEST(Locations, ThePlayersFolderIsCreatedOrTheReasonNamed) {
  const Locations::Folders saved = Locations::Current();
  Tree tree({"x"});
  Locations::Use(Locations::Decide(tree / "x", {"", tree / "a/b/c"}, {}));
  Locations::PreparePlayerDirectory();
  EXPECT_TRUE(fs::is_directory(tree / "a/b/c"));
  for (const std::string& bad : {tree / "x/main.ini", tree / "x/main.ini/sub"}) {
    Locations::Use(Locations::Decide(tree / "x", {"", bad}, {}));
    try {
      Locations::PreparePlayerDirectory();
      ADD_FAILURE() << bad;
    } catch (const RuntimeError& error) {
      EXPECT_NE(std::string(error.what()).find(bad + ", cannot be created: "), std::string::npos) << error.what();
    }
  }
  Locations::Use(Locations::Folders{});  // no HOME, no XDG_DATA_HOME
  EXPECT_THROW(Locations::PreparePlayerDirectory(), RuntimeError);
  Locations::Use(saved);
}

TEST(CommandLine, ReadsItsOptionsAndRefusesAnythingElse) {
  using Action = CommandLine::Action;
  EXPECT_EQ(ParseCommandLine({}).What, Action::Play);
  EXPECT_EQ(ParseCommandLine({"--skin", "s", "--help"}).What, Action::Help);
  EXPECT_EQ(ParseCommandLine({"-h"}).What, Action::Help);
  EXPECT_EQ(ParseCommandLine({"--version"}).What, Action::Version);
  const CommandLine line = ParseCommandLine({"--skin", "s", "--data-dir=d"});
  EXPECT_EQ(line.What, Action::Play);
  EXPECT_EQ(line.Choices.Skin, "s");
  EXPECT_EQ(line.Choices.Data, "d");
  EXPECT_FALSE(line.FullScreen.has_value());
  EXPECT_EQ(ParseCommandLine({"--windowed", "--fullscreen"}).FullScreen, true) << "the last word counts";
  EXPECT_EQ(ParseCommandLine({"--fullscreen", "--windowed"}).FullScreen, false);
  const CommandLine check = ParseCommandLine({"--check-skin=s"});
  EXPECT_EQ(check.What, Action::CheckSkin);
  EXPECT_EQ(check.Choices.Skin, "s");
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--full-screen"}, {"-x"}, {"level3"}, {"--skin"}, {"--data-dir="}, {"--check-skin"}}) {
    EXPECT_EQ(ParseCommandLine(bad).What, Action::Refuse) << bad[0];
  }

  const char* unknown[] = {"kestrel", "--full-screen"};
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCommandLine(2, unknown), 2);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("unknown option '--full-screen'"), std::string::npos);
}

TEST(CommandLine, APlayersFolderThatCannotBeMadeStopsTheStartWithStatusOne) {
  const Locations::Folders saved = Locations::Current();
  Tree tree({"x"});
  const std::string bad = tree / "x/main.ini/kestrel";
  const char* arguments[] = {"kestrel", "--data-dir", bad.c_str()};
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCommandLine(3, arguments), 1);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("The game cannot start."), std::string::npos) << said;
  EXPECT_NE(said.find(bad), std::string::npos) << said;
  Locations::Use(saved);
}
