// The environment report and the diagnostic summary from any texts and any stored
// values, and the system reads behind the report (module path, file version) against
// any answers the system calls might give.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "in_memory_registry.h"
#include "player/environment_report.h"
#include "settings/client_settings.h"
#include "settings/endpoints.h"

namespace {

void Require(bool holds) {
  if (!holds) std::abort();
}

std::wstring AnyText(FuzzedDataProvider& in, std::size_t most = 64) {
  const std::size_t length = in.ConsumeIntegralInRange<std::size_t>(0, most);
  std::wstring out;
  for (std::size_t i = 0; i < length && in.remaining_bytes() > 0; ++i) {
    // Mostly the report's own alphabet, sometimes any code point.
    out.push_back(in.ConsumeBool() ? static_cast<wchar_t>(in.PickValueInArray({L'&', L'=', L'\r', L'\n', L'a', L'0'}))
                                   : static_cast<wchar_t>(in.ConsumeIntegralInRange<std::uint32_t>(0, 0x10FFFF)));
  }
  return out;
}

bool StartsWith(const std::wstring& text, const std::wstring& start) { return text.compare(0, start.size(), start) == 0; }
bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(L"\r\n", start)) != std::wstring::npos; start = at + 2)
    lines.push_back(text.substr(start, at - start));
  lines.push_back(text.substr(start));
  return lines;
}

void Report(FuzzedDataProvider& in) {
  const std::wstring os = AnyText(in), flash = AnyText(in), exe = AnyText(in), source = AnyText(in);
  const std::wstring report = FormatClientEnvironment(os, flash, exe, source);
  Require(StartsWith(report, L"OS=" + os + L"&FlashPlayer=" + flash + L"&Exe=" + exe + L"&DownloadSource="));
  Require(EndsWith(report, L"&DownloadSource=" + source));

  // A source that throws ends the build there: the later sources are not asked.
  const int throwing = in.ConsumeIntegralInRange<int>(0, 4);  // 4: none throws
  std::vector<int> asked;
  auto source_n = [&](int n, const std::wstring& text) {
    return [&asked, &throwing, n, text] {
      asked.push_back(n);
      if (n == throwing) throw std::runtime_error("source failed");
      return text;
    };
  };
  try {
    const std::wstring composed =
        ComposeClientEnvironment(source_n(0, source), source_n(1, exe), source_n(2, flash), source_n(3, os));
    Require(throwing == 4 && composed == report);
  } catch (const std::runtime_error&) {
    Require(throwing < 4);
  }
  Require(asked.size() == static_cast<std::size_t>(throwing == 4 ? 4 : throwing + 1));
  for (std::size_t i = 0; i < asked.size(); ++i) Require(asked[i] == static_cast<int>(i));
}

void Summary(FuzzedDataProvider& in) {
  const std::wstring movie = AnyText(in), update = AnyText(in), name = AnyText(in, 16), value = AnyText(in);
  const std::wstring label = AnyText(in, 16);
  const std::wstring summary = FormatDiagnosticSummary(movie, update, name, value, label);
  // Fields without line breaks come back as the four lines.
  const bool plain = (movie + update + name + value + label).find_first_of(L"\r\n") == std::wstring::npos;
  if (plain) Require(SplitLines(summary) == (std::vector<std::wstring>{movie, update, name + L"=" + value, label}));

  // From the store: whatever the two values hold, the summary shows what the store reads.
  InMemoryRegistry registry;
  const std::wstring valueName = L"DownloadSource";
  for (const wchar_t* stored : {valueName.c_str(), kSelectedServerValueName}) {
    if (!in.ConsumeBool()) continue;
    const auto type = in.ConsumeIntegralInRange<std::uint32_t>(0, 8);
    registry.PlantValue(kSettingsKeyPath, stored, type, in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 300)));
  }
  const CClientSettings settings(registry);
  const std::vector<std::wstring> lines =
      SplitLines(ComposeDiagnosticSummary(settings, L"movie", L"update", valueName));
  Require(lines.size() >= 4);
  Require(lines[0] == L"movie" && lines[1] == L"update");
  Require(lines.back() == ServerLineLabel(settings.GetSelectedServer()));
  std::wstring third;  // the stored text may hold CR LF itself
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) third += (i > 2 ? L"\r\n" : L"") + lines[i];
  Require(third == valueName + L"=" + settings.ReadStringValue(valueName));
  Require(registry.OpenHandles() == 0);
}

