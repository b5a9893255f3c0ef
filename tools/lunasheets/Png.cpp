#include "Png.h"

#include <zlib.h>

#include <cstdint>

namespace luna {

namespace {

uint32_t Crc(const std::string& type, const std::string& data) {
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), uInt(type.size()));
  return uint32_t(crc32(crc, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
}

}  // namespace

std::string EncodePng(int w, int h, const std::vector<Rgb>& pixels) {
  std::string raw;
  for (int y = 0; y < h; ++y) {
    raw += char(0);
    for (int x = 0; x < w; ++x) {
      const Rgb& p = pixels[size_t(y) * w + x];
      raw += char(p.r);
      raw += char(p.g);
      raw += char(p.b);
    }
  }
  uLongf size = compressBound(uLong(raw.size()));
  std::string packed(size, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
            reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()), 9);
  packed.resize(size);
  std::string out = "\x89PNG\r\n\x1a\n";
  auto be32 = [&](uint32_t v) {
    for (int i = 3; i >= 0; --i)
      out += char(v >> (8 * i) & 0xFF);
  };
  auto chunk = [&](const std::string& type, const std::string& data) {
    be32(uint32_t(data.size()));
    out += type;
    out += data;
    be32(Crc(type, data));
  };
  std::string header;
  for (uint32_t v : {uint32_t(w), uint32_t(h)})
    for (int i = 3; i >= 0; --i)
      header += char(v >> (8 * i) & 0xFF);
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  chunk("IHDR", header);
  chunk("IDAT", packed);
  chunk("IEND", "");
  return out;
}

}  // namespace luna
