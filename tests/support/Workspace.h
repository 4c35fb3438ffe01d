#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick::test {

// Empty settings, a working folder of its own, and folders for pictures, saved pictures and the
// cache.
struct Workspace : ::testing::Test {
  void SetUp() override {
    ClearSettings();
    ::setenv("XDG_CACHE_HOME", cache_.Path().c_str(), 1);
    ASSERT_EQ(::chdir(work_.Path().c_str()), 0);
  }
  void TearDown() override { ::unsetenv("XDG_CACHE_HOME"); }

  std::string Pic(const std::string& name, const std::string& bytes) {
    WriteBytes(pics_.File(name), bytes);
    return pics_.File(name);
  }
  // Pictures of the pictures' folder as "Load..." selects them: one as its path, several as the
  // folder and their names.
  std::string Selection(const std::vector<std::string>& names) const {
    std::string selection = names.size() == 1 ? pics_.File(names[0]) : pics_.Path();
    for (size_t i = 0; names.size() > 1 && i < names.size(); ++i)
      selection += '\0' + names[i];
    return selection;
  }

  TempDir work_, pics_, out_, cache_;
};

}  // namespace snapwick::test
