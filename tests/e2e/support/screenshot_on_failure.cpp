// Compiled into every test program that links zb_e2e_support (an INTERFACE source of the
// library), so that each of them saves a screenshot when one of its tests fails.

#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/paths.h"
#include "e2e/screen.h"
#include "e2e/text.h"

namespace {

class ScreenshotOnFailure : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo& test) override {
    if (!test.result()->Failed()) return;
    // Nothing here may throw out of gtest's listener loop.
    try {
      std::filesystem::path stem = e2e::runDirOf(test.test_suite_name(), test.name()) / "failure-screen";
      std::filesystem::path saved = e2e::savePicture(e2e::captureWholeScreen(), stem);
      if (saved.empty()) {
        std::printf("[ screenshot ] could not capture the screen\n");
      } else {
        std::printf("[ screenshot ] %s\n", e2e::narrow(saved.wstring()).c_str());
      }
      std::fflush(stdout);
    } catch (const std::exception& error) {
      std::printf("[ screenshot ] failed: %s\n", error.what());
    }
  }
};

const bool registered = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
  return true;
}();

}  // namespace
