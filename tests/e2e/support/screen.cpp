#include "e2e/screen.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <fstream>

namespace e2e {

namespace {

using Microsoft::WRL::ComPtr;

class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
};

bool savePng(const Pixels& pixels, const std::filesystem::path& file) {
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)))) {
    return false;
  }
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  UINT stride = static_cast<UINT>(pixels.width) * 4;
  UINT size = stride * static_cast<UINT>(pixels.height);
  bool written = SUCCEEDED(factory->CreateStream(&stream)) &&
                 SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) &&
                 SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
                 SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
                 SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) &&
                 SUCCEEDED(frame->Initialize(options.Get())) &&
                 SUCCEEDED(frame->SetSize(static_cast<UINT>(pixels.width), static_cast<UINT>(pixels.height))) &&
                 SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat32bppBGRA &&
                 SUCCEEDED(frame->WritePixels(static_cast<UINT>(pixels.height), stride, size,
                                              reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(pixels.bgra.data())))) &&
                 SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  return written;
}

bool saveBmp(const Pixels& pixels, const std::filesystem::path& file) {
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = pixels.width;
  info.biHeight = -pixels.height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  DWORD dataSize = static_cast<DWORD>(pixels.bgra.size() * 4);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + dataSize;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(reinterpret_cast<const char*>(pixels.bgra.data()), dataSize);
  return static_cast<bool>(out);
}

}  // namespace

Canvas::Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  if (dc_ && width > 0 && height > 0) bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_) {
    previous_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<std::uint32_t*>(bits);
  }
}

Canvas::~Canvas() {
  if (previous_) SelectObject(dc_, previous_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

void Canvas::fill(std::uint32_t bgra) {
  if (!bits_) return;
  std::fill(bits_, bits_ + static_cast<size_t>(width_) * static_cast<size_t>(height_), bgra);
}

Pixels Canvas::pixels() const {
  Pixels copy;
  if (!bits_) return copy;
  GdiFlush();
  copy.width = width_;
  copy.height = height_;
  copy.bgra.assign(bits_, bits_ + static_cast<size_t>(width_) * static_cast<size_t>(height_));
  for (std::uint32_t& pixel : copy.bgra) pixel |= 0xFF000000u;
  return copy;
}

Pixels captureScreen(const RECT& area) {
  Canvas canvas(area.right - area.left, area.bottom - area.top);
  ScreenDc screen;
  if (!canvas.ok() || !screen.get() ||
      !BitBlt(canvas.dc(), 0, 0, area.right - area.left, area.bottom - area.top, screen.get(), area.left, area.top,
              SRCCOPY | CAPTUREBLT)) {
    return {};
  }
  return canvas.pixels();
}

Pixels captureWholeScreen() {
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return captureScreen(screen);
}

std::filesystem::path savePicture(const Pixels& pixels, const std::filesystem::path& stem) {
  if (pixels.bgra.empty()) return {};
  std::filesystem::path png = stem;
  png += ".png";
  if (savePng(pixels, png)) return png;
  std::error_code ignored;
  std::filesystem::remove(png, ignored);
  std::filesystem::path bmp = stem;
  bmp += ".bmp";
  return saveBmp(pixels, bmp) ? bmp : std::filesystem::path();
}

}  // namespace e2e
