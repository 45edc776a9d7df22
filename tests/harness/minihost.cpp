// minihost: the least a Win32 program does to host the movie control - a window with a
// 960x600 client area, the control in place over it, the FSCommand event heard, and one
// CallFunction answer. No code of the client: it is the harness's proof and the baseline
// that the client's costs are measured against.

#include <windows.h>
#include <ole2.h>

#include <cwchar>
#include <memory>

#include "movie_host.h"

namespace {

constexpr wchar_t kWindowClass[] = L"ZbMiniHost";
constexpr wchar_t kCaption[] = L"minihost";
constexpr wchar_t kMovieUrl[] = L"http://movie.example/booter.swf";
constexpr int kClientWidth = 960;
constexpr int kClientHeight = 600;

class OleSession {
 public:
  OleSession() : result_(OleInitialize(nullptr)) {}
  ~OleSession() {
    if (SUCCEEDED(result_)) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

minihost::MovieHost* hostOf(HWND window) {
  return reinterpret_cast<minihost::MovieHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  minihost::MovieHost* host = hostOf(window);
  switch (message) {
    case WM_SIZE:
      if (host) host->fitToClientArea();
      return 0;
    case WM_SETFOCUS:
      if (host) host->focusControl();
      return 0;
    case WM_CLOSE:
      // The control goes before its parent window does.
      if (host) host->teardown();
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (host) host->teardown();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

HWND createMainWindow(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass)) return nullptr;

  constexpr DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  return CreateWindowExW(0, kWindowClass, kCaption, style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                         frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
}

int reportFailure(const wchar_t* step, HRESULT hr) {
  wchar_t text[256];
  std::swprintf(text, sizeof text / sizeof text[0], L"minihost could not host the movie control: %ls failed (0x%08lX).",
                step, static_cast<unsigned long>(hr));
  MessageBoxW(nullptr, text, kCaption, MB_OK | MB_ICONERROR);
  return 2;
}

int runMessageLoop(const minihost::MovieHost& host) {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // An in-place active control sees its keys before the host translates them.
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
      Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> active = host.activeObject();
      if (active && active->TranslateAccelerator(&message) == S_OK) continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  OleSession ole;
  if (FAILED(ole.result())) return reportFailure(L"OleInitialize", ole.result());

  HWND window = createMainWindow(instance);
  if (!window) return reportFailure(L"CreateWindowEx", HRESULT_FROM_WIN32(GetLastError()));

  auto host = std::make_unique<minihost::MovieHost>(window);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host.get()));

  // A failure is reported while the window still exists: destroying it posts WM_QUIT,
  // which would end the message box at once.
  const wchar_t* failedStep = L"";
  HRESULT hr = host->create(failedStep);
  if (SUCCEEDED(hr)) {
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    host->focusControl();
    failedStep = L"LoadMovie/Play";
    hr = host->startMovie(kMovieUrl);
  }
  if (FAILED(hr)) {
    int exitCode = reportFailure(failedStep, hr);
    DestroyWindow(window);
    return exitCode;
  }
  return runMessageLoop(*host);
}
