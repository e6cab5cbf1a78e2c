// SPDX-License-Identifier: MIT
// The platform layer: addresses, clocks.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cmath>
#include <ctime>

#include "base/local_time.h"
#include "platform/platform.h"
#include "shell/shell_fakes.h"

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
  EXPECT_NEAR(CurrentDateTime(), expectedDays, 5.0 / 86400.0);
  const double seconds = Platform::SecondsOfDay();
  EXPECT_GE(seconds, 0.0);
  EXPECT_LT(seconds, 86400.0);
  EXPECT_NEAR(std::fmod(CurrentDateTime(), 1.0) * 86400.0, seconds, 5.0);
}
