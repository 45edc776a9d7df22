// The parts of the harness that need no movie control: the record reader, the registry
// helpers, started processes and their environment, and screenshots.

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <thread>

#include "e2e/paths.h"
#include "e2e/process.h"
#include "e2e/record.h"
#include "e2e/registry.h"
#include "e2e/screen.h"
#include "e2e/text.h"

namespace {

using namespace std::chrono_literals;
using e2e::Json;

void append(const std::filesystem::path& file, std::string_view text) {
  std::ofstream out(file, std::ios::binary | std::ios::app);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Record, ReadsCompleteLinesOnlyWhileTheHostIsStillWriting) {
  e2e::Record record(e2e::scratchDir() / "record.jsonl");
  EXPECT_TRUE(record.lines().empty()) << "a record not yet created has no lines";

  append(record.path(), "{\"seq\":1,\"ev\":\"call\",\"name\":\"Play\"}\r\n{\"seq\":2,\"ev\":\"fire\",\"na");
  ASSERT_EQ(record.lines().size(), 1u) << "the half-written line must wait";
  append(record.path(), "me\":\"FSCommand\"}\n\n{\"seq\":3,\"ev\":\"call\",\"name\":\"CallFunction\"}\n");
  std::vector<Json> lines = record.lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1]["name"].text(), L"FSCommand");
  EXPECT_EQ(record.events("call").size(), 2u);
  EXPECT_EQ(record.events("call", "CallFunction").size(), 1u);
  EXPECT_TRUE(record.events("call", "LoadMovie").empty());
}

TEST(Record, WaitsForALineWrittenLaterAndLooksOnlyPastTheMark) {
  e2e::Record record(e2e::scratchDir() / "record.jsonl");
  append(record.path(), "{\"ev\":\"key\",\"vk\":39}\n");
  EXPECT_FALSE(record.waitFor(e2e::event("key"), 100ms, 1)) << "the line before the mark counts";

  std::thread writer([&] {
    std::this_thread::sleep_for(200ms);
    append(record.path(), "{\"ev\":\"key\",\"vk\":13}\n");
  });
  std::optional<Json> later = record.waitFor(e2e::event("key"), 5s, 1);
  writer.join();
  ASSERT_TRUE(later);
  EXPECT_EQ((*later)["vk"].integer(), 13);
  EXPECT_TRUE(record.waitUntil([](const std::vector<Json>& all) { return all.size() == 2; }, 1s));
}

TEST(Record, AMalformedLineFailsLoudlyWithItsNumber) {
  e2e::Record record(e2e::scratchDir() / "record.jsonl");
  append(record.path(), "{\"ev\":\"call\"}\n{\"ev\":\"call\",}\n");
  try {
    record.lines();
    FAIL() << "a malformed line was accepted";
  } catch (const e2e::JsonError& error) {
    EXPECT_NE(std::string(error.what()).find("record line 2"), std::string::npos) << error.what();
  }
}

constexpr wchar_t kScratchKey[] = L"ZembarooHarnessSelftest";

struct ValueCase {
  const char* label;
  DWORD type;
  std::vector<BYTE> bytes;
};

class RegistryRoundTrip : public ::testing::TestWithParam<ValueCase> {
 protected:
  void TearDown() override { e2e::deleteTree(kScratchKey); }
};

TEST_P(RegistryRoundTrip, ReadsBackExactlyTheBytesAndTypeWritten) {
  const ValueCase& c = GetParam();
  std::wstring key = std::wstring(kScratchKey) + L"\\Nested";
  ASSERT_TRUE(e2e::writeValue(key, L"Value", c.type, c.bytes.data(), c.bytes.size()));
  std::optional<e2e::RegistryValue> read = e2e::readValue(key, L"Value");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->type, c.type);
  EXPECT_EQ(read->data, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryRoundTrip,
    ::testing::Values(ValueCase{"TerminatedText", REG_SZ, {'A', 0, 'u', 0, 't', 0, 'o', 0, 0, 0}},
                      // What a careless writer leaves: no NUL, even an odd byte count.
                      ValueCase{"UnterminatedText", REG_SZ, {'A', 0, 'u', 0}},
                      ValueCase{"OddText", REG_SZ, {'A', 0, 'u'}},
                      ValueCase{"EmptyText", REG_SZ, {}},
                      ValueCase{"Dword", REG_DWORD, {1, 0, 0, 0}},
                      ValueCase{"Binary", REG_BINARY, {0xFF, 0x00, 0x7F}}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.label); });

