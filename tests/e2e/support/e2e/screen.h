#pragma once
// Pixels of the screen, read back through GDI: for screenshots of failed tests and for
// recognising what a window shows where no API tells (the icon of a message box).

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace e2e {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> bgra;  // top-down rows, 0xAARRGGBB
};

// A 32-bit top-down bitmap selected into a memory DC, to draw into or copy the screen into.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool ok() const { return bits_ != nullptr; }
  HDC dc() const { return dc_; }
  void fill(std::uint32_t bgra);
  // A copy of the pixels, made opaque (GDI leaves the fourth byte undefined).
  Pixels pixels() const;

 private:
  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// The screen area as it is shown now.
Pixels captureScreen(const RECT& area);
Pixels captureWholeScreen();

// Saves the pixels as a PNG through WIC, or as a BMP where WIC cannot; `stem` is the path
// without extension. Returns the file written, or an empty path.
std::filesystem::path savePicture(const Pixels& pixels, const std::filesystem::path& stem);

}  // namespace e2e
