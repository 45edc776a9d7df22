// The environment report: its exact texts, the order its values are computed in, the OS
// and file version texts, and the module path's retries.

#include "player/environment_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const OsVersionRecord kWindows7Sp1{6, 1, 7601, 2, L"Service Pack 1"};

TEST(EnvironmentReport, ExactTexts) {
  EXPECT_EQ(FormatClientEnvironment(FormatOsVersion(kWindows7Sp1), L"", L"2.0.13.130", L"Unknown"),
            L"OS=6.1.7601.2 Service Pack 1&FlashPlayer=&Exe=2.0.13.130&DownloadSource=Unknown");
  OsVersionRecord noServicePack = kWindows7Sp1;
  noServicePack.servicePack.clear();
  EXPECT_EQ(FormatOsVersion(noServicePack), L"6.1.7601.2 ");
  EXPECT_EQ(FormatClientEnvironment(FormatOsVersion(noServicePack), L"WIN 11,1,102,55", L"2.0.13.130", L"web"),
            L"OS=6.1.7601.2 &FlashPlayer=WIN 11,1,102,55&Exe=2.0.13.130&DownloadSource=web");
  // Values go in unchanged, separators and all.
  EXPECT_EQ(FormatClientEnvironment(L"o", L"f", L"e", L"a&b=c"), L"OS=o&FlashPlayer=f&Exe=e&DownloadSource=a&b=c");
  EXPECT_EQ(FormatClientEnvironment(L"", L"", L"", L""), L"OS=&FlashPlayer=&Exe=&DownloadSource=");
}

TEST(EnvironmentReport, ValuesAreComputedSourceExeFlashOs) {
  std::vector<std::string> order;
  auto source = [&] { order.push_back("source"); return std::wstring(L"S"); };
  auto exe = [&] { order.push_back("exe"); return std::wstring(L"E"); };
  auto flash = [&] { order.push_back("flash"); return std::wstring(L"F"); };
  auto os = [&] { order.push_back("os"); return std::wstring(L"O"); };
  EXPECT_EQ(ComposeClientEnvironment(source, exe, flash, os), L"OS=O&FlashPlayer=F&Exe=E&DownloadSource=S");
  EXPECT_EQ(order, (std::vector<std::string>{"source", "exe", "flash", "os"}));
}

TEST(EnvironmentReport, AFailingFlashCallEndsTheBuild) {
  bool osAsked = false;
  auto value = [] { return std::wstring(L"v"); };
  auto failingFlash = []() -> std::wstring { throw std::runtime_error("control call failed"); };
  auto os = [&] { osAsked = true; return std::wstring(L"O"); };
  EXPECT_THROW(ComposeClientEnvironment(value, value, failingFlash, os), std::runtime_error);
  EXPECT_FALSE(osAsked);
}

TEST(OsVersion, SuccessFormatsTheRecordAndNeverAsksForAnError) {
  bool errorAsked = false;
  const std::wstring text = OsVersionText(
      [](OsVersionRecord& record) { record = kWindows7Sp1; return true; },
      [&] { errorAsked = true; return 0u; });
  EXPECT_EQ(text, L"6.1.7601.2 Service Pack 1");
  EXPECT_FALSE(errorAsked);
}

TEST(OsVersion, FailureGivesTheErrorNumber) {
  EXPECT_EQ(OsVersionText([](OsVersionRecord&) { return false; }, [] { return 87u; }), L"OS Version Error(87)");
  EXPECT_EQ(FormatOsVersionError(0), L"OS Version Error(0)");
  EXPECT_EQ(FormatOsVersion({10, 0, 19045, 2, L""}), L"10.0.19045.2 ");
}

TEST(FileVersion, HalvesOfTheTwoDoubleWords) {
  EXPECT_EQ(FormatFileVersion(0x00020000, 0x000D0082), L"2.0.13.130");
  EXPECT_EQ(FormatFileVersion(0xFFFFFFFF, 0x8000FFFF), L"65535.65535.32768.65535");
  EXPECT_EQ(FormatFileVersion(0, 0), L"0.0.0.0");
}

// GetModuleFileNameW as documented: the path and its NUL when they fit; otherwise the
// path cut to capacity - 1 characters, a NUL, and the capacity as the result.
class FakeModuleFileName {
 public:
  explicit FakeModuleFileName(std::size_t pathLength, bool fails = false)
      : m_path(pathLength, L'p'), m_fails(fails) {}

