#include "e2e/paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "e2e/text.h"

namespace e2e {

namespace {

std::string folderName(std::string_view suite, std::string_view test) {
  std::string name = std::string(suite) + "." + std::string(test);
  // Parameterised names hold '/', which must not become folders.
  for (char& c : name) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                 c == '_' || c == '-';
    if (!plain) c = '_';
  }
  return name;
}

std::string currentTestFolder() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return test ? folderName(test->test_suite_name(), test->name()) : "outside-tests";
}

}  // namespace

std::filesystem::path toWindowsPath(std::string_view buildPath) {
  std::wstring path = widen(buildPath);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  if (!path.empty() && path[0] == L'\\') path.insert(0, L"Z:");
  return std::filesystem::path(path);
}

std::filesystem::path buildDir() { return toWindowsPath(ZB_E2E_BUILD_DIR); }
std::filesystem::path clientExe() { return toWindowsPath(ZB_E2E_CLIENT_EXE); }
std::filesystem::path standinDll() { return toWindowsPath(ZB_E2E_STANDIN_DLL); }

std::filesystem::path runDirOf(std::string_view suite, std::string_view test) {
  std::filesystem::path dir = buildDir() / "e2e-runs" / folderName(suite, test);
  std::filesystem::create_directories(dir);
  return dir;
}

std::filesystem::path scratchDir() {
  static std::string preparedFor;
  std::string name = currentTestFolder();
  std::filesystem::path dir = buildDir() / "e2e-runs" / name;
  if (preparedFor != name) {
    std::filesystem::remove_all(dir);
    preparedFor = name;
  }
  std::filesystem::create_directories(dir);
  return dir;
}

void writeTextFile(const std::filesystem::path& file, std::string_view text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out) throw std::runtime_error("cannot write " + narrow(file.wstring()));
}

}  // namespace e2e