TEST(Registry, TextValuesAndTreesOfKeys) {
  std::wstring key = std::wstring(kScratchKey) + L"\\A\\B";
  ASSERT_TRUE(e2e::writeText(key, L"Selected", L"\u7535\u4fe1"));
  std::optional<e2e::RegistryValue> read = e2e::readValue(key, L"Selected");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(read->data.size(), 3 * sizeof(wchar_t)) << "two characters and the terminating NUL";
  EXPECT_EQ(read->text(), L"\u7535\u4fe1");
  EXPECT_FALSE(e2e::readValue(key, L"Missing"));
  EXPECT_FALSE(e2e::readValue(std::wstring(kScratchKey) + L"\\Missing", L"Selected"));

  EXPECT_TRUE(e2e::deleteTree(kScratchKey));
  EXPECT_FALSE(e2e::keyExists(kScratchKey));
  EXPECT_TRUE(e2e::deleteTree(kScratchKey)) << "deleting what is gone is no failure";
}

TEST(Process, PassesItsEnvironmentAndReportsTheExitCode) {
  std::filesystem::path dir = e2e::scratchDir();
  SetEnvironmentVariableW(L"ZB_E2E_REPLACED", L"old");
  e2e::LaunchOptions options;
  options.program = L"C:\\windows\\system32\\cmd.exe";
  options.arguments = L"/c set ZB_E2E_>env.txt&exit 7";
  options.workingDir = dir;
  options.set(L"ZB_E2E_ADDED", L"Z:\\some place\\record.jsonl").set(L"zb_e2e_replaced", L"new");
  e2e::Process process = e2e::Process::start(options);
  EXPECT_EQ(process.waitForExit(30s), 7u);
  std::string env = readFile(dir / "env.txt");
  EXPECT_NE(env.find("ZB_E2E_ADDED=Z:\\some place\\record.jsonl"), std::string::npos) << env;
  EXPECT_NE(env.find("=new"), std::string::npos) << env;
  EXPECT_EQ(env.find("=old"), std::string::npos) << "a variable was doubled, not replaced: " << env;
  SetEnvironmentVariableW(L"ZB_E2E_REPLACED", nullptr);
}

TEST(Process, AProgramThatCannotStartThrows) {
  e2e::LaunchOptions options;
  options.program = e2e::scratchDir() / "no-such-program.exe";
  EXPECT_THROW(e2e::Process::start(options), std::runtime_error);
}

// Width and height of a PNG (from its IHDR chunk) or of a BMP.
std::array<long, 2> pictureSize(const std::string& file) {
  auto bigEndian = [&](size_t at) {
    return (static_cast<unsigned char>(file[at]) << 24) | (static_cast<unsigned char>(file[at + 1]) << 16) |
           (static_cast<unsigned char>(file[at + 2]) << 8) | static_cast<unsigned char>(file[at + 3]);
  };
  if (file.size() > 24 && file.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) return {bigEndian(16), bigEndian(20)};
  if (file.size() > 26 && file.compare(0, 2, "BM") == 0) {
    BITMAPINFOHEADER info{};
    memcpy(&info, file.data() + sizeof(BITMAPFILEHEADER), sizeof info);
    return {info.biWidth, info.biHeight < 0 ? -info.biHeight : info.biHeight};
  }
  return {0, 0};
}

TEST(Screenshot, SavesTheWholeScreen) {
  std::filesystem::path saved = e2e::savePicture(e2e::captureWholeScreen(), e2e::scratchDir() / "screen");
  ASSERT_FALSE(saved.empty());
  std::array<long, 2> expected{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  EXPECT_EQ(pictureSize(readFile(saved)), expected) << e2e::narrow(saved.wstring());
  EXPECT_EQ(saved.extension(), ".png") << "WIC did not encode the PNG; a BMP was written";
}

}  // namespace
