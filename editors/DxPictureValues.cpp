// Decisions taken here:
// - A header that is present and consistent but followed by nothing, like a value of
//   fewer than 8 bytes, gives an empty picture: there is no graphic to read.
// - A graphic that does not load empties the picture before the error goes on. Keeping
//   the picture as it was would show (and, in an editor, save back) another value.
// - The graphic is read into a graphic of its own and only then handed to the picture,
//   so that a failed read never leaves half a graphic in the picture.
#include "editors/DxPictureValues.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "classlib/Bitmap.h"
#include "classlib/Exceptions.h"

namespace {

constexpr size_t kBlobHeaderSize = 8;

// The blob header: 1, $0100 and the count of the bytes after it.
bool IsBlobHeader(const uint8_t* header, size_t valueSize) {
  const uint16_t first = uint16_t(header[0] | (header[1] << 8));
  const uint16_t second = uint16_t(header[2] | (header[3] << 8));
  const uint32_t count = uint32_t(header[4]) | (uint32_t(header[5]) << 8) | (uint32_t(header[6]) << 16) |
                         (uint32_t(header[7]) << 24);
  return first == 1 && second == 0x0100 && uint64_t(count) == uint64_t(valueSize) - kBlobHeaderSize;
}

}  // namespace

bool IsPictureEmpty(TPicture* picture) {
  return !picture || !picture->GetGraphic() || picture->GetGraphic()->GetEmpty();
}

void LoadPictureFromValue(TPicture* picture, TGraphicClass graphicClass, const Variant& value) {
  if (!value.IsString()) {
    picture->Assign(nullptr);
    return;
  }
  const std::string bytes = value.AsString();
  TMemoryStreamReadOnly stream;
  if (bytes.size() >= kBlobHeaderSize) {
    stream.SetPointer(const_cast<char*>(bytes.data()), int64_t(bytes.size()));
    uint8_t header[kBlobHeaderSize];
    stream.ReadBuffer(header, sizeof header);
    if (!IsBlobHeader(header, bytes.size()))
      stream.SetPosition(0);
  }
  if (stream.GetPosition() >= stream.GetSize()) {
    picture->Assign(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> graphic(NewGraphic(graphicClass ? graphicClass : TBitmap::StaticClass()));
  try {
    graphic->LoadFromStream(stream);
  } catch (...) {
    picture->Assign(nullptr);
    throw;
  }
  picture->Assign(graphic.get());
}

bool LoadPictureForPainting(TPicture* picture, TGraphicClass graphicClass, const Variant& value) {
  try {
    LoadPictureFromValue(picture, graphicClass, value);
    return true;
  } catch (const EInvalidGraphic&) {
    return false;  // the picture is empty already
  }
}

void SavePictureToString(TPicture* picture, std::string& s) {
  s.clear();
  if (IsPictureEmpty(picture))
    return;
  TMemoryStream stream;
  picture->GetGraphic()->SaveToStream(stream);
  s.assign(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize()));
}
