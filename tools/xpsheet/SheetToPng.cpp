// Turns the XP theme's contact sheet, the 24-bit BMP that XPSheet.exe writes, into a PNG
// zoomed twice (a host tool, plain C++).
//
//   xpsheet_png <sheet.bmp> <sheet.png>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "../lunasheets/LunaSheets.h"

namespace {

uint32_t Get32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = v << 8 | uint8_t(bytes[at + i]);
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: xpsheet_png <sheet.bmp> <sheet.png>\n");
    return 2;
  }
  const std::string bmp = luna::ReadFile(argv[1]);
  if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M' || uint8_t(bmp[28]) != 24) {
    std::fprintf(stderr, "xpsheet_png: %s is not a 24-bit BMP file\n", argv[1]);
    return 1;
  }
  const int width = int(Get32(bmp, 18)), height = int(Get32(bmp, 22));
  const size_t offset = Get32(bmp, 10), stride = (size_t(width) * 3 + 3) & ~size_t(3);
  if (width <= 0 || height <= 0 || bmp.size() < offset + stride * height) {
    std::fprintf(stderr, "xpsheet_png: %s is cut short\n", argv[1]);
    return 1;
  }
  constexpr int zoom = 2;
  std::vector<luna::Rgb> pixels(size_t(width) * zoom * height * zoom);
  for (int y = 0; y < height * zoom; ++y)
    for (int x = 0; x < width * zoom; ++x) {
      const char* p = bmp.data() + offset + size_t(height - 1 - y / zoom) * stride + 3 * (x / zoom);
      pixels[size_t(y) * width * zoom + x] = luna::Rgb{uint8_t(p[2]), uint8_t(p[1]), uint8_t(p[0])};
    }
  luna::WriteFile(argv[2], luna::EncodePng(width * zoom, height * zoom, pixels));
  return 0;
}
