#pragma once
// The stand-in movie control, seen from a test: its window inside the host, its probe
// (what only the host's own process can read: menus, placement, icons, layering), and
// taking its registration away for the length of a test.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "e2e/json.h"
#include "e2e/record.h"

namespace e2e {

using namespace std::chrono_literals;

inline constexpr wchar_t kStandinClsid[] = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";
inline constexpr wchar_t kStandinWindowClass[] = L"ZbMovieStandin";

// The stand-in's window among the host window's descendants, or null.
HWND findStandinWindow(HWND host);

struct MenuItem {
  UINT id = 0;
  UINT flags = 0;
  std::wstring text;
};

struct ProbedWindow {
  HWND hwnd = nullptr;
  std::wstring className;
  std::wstring text;
  DWORD style = 0;
  DWORD exStyle = 0;
  bool visible = false;
  RECT rect{};
  RECT client{};
  struct Placement {
    UINT flags = 0;
    UINT show = 0;
    POINT min{};
    POINT max{};
    RECT normal{};
  } placement;
  UINT_PTR iconBig = 0;
  UINT_PTR iconSmall = 0;
  struct Layered {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
  };
  std::optional<Layered> layered;
  std::vector<MenuItem> sysmenu;
};

// Sends the probe to the stand-in's window and reads back its answer: every top-level
// window of the host's UI thread. Nothing when the host did not answer in time.
std::optional<std::vector<ProbedWindow>> probe(HWND standin, const Record& record,
                                               std::chrono::milliseconds timeout = 5s);
std::vector<ProbedWindow> parseProbe(const Json& line);

// For tests of a machine without the player: unregisters the stand-in (its own
// DllUnregisterServer) and registers it again when the scope ends.
class StandinUnregistered {
 public:
  StandinUnregistered();
  ~StandinUnregistered();
  StandinUnregistered(const StandinUnregistered&) = delete;
  StandinUnregistered& operator=(const StandinUnregistered&) = delete;

  // S_OK when the class is gone for the scope.
  HRESULT result() const { return result_; }

 private:
  HRESULT result_ = E_FAIL;
};

}  // namespace e2e