void ModulePath(FuzzedDataProvider& in) {
  std::vector<std::uint32_t> capacities;
  std::optional<std::wstring> answered;
  const std::wstring result = ReadModulePath([&](wchar_t* buffer, std::uint32_t capacity) -> std::uint32_t {
    capacities.push_back(capacity);
    // Like GetModuleFileNameW: a failure, a cut path filling the buffer, or the path.
    switch (in.ConsumeIntegralInRange(0, 2)) {
      case 0: return 0;
      case 1:
        for (std::uint32_t i = 0; i < capacity; ++i) buffer[i] = L'c';
        buffer[capacity - 1] = 0;
        return capacity;
      default: {
        const std::uint32_t length = in.ConsumeIntegralInRange<std::uint32_t>(1, capacity - 1);
        for (std::uint32_t i = 0; i < length; ++i) buffer[i] = static_cast<wchar_t>(L'a' + i % 26);
        buffer[length] = 0;
        answered = std::wstring(buffer, length);
        return length;
      }
    }
  });
  Require(!capacities.empty() && capacities.front() == kFirstModulePathCapacity);
  for (std::size_t i = 1; i < capacities.size(); ++i) Require(capacities[i] > capacities[i - 1]);
  Require(capacities.back() <= kLastModulePathCapacity);
  if (answered) {
    Require(result == *answered);
  } else {
    Require(result.empty() && capacities.back() == kLastModulePathCapacity);
  }
}

class FuzzedVersionInfo final : public VersionInfoSeam {
 public:
  explicit FuzzedVersionInfo(FuzzedDataProvider& in) : in_(in) {}
  std::uint32_t InfoSize(const std::wstring&) override { return in_.ConsumeIntegralInRange<std::uint32_t>(0, 4096); }
  bool ReadInfo(const std::wstring&, std::vector<std::uint8_t>& block) override {
    for (std::uint8_t& b : block) b = 0xAB;  // the whole block is there to be written
    return in_.ConsumeBool();
  }
  std::optional<FileVersionNumbers> QueryFileVersion(const std::vector<std::uint8_t>&) override {
    if (!in_.ConsumeBool()) return std::nullopt;
    version_ = FileVersionNumbers{in_.ConsumeIntegral<std::uint32_t>(), in_.ConsumeIntegral<std::uint32_t>()};
    return version_;
  }
  std::optional<FileVersionNumbers> version_;

 private:
  FuzzedDataProvider& in_;
};

void Versions(FuzzedDataProvider& in) {
  FuzzedVersionInfo info(in);
  const std::wstring exe = ReadFileVersionString(info, L"C:\\PlaynookApp.exe");
  if (!info.version_) {
    Require(exe == kUnknownExeVersion);
    return;
  }
  // "a.b.c.d" gives back the four halves.
  unsigned parts[4] = {};
  wchar_t tail = 0;
  Require(std::swscanf(exe.c_str(), L"%u.%u.%u.%u%lc", &parts[0], &parts[1], &parts[2], &parts[3], &tail) == 4);
  Require(parts[0] == info.version_->fileVersionMs >> 16 && parts[1] == (info.version_->fileVersionMs & 0xFFFF));
  Require(parts[2] == info.version_->fileVersionLs >> 16 && parts[3] == (info.version_->fileVersionLs & 0xFFFF));

  OsVersionRecord record{in.ConsumeIntegral<std::uint32_t>(), in.ConsumeIntegral<std::uint32_t>(),
                         in.ConsumeIntegral<std::uint32_t>(), in.ConsumeIntegral<std::uint32_t>(), AnyText(in, 128)};
  const bool succeeds = in.ConsumeBool();
  const std::uint32_t error = in.ConsumeIntegral<std::uint32_t>();
  bool errorAsked = false;
  const std::wstring os = OsVersionText(
      [&](OsVersionRecord& out) {
        if (succeeds) out = record;
        return succeeds;
      },
      [&] {
        errorAsked = true;
        return error;
      });
  Require(errorAsked == !succeeds);
  if (!succeeds) {
    Require(os == L"OS Version Error(" + std::to_wstring(error) + L")");
  } else {
    const std::wstring numbers = std::to_wstring(record.majorVersion) + L"." + std::to_wstring(record.minorVersion) +
                                 L"." + std::to_wstring(record.buildNumber) + L"." + std::to_wstring(record.platformId);
    Require(os == numbers + L" " + record.servicePack);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: Report(in); break;
    case 1: Summary(in); break;
    case 2: ModulePath(in); break;
    default: Versions(in); break;
  }
  return 0;
}
