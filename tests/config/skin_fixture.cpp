// SPDX-License-Identifier: MIT
#include "skin_fixture.h"

#include <SDL.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "audio/audio.h"
#include "config/images.h"
#include "config/skin_loaders.h"

namespace fs = std::filesystem;

void IniTable::Set(const std::string& section, const std::string& key, const std::string& value) {
  for (auto& [name, keys] : sections_) {
    if (name != section) continue;
    for (auto& [k, v] : keys) {
      if (k == key) {
        v = value;
        return;
      }
    }
    keys.emplace_back(key, value);
    return;
  }
  sections_.push_back({section, {{key, value}}});
}

void IniTable::Remove(const std::string& section, const std::string& key) {
  for (auto& [name, keys] : sections_) {
    if (name == section) std::erase_if(keys, [&](const auto& entry) { return entry.first == key; });
  }
}

std::string IniTable::Get(const std::string& section, const std::string& key) const {
  for (const auto& [name, keys] : sections_) {
    if (name != section) continue;
    for (const auto& [k, v] : keys) {
      if (k == key) return v;
    }
  }
  return {};
}

std::vector<std::pair<std::string, std::string>> IniTable::Keys() const {
  std::vector<std::pair<std::string, std::string>> all;
  for (const auto& [name, keys] : sections_) {
    for (const auto& entry : keys) all.emplace_back(name, entry.first);
  }
  return all;
}

std::string IniTable::Text() const {
  std::ostringstream out;
  for (const auto& [name, keys] : sections_) {
    out << '[' << name << "]\n";
    for (const auto& [k, v] : keys) out << k << '=' << v << '\n';
  }
  return out.str();
}

void IniTable::Write(const fs::path& path) const { std::ofstream(path, std::ios::binary) << Text(); }

namespace {

int g_fixtureSerial = 0;

void SetKeys(IniTable& ini, const std::string& section, std::initializer_list<std::pair<const char*, int>> keys) {
  for (const auto& [key, value] : keys) ini.Set(section, key, std::to_string(value));
}

}  // namespace

SkinFixture::SkinFixture() {
  dir_ = fs::temp_directory_path() /
         ("kestrel_skin_" + std::to_string(::getpid()) + "_" + std::to_string(g_fixtureSerial++));
  fs::remove_all(dir_);
  fs::create_directories(dir_ / "images");
  fs::create_directories(dir_ / "sounds");

  IniTable& ini = MainIni;
  ini.Set("MainSettings", "ImagesDir", "\\images\\");
  // Every coordinate differs, so a value read under the wrong key shows.
  SetKeys(ini, "MainSettings",
          {{"MaxTexts", 3},     {"MaxMouseStyle", 2}, {"ButtonMinAlpha", 8}, {"MaxButton", 4},    {"CheckX0", 101},
           {"CheckX1", 102},    {"CheckY0", 103},     {"CheckY1", 104},      {"C_CheckX00", 111}, {"C_CheckX01", 112},
           {"C_CheckX10", 113}, {"C_CheckX11", 114},  {"C_CheckY00", 115},   {"C_CheckY01", 116}, {"C_CheckY10", 117},
           {"C_CheckY11", 118}, {"VolX0", 121},       {"VolX1", 122},        {"VolY0", 123},      {"VolY1", 124},
           {"ShowStageX", 131}, {"ShowStageY", 132},  {"ShowScoreX", 133},   {"ShowScoreY", 134}, {"MaxSounds", 2},
           {"MaxBackMusic", 4}});
  ini.Set("Texts", "Text0", "Fixture Falls");
  ini.Set("Texts", "Text1", "http://example.org/one");
  ini.Set("Texts", "Text2", "second text");
  ini.Set("Texts", "Text3", "third text");
  SetKeys(ini, "TitleButton",
          {{"MaxButton", 2},
           {"Button0", 0},
           {"Button0_X", 10},
           {"Button0_Y", 20},
           {"Button1", 1},
           {"Button1_X", 30},
           {"Button1_Y", 40},
           {"Button2", 2},
           {"Button2_X", 50},
           {"Button2_Y", 60}});
  SetKeys(ini, "SelectStageButton",
          {{"MaxButton", 1},
           {"Button0", 3},
           {"Button0_X", 70},
           {"Button0_Y", 80},
           {"Button1", 0},
           {"Button1_X", 90},
           {"Button1_Y", 100}});
  SetKeys(ini, "GameButton", {{"MaxButton", 4}});
  for (int i = 0; i <= 4; ++i) {
    const std::string n = std::to_string(i);
    SetKeys(ini, "GameButton",
            {{("Button" + n).c_str(), i},
             {("Button" + n + "_X").c_str(), 600 + i},
             {("Button" + n + "_Y").c_str(), 400 + 20 * i}});
  }
  SetKeys(ini, "ADPIC", {{"MaxAD", 1}, {"ADShowX", 500}, {"ADShowY", 480}});
  ini.Set("ADPIC", "ADUrl0", "http://example.org/ad0");
  ini.Set("ADPIC", "ADUrl1", "http://example.org/ad1");
  WriteMainIni();

  // Images: each gets a size of its own, counting up.
  int serial = 0;
  auto image = [&](const std::string& file) {
    ++serial;
    WriteImage(file, ImageSize{8 + serial, 4 + (serial * 7) % 23});
  };
  // Button looks: 0 and 4 normal + highlight, 1 masked, 2 plain, 3 plain although butc3 exists.
  for (const char* file :
       {"but0.bmp", "butm0.bmp", "butc0.bmp", "butcm0.bmp", "but1.bmp", "butm1.bmp", "but2.bmp", "but3.bmp",
        "butc3.bmp", "but4.bmp", "butm4.bmp", "butc4.bmp", "butcm4.bmp", "ad0.bmp", "ad1.bmp"}) {
    image(file);
  }
  for (const char* file : {"check0.bmp", "check0m.bmp", "check1.bmp", "check1m.bmp", "volume.bmp", "movenum0.bmp",
                           "movenum1.bmp", "score0.bmp", "score1.bmp", "stage0.bmp", "stage1.bmp"}) {
    image(file);
  }
  image("tit_bk.bmp");
  for (int i = 0; i <= 2; ++i) {
    const std::string n = std::to_string(i);
    image("s" + n + ".bmp");
    image("s" + n + "m.bmp");
    image("sb" + n + ".bmp");
    image("sb" + n + "m.bmp");
  }
  image("background.bmp");
  for (const char* stem : {"tit_logo", "diff", "timenum", "pause", "gameover", "nextstage", "exit", "newgame", "angel",
                           "selbk", "selpoint", "slediff"}) {
    for (int i = 0; i <= 1; ++i) image(stem + std::to_string(i) + ".bmp");
  }
  image("help.bmp");
  for (int i = 0; i <= 2; ++i) image("selmus" + std::to_string(i) + ".bmp");

  WriteTone(dir_ / "sounds" / "sound0.ogg", 0.1);
  WriteTone(dir_ / "sounds" / "sound2.ogg", 0.1);
  std::ofstream(dir_ / "sounds" / "sound1.ogg") << "not a sound";
}

