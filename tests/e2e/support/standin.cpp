#include "e2e/standin.h"

#include <atomic>

#include "e2e/handle.h"
#include "e2e/paths.h"

namespace e2e {

namespace {

RECT rectOf(const Json& array) {
  return {static_cast<LONG>(array[0].integer()), static_cast<LONG>(array[1].integer()),
          static_cast<LONG>(array[2].integer()), static_cast<LONG>(array[3].integer())};
}

POINT pointOf(const Json& array) {
  return {static_cast<LONG>(array[0].integer()), static_cast<LONG>(array[1].integer())};
}

HRESULT callServerEntry(const char* entry) {
  UniqueModule dll(LoadLibraryW(standinDll().c_str()));
  if (!dll) return HRESULT_FROM_WIN32(GetLastError());
  using Entry = HRESULT(STDAPICALLTYPE*)();
  auto function = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll.get(), entry)));
  if (!function) return HRESULT_FROM_WIN32(GetLastError());
  return function();
}

}  // namespace

HWND findStandinWindow(HWND host) {
  HWND found = nullptr;
  EnumChildWindows(
      host,
      [](HWND window, LPARAM context) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (wcscmp(name, kStandinWindowClass) != 0) return TRUE;
        *reinterpret_cast<HWND*>(context) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<ProbedWindow> parseProbe(const Json& line) {
  std::vector<ProbedWindow> windows;
  for (const Json& item : line["windows"].items()) {
    ProbedWindow window;
    window.hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(item["hwnd"].integer()));
    window.className = item["class"].text();
    window.text = item["text"].text();
    window.style = static_cast<DWORD>(item["style"].integer());
    window.exStyle = static_cast<DWORD>(item["exstyle"].integer());
    window.visible = item["visible"].boolean();
    window.rect = rectOf(item["rect"]);
    window.client = rectOf(item["client"]);
    const Json& placement = item["placement"];
    window.placement.flags = static_cast<UINT>(placement["flags"].integer());
    window.placement.show = static_cast<UINT>(placement["show"].integer());
    window.placement.min = pointOf(placement["min"]);
    window.placement.max = pointOf(placement["max"]);
    window.placement.normal = rectOf(placement["normal"]);
    window.iconBig = static_cast<UINT_PTR>(item["icon_big"].integer());
    window.iconSmall = static_cast<UINT_PTR>(item["icon_small"].integer());
    const Json& layered = item["layered"];
    if (!layered.isNull()) {
      window.layered = ProbedWindow::Layered{static_cast<COLORREF>(layered["key"].integer()),
                                             static_cast<BYTE>(layered["alpha"].integer()),
                                             static_cast<DWORD>(layered["flags"].integer())};
    }
    // A window without a system menu reports null.
    static const Json::Array kNoMenu;
    const Json& sysmenu = item["sysmenu"];
    for (const Json& entry : sysmenu.isNull() ? kNoMenu : sysmenu.items()) {
      window.sysmenu.push_back(
          {static_cast<UINT>(entry["id"].integer()), static_cast<UINT>(entry["flags"].integer()), entry["text"].text()});
    }
    windows.push_back(std::move(window));
  }
  return windows;
}

std::optional<std::vector<ProbedWindow>> probe(HWND standin, const Record& record,
                                               std::chrono::milliseconds timeout) {
  static const UINT probeMessage = RegisterWindowMessageW(L"ZbStandinProbe");
  // A tag of our own per probe, so that an earlier answer is never taken for this one.
  static std::atomic<WPARAM> nextTag{0x7E57};
  WPARAM tag = nextTag++;
  DWORD_PTR written = 0;
  if (!SendMessageTimeoutW(standin, probeMessage, tag, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()),
                           &written) ||
      written != 1) {
    return std::nullopt;
  }
  auto line = record.waitFor(
      [tag](const Json& l) {
        if (!l.memberIs("ev", "probe")) return false;
        const Json* t = l.find("tag");
        return t && t->kind() == Json::Kind::Integer && static_cast<WPARAM>(t->integer()) == tag;
      },
      timeout);
  if (!line) return std::nullopt;
  return parseProbe(*line);
}

StandinUnregistered::StandinUnregistered() : result_(callServerEntry("DllUnregisterServer")) {}

StandinUnregistered::~StandinUnregistered() { callServerEntry("DllRegisterServer"); }

}  // namespace e2e
