#include "shell/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

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
    ini_.SetINIFileName(path_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteFile(const std::string& text) {
    std::ofstream(path_, std::ios::binary) << text;
  }
  std::string ReadFile() const {
    std::ifstream file(path_, std::ios::binary);
    std::stringstream buffer;
    buffer << file.rdbuf();
    return buffer.str();
  }

  fs::path dir_;
  std::string path_;
  classIniFile ini_;
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
  EXPECT_EQ(ini_.GetIniKey("Main", "Plain"), "42");
  EXPECT_EQ(ini_.GetIniKey("MAIN", "plain"), "42");  // names match without regard to case
  EXPECT_EQ(ini_.GetIniKey("Main", "Spaced"), "some text");
  EXPECT_EQ(ini_.GetIniKey("Main", "Empty"), "");
  EXPECT_EQ(ini_.GetIniKey("Main", "Missing"), "");
  EXPECT_EQ(ini_.GetIniKey("Main", "NoEquals"), "");
  EXPECT_EQ(ini_.GetIniKey("Missing", "Plain"), "");
  EXPECT_EQ(ini_.GetIniKey("Other", "Plain"), "7");

  classIniFile absent;
  absent.SetINIFileName((dir_ / "absent.ini").string());
  EXPECT_EQ(absent.GetIniKey("Main", "Plain"), "");
  EXPECT_FALSE(fs::exists(dir_ / "absent.ini"));
}

TEST_F(IniFileTest, LongValuesAreCutAt1023Characters) {
  std::string value(1100, 'x');
  value[1022] = 'y';
  ini_.WriteIniKey("S", "Long", value);
  std::string read = ini_.GetIniKey("S", "Long");
  ASSERT_EQ(read.size(), 1023u);
  EXPECT_EQ(read.back(), 'y');
}

TEST_F(IniFileTest, WritesCreateTheFileAndKeepEveryOtherLine) {
  ini_.WriteIniKey("GameButton", "Button4", "4");
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
  ini_.WriteIniKey("GameButton", "Button4", "4");
  ini_.WriteIniKey("MainSettings", "New", "x");
  ini_.WriteIniKey("Added", "Key", "v");
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

TEST_F(IniFileTest, DeletesKeysAndSections) {
  WriteFile("[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n");
  ini_.DelIniKey("a", "X");
  ini_.DelIniKey("A", "missing");
  ini_.DelIniKey("missing", "x");
  EXPECT_EQ(ReadFile(), "[A]\ny=2\n[B]\nz=3\n[C]\nw=4\n");
  ini_.DelIniSec("b");
  EXPECT_EQ(ReadFile(), "[A]\ny=2\n[C]\nw=4\n");
  EXPECT_EQ(ini_.GetIniKey("B", "z"), "");
  EXPECT_EQ(ini_.GetIniKey("C", "w"), "4");
}

TEST_F(IniFileTest, AWriteIsSeenByEveryInstanceAtOnce) {
  classIniFile other;
  other.SetINIFileName(path_);
  ini_.WriteIniKey("S", "K", "1");
  EXPECT_EQ(other.GetIniKey("S", "K"), "1");
  other.WriteIniKey("S", "K", "2");
  EXPECT_EQ(ini_.GetIniKey("S", "K"), "2");
}

TEST_F(IniFileTest, ValuesStayOnOneLine) {
  ini_.WriteIniKey("S", "K", "two\nlines");
  ini_.WriteIniKey("S", "After", "x");
  EXPECT_EQ(ini_.GetIniKey("S", "K"), "two lines");
  EXPECT_EQ(ini_.GetIniKey("S", "After"), "x");
}

TEST_F(IniFileTest, AWriteToAnUnwritablePlaceChangesNothing) {
  classIniFile nowhere;
  nowhere.SetINIFileName((dir_ / "no" / "such" / "dir.ini").string());
  nowhere.WriteIniKey("S", "K", "v");
  EXPECT_EQ(nowhere.GetIniKey("S", "K"), "");
  classIniFile unnamed;
  unnamed.WriteIniKey("S", "K", "v");
  EXPECT_EQ(unnamed.GetIniKey("S", "K"), "");
}

// Random writes and deletes, checked against a model of what each key should read, while
// unrelated lines (comments, blank lines, foreign sections) must survive every write.
TEST_F(IniFileTest, RandomWritesAndDeletesMatchAModel) {
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
  for (int step = 0; step < 1500; ++step) {
    int s = static_cast<int>(random() % 3), k = static_cast<int>(random() % 4);
    // Names are written in random letter case; they must still address the same entry.
    std::string section = random() % 2 ? sections[s] : lower(sections[s]);
    std::string key = random() % 2 ? keys[k] : lower(keys[k]);
    switch (random() % 10) {
      case 0:
        ini_.DelIniKey(section, key);
        model.erase({s, k});
        break;
      case 1:
        if (random() % 4 == 0) {
          ini_.DelIniSec(section);
          for (int i = 0; i < 4; ++i) model.erase({s, i});
        }
        break;
      default: {
        std::string value = " v" + std::to_string(random() % 1000) + std::string(random() % 3, ' ');
        ini_.WriteIniKey(section, key, value);
        size_t begin = value.find_first_not_of(' '), end = value.find_last_not_of(' ');
        model[{s, k}] = value.substr(begin, end - begin + 1);
      }
    }
    for (int si = 0; si < 3; ++si)
      for (int ki = 0; ki < 4; ++ki) {
        auto it = model.find({si, ki});
        ASSERT_EQ(ini_.GetIniKey(sections[si], keys[ki]), it == model.end() ? "" : it->second)
            << "step " << step;
      }
    ASSERT_EQ(ReadFile().substr(0, preserved.size()), preserved) << "step " << step;
  }
}

}  // namespace