SkinFixture::~SkinFixture() {
  std::error_code error;
  fs::remove_all(dir_, error);
}

void SkinFixture::WriteMainIni() const { MainIni.Write(dir_ / "main.ini"); }

void SkinFixture::WriteImage(const std::string& file, ImageSize size, int64_t rgb) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, size.Width, size.Height, 24, SDL_PIXELFORMAT_RGB24);
  if (surface == nullptr) throw std::runtime_error(SDL_GetError());
  const Uint8 red = rgb < 0 ? static_cast<Uint8>(size.Width * 5) : static_cast<Uint8>(rgb >> 16);
  const Uint8 green = rgb < 0 ? 90 : static_cast<Uint8>(rgb >> 8), blue = rgb < 0 ? 200 : static_cast<Uint8>(rgb);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, red, green, blue));
  int saved = SDL_SaveBMP(surface, (ImagesDirectory() / file).c_str());
  SDL_FreeSurface(surface);
  if (saved != 0) throw std::runtime_error(SDL_GetError());
  sizes_[file] = size;
}

void SkinFixture::RemoveImage(const std::string& file) const { fs::remove(ImagesDirectory() / file); }

std::vector<std::string> SkinFixture::ImageFiles() const {
  std::vector<std::string> files;
  for (const auto& entry : sizes_) files.push_back(entry.first);
  return files;
}

Startup::Startup(const fs::path& directory) : Reader(directory.string()), Files(PlayerFilesIn(directory.string())) {
  Reader.ReportProgress([this] { ++Steps; });
}

void Startup::RunLoaders() {
  LoadTexts(Reader, Look);
  LoadCursors(Reader, Look);
  if (Reader.MainIni().Read("GameButton", "Button4") != "4") Reader.MainIni().Write("GameButton", "Button4", "4");
  LoadButtonImages(Reader, Look);
  LoadUserSettings(Files, Player, Look.Layout.Texts.empty() ? std::string() : Look.Layout.Texts[0]);
  LoadLayout(Reader, Look);
  LoadGameImages(Reader, Look.Images);
  LoadExtraScreens(Reader, Look);
  OpenAudioDevice();
  LoadSounds(Reader, Look);
  LoadButtons("TitleButton");
}

void Startup::LoadButtons(const std::string& section) { Buttons = LoadScreenButtons(Reader, Look, section); }

void WriteTone(const fs::path& path, double seconds) {
  const uint32_t rate = 44100;
  const uint32_t frames = static_cast<uint32_t>(seconds * rate);
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + frames * 2);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(1);
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  out.write("data", 4);
  u32(frames * 2);
  for (uint32_t i = 0; i < frames; ++i) u16(static_cast<uint16_t>(static_cast<int16_t>(6000 * std::sin(i * 0.06))));
}
