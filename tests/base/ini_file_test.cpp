// SPDX-License-Identifier: MIT
#include "base/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/runtime.h"

namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrel_ini_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "test.ini").string();
    ini_ = IniFile(path_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteFile(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string ReadFile() const {
    std::ifstream file(path_, std::ios::binary);
    std::stringstream buffer;
    buffer << file.rdbuf();
    return buffer.str();
  }

  fs::path dir_;
  std::string path_;
  IniFile ini_;
};

TEST_F(IniFileTest, ReadsValuesLikeTheProfileFunctions) {
  WriteFile(
      "; a comment\n"
      "[Main]\n"
      "Plain=42\n"
      "  Spaced  =   some text   \n"
      "Empty=\n"
      "NoEquals\n"
      "[Other]\n"
      "Plain=7\n"
      "[main]\n"
      "Plain=shadowed by the first section\n");
  EXPECT_EQ(ini_.Read("Main", "Plain"), "42");
  EXPECT_EQ(ini_.Read("MAIN", "plain"), "42");  // names match without regard to case
  EXPECT_EQ(ini_.Read("Main", "Spaced"), "some text");
  EXPECT_EQ(ini_.Read("Main", "Empty"), "");
  EXPECT_EQ(ini_.Read("Main", "Missing"), "");
  EXPECT_EQ(ini_.Read("Main", "NoEquals"), "");
  EXPECT_EQ(ini_.Read("Missing", "Plain"), "");
  EXPECT_EQ(ini_.Read("Other", "Plain"), "7");

  IniFile absent((dir_ / "absent.ini").string());
  EXPECT_EQ(absent.Read("Main", "Plain"), "");
  EXPECT_FALSE(fs::exists(dir_ / "absent.ini"));
}

TEST_F(IniFileTest, LongValuesAreCutAt1023Characters) {
  std::string value(1100, 'x');
  value[1022] = 'y';
  ini_.Write("S", "Long", value);
  std::string read = ini_.Read("S", "Long");
  ASSERT_EQ(read.size(), 1023u);
  EXPECT_EQ(read.back(), 'y');
}

TEST_F(IniFileTest, WritesCreateTheFileAndKeepEveryOtherLine) {
  ini_.Write("GameButton", "Button4", "4");
  EXPECT_EQ(ReadFile(), "[GameButton]\nButton4=4\n");

  WriteFile(
      "; skin by somebody\r\n"
      "[MainSettings]\r\n"
      "ImagesDir=/images/\r\n"
      "\r\n"
      "[GameButton]\r\n"
      "MaxButton=8\r\n"
      "button4=9 ; old\r\n"
      "Button5=5\r\n"
      "\r\n"
      "[Texts]\r\n"
      "Text0=Kestrel\r\n");
  ini_.Write("GameButton", "Button4", "4");
  ini_.Write("MainSettings", "New", "x");
  ini_.Write("Added", "Key", "v");
  EXPECT_EQ(ReadFile(),
            "; skin by somebody\r\n"
            "[MainSettings]\r\n"
            "ImagesDir=/images/\r\n"
            "New=x\r\n"
            "\r\n"
            "[GameButton]\r\n"
            "MaxButton=8\r\n"
            "Button4=4\r\n"
            "Button5=5\r\n"
            "\r\n"
            "[Texts]\r\n"
            "Text0=Kestrel\r\n"
            "[Added]\r\n"
            "Key=v\r\n");
  // Nothing of the temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, AWriteIsSeenByEveryInstanceAtOnce) {
  IniFile other(path_);
  ini_.Write("S", "K", "1");
  EXPECT_EQ(other.Read("S", "K"), "1");
  other.Write("S", "K", "2");
  EXPECT_EQ(ini_.Read("S", "K"), "2");
}

TEST_F(IniFileTest, ValuesStayOnOneLine) {
  ini_.Write("S", "K", "two\nlines");
  ini_.Write("S", "After", "x");
  EXPECT_EQ(ini_.Read("S", "K"), "two lines");
  EXPECT_EQ(ini_.Read("S", "After"), "x");
}

TEST_F(IniFileTest, AWriteToAnUnwritablePlaceChangesNothing) {
  IniFile nowhere((dir_ / "no" / "such" / "dir.ini").string());
  nowhere.Write("S", "K", "v");
  EXPECT_EQ(nowhere.Read("S", "K"), "");
  // Writing several keys at once tells the failure to the caller, naming the file.
  try {
    nowhere.WriteAll("S", {{"K", "v"}, {"L", "w"}});
    ADD_FAILURE() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_NE(std::string(error.what()).find(nowhere.Path()), std::string::npos) << error.what();
  }
  EXPECT_EQ(nowhere.Read("S", "L"), "");
  IniFile unnamed;
  unnamed.Write("S", "K", "v");
  EXPECT_EQ(unnamed.Read("S", "K"), "");
}

// Random writes of one key and of several keys at once, checked against a model of what each
// key should read, while unrelated lines (comments, blank lines, foreign sections) must survive
// every write.
TEST_F(IniFileTest, RandomWritesMatchAModel) {
  const std::string preserved = "; keep me\n\n[Foreign]\nkeep=this\n";
  WriteFile(preserved);
  std::mt19937 random(1234);
  const char* sections[] = {"Alpha", "BETA", "gamma"};
  const char* keys[] = {"One", "two", "THREE", "Four_4"};
  std::map<std::pair<int, int>, std::string> model;
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  // Names are written in random letter case; they must still address the same entry.
  auto randomCase = [&](const char* name) { return random() % 2 ? std::string(name) : lower(name); };
  auto randomValue = [&] { return " v" + std::to_string(random() % 1000) + std::string(random() % 3, ' '); };
  auto trimmed = [](const std::string& value) {
    size_t begin = value.find_first_not_of(' '), end = value.find_last_not_of(' ');
    return value.substr(begin, end - begin + 1);
  };
  for (int step = 0; step < 1500; ++step) {
    int s = static_cast<int>(random() % 3);
    std::string section = randomCase(sections[s]);
    if (random() % 5 == 0) {
      // Some keys of one section, a key named twice keeping its last value.
      std::vector<IniFile::KeyValue> values;
      std::map<int, std::string> last;
      for (int n = static_cast<int>(random() % 4) + 1; n > 0; --n) {
        int k = static_cast<int>(random() % 4);
        values.emplace_back(randomCase(keys[k]), randomValue());
        last[k] = trimmed(values.back().second);
      }
      ini_.WriteAll(section, values);
      for (const auto& [k, value] : last) model[{s, k}] = value;
    } else {
      int k = static_cast<int>(random() % 4);
      std::string value = randomValue();
      ini_.Write(section, randomCase(keys[k]), value);
      model[{s, k}] = trimmed(value);
    }
    for (int si = 0; si < 3; ++si)
      for (int ki = 0; ki < 4; ++ki) {
        auto it = model.find({si, ki});
        ASSERT_EQ(ini_.Read(sections[si], keys[ki]), it == model.end() ? "" : it->second) << "step " << step;
      }
    ASSERT_EQ(ReadFile().substr(0, preserved.size()), preserved) << "step " << step;
  }
}

}  // namespace