  std::uint32_t operator()(wchar_t* buffer, std::uint32_t capacity) {
    capacities.push_back(capacity);
    if (m_fails || capacity == 0) return 0;
    if (m_path.size() < capacity) {
      std::copy(m_path.begin(), m_path.end(), buffer);
      buffer[m_path.size()] = L'\0';
      return static_cast<std::uint32_t>(m_path.size());
    }
    std::copy(m_path.begin(), m_path.begin() + (capacity - 1), buffer);
    buffer[capacity - 1] = L'\0';
    return capacity;
  }

  std::vector<std::uint32_t> capacities;

 private:
  std::wstring m_path;
  bool m_fails;
};

std::vector<std::uint32_t> AllCapacities() {
  std::vector<std::uint32_t> capacities;
  for (std::uint32_t c = 260; c < 32768; c += 128) capacities.push_back(c);
  capacities.push_back(32768);
  return capacities;
}

TEST(ModulePath, RetriesWithLargerBuffers) {
  const std::vector<std::uint32_t> all = AllCapacities();
  const std::vector<std::uint32_t> allButLast(all.begin(), all.end() - 1);
  const struct {
    std::size_t length;
    std::vector<std::uint32_t> capacities;
  } cases[] = {
      {1, {260}},
      {259, {260}},
      {260, {260, 388}},
      {387, {260, 388}},
      {388, {260, 388, 516}},
      {32643, allButLast},
      {32644, all},
      {32767, all},  // the longest path Windows allows still fits the last buffer
  };
  for (const auto& c : cases) {
    FakeModuleFileName call(c.length);
    const std::wstring path = ReadModulePath(std::ref(call));
    EXPECT_EQ(path, std::wstring(c.length, L'p')) << c.length;
    EXPECT_EQ(call.capacities, c.capacities) << c.length;
  }
}

TEST(ModulePath, GivesUpEmptyAtTheLongestPath) {
  FakeModuleFileName failing(10, true);
  EXPECT_EQ(ReadModulePath(std::ref(failing)), L"");
  EXPECT_EQ(failing.capacities, AllCapacities());
  EXPECT_EQ(failing.capacities.size(), 255u);  // 260, 388, ... 32644, then 32768

  FakeModuleFileName tooLong(40000);
  EXPECT_EQ(ReadModulePath(std::ref(tooLong)), L"");
  EXPECT_EQ(tooLong.capacities.back(), 32768u);
}

class FakeVersionInfo final : public VersionInfoSeam {
 public:
  std::uint32_t size = 64;
  bool readSucceeds = true;
  std::optional<FileVersionNumbers> fixed = FileVersionNumbers{0x00020000, 0x000D0082};
  std::wstring pathAsked;
  std::size_t blockSizeGiven = 0;
  bool blockQueried = false;

  std::uint32_t InfoSize(const std::wstring& path) override {
    pathAsked = path;
    return size;
  }
  bool ReadInfo(const std::wstring& path, std::vector<std::uint8_t>& block) override {
    EXPECT_EQ(path, pathAsked);
    blockSizeGiven = block.size();
    if (readSucceeds) block.assign(block.size(), 0xAB);
    return readSucceeds;
  }
  std::optional<FileVersionNumbers> QueryFileVersion(const std::vector<std::uint8_t>& block) override {
    blockQueried = true;
    EXPECT_EQ(block.size(), size);
    return fixed;
  }
};

TEST(ExeVersion, ReadsTheFixedFileVersion) {
  FakeVersionInfo info;
  EXPECT_EQ(ReadFileVersionString(info, L"C:\\z\\zembaroo.exe"), L"2.0.13.130");
  EXPECT_EQ(info.pathAsked, L"C:\\z\\zembaroo.exe");
  EXPECT_EQ(info.blockSizeGiven, 64u);
}

TEST(ExeVersion, UnknownWhenTheBlockCannotBeRead) {
  FakeVersionInfo noBlock;
  noBlock.size = 0;
  EXPECT_EQ(ReadFileVersionString(noBlock, L"x"), L"Unknown");
  EXPECT_EQ(noBlock.blockSizeGiven, 0u);

  FakeVersionInfo readFails;
  readFails.readSucceeds = false;
  EXPECT_EQ(ReadFileVersionString(readFails, L"x"), L"Unknown");
  EXPECT_FALSE(readFails.blockQueried);

  FakeVersionInfo noRoot;
  noRoot.fixed.reset();
  EXPECT_EQ(ReadFileVersionString(noRoot, L"x"), L"Unknown");
}

}  // namespace
