// Decision taken here: a picture that holds another graphic than a bitmap (an icon) is
// put on the clipboard as a bitmap drawn from it. Taking the picture's bitmap forced the
// picture itself to an empty bitmap: copying an icon wiped it and then failed.
#include "classlib/Clipboard.h"

#include <cassert>
#include <cstring>

#include "classlib/Bitmap.h"
#include "classlib/Exceptions.h"
#include "classlib/Graphic.h"

namespace {

// Open for a scope.
class TOpenScope {
 public:
  explicit TOpenScope(TClipboard* clipboard) : FClipboard(clipboard) { FClipboard->Open(); }
  ~TOpenScope() { FClipboard->Close(); }
  TOpenScope(const TOpenScope&) = delete;
  TOpenScope& operator=(const TOpenScope&) = delete;

 private:
  TClipboard* FClipboard;
};

}  // namespace

UINT CF_PICTURE() {
  static const UINT format = RegisterClipboardFormatA("KIVO Picture");
  assert(format != 0 && "the picture clipboard format is registered");
  return format;
}

TClipboard::~TClipboard() {
  if (FOpenCount > 0) {
    CloseClipboard();
    FOpenCount = 0;
  }
}

void TClipboard::Open() {
  if (FOpenCount == 0 && !OpenClipboard(nullptr))
    throw EOutOfResources("Cannot open clipboard");
  ++FOpenCount;
}

void TClipboard::Close() {
  if (FOpenCount == 0)
    return;
  if (--FOpenCount == 0)
    CloseClipboard();
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  Close();
}

bool TClipboard::HasFormat(UINT format) const {
  if (format == CF_PICTURE())
    return IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB);
  return IsClipboardFormatAvailable(format) != 0;
}

void TClipboard::SetHandleData(UINT format, HANDLE data) {
  Open();
  EmptyClipboard();
  if (!SetClipboardData(format, data)) {
    DeleteObject(data);
    Close();
    throw EOutOfResources("Cannot put the picture on the clipboard");
  }
  Close();
}

std::string TClipboard::GetAsText() {
  Open();
  std::string text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* chars = static_cast<const char*>(GlobalLock(data))) {
      // The block may be larger than the text; never read past it.
      const size_t size = GlobalSize(data);
      text.assign(chars, strnlen(chars, size));
      GlobalUnlock(data);
    }
  }
  Close();
  return text;
}

void TClipboard::SetAsText(const std::string& value) {
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, value.size() + 1);
  if (!data)
    throw EOutOfResources("Cannot allocate the text for the clipboard");
  auto* chars = static_cast<char*>(GlobalLock(data));
  memcpy(chars, value.c_str(), value.size() + 1);
  GlobalUnlock(data);
  Open();
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, data)) {
    GlobalFree(data);
    Close();
    throw EOutOfResources("Cannot put the text on the clipboard");
  }
  Close();
}

void TClipboard::Assign(TPersistent* source) {
  TGraphic* graphic = ObjectAs<TGraphic>(source);
  if (auto* picture = ObjectAs<TPicture>(source))
    graphic = picture->GetGraphic();
  if (!graphic && !ObjectAs<TPicture>(source)) {
    inherited::Assign(source);
    return;
  }
  if (!graphic || graphic->GetEmpty())
    throw EInvalidGraphic("There is no picture to put on the clipboard");
  TBitmap drawn;
  auto* bitmap = ObjectAs<TBitmap>(graphic);
  if (!bitmap) {
    drawn.Assign(graphic);
    bitmap = &drawn;
  }
  // The clipboard owns what it is given: hand it a device-dependent copy.
  HANDLE copy = CopyImage(bitmap->GetHandle(), IMAGE_BITMAP, 0, 0, 0);
  if (!copy)
    throw EOutOfResources("Cannot copy the picture for the clipboard");
  SetHandleData(CF_BITMAP, copy);
}

void TClipboard::AssignTo(TPersistent* dest) {
  if (auto* bitmap = ObjectAs<TBitmap>(dest)) {
    AssignToBitmap(bitmap);
    return;
  }
  if (auto* picture = ObjectAs<TPicture>(dest)) {
    TBitmap bitmap;
    AssignToBitmap(&bitmap);
    picture->Assign(&bitmap);
    return;
  }
  inherited::AssignTo(dest);
}

void TClipboard::AssignToBitmap(TBitmap* bitmap) {
  const TOpenScope open(this);
  // The clipboard makes CF_BITMAP from a CF_DIB itself.
  HANDLE data = GetClipboardData(CF_BITMAP);
  if (!data)
    throw EInvalidGraphic("The clipboard holds no picture");
  // The clipboard keeps its bitmap; the picture gets a device-independent copy.
  auto copy = static_cast<HBITMAP>(CopyImage(data, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!copy)
    throw EOutOfResources("Cannot copy the picture from the clipboard");
  bitmap->SetHandle(copy);
}

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}
