#include "classlib/Clipboard.h"

#include "classlib/Bitmap.h"

#include <cstring>

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
  TBitmap* bitmap = ObjectAs<TBitmap>(source);
  if (auto* picture = ObjectAs<TPicture>(source))
    bitmap = picture->GetBitmap();
  if (!bitmap) {
    inherited::Assign(source);
    return;
  }
  // The clipboard owns what it is given: hand it a device-dependent copy.
  HANDLE copy = CopyImage(bitmap->GetHandle(), IMAGE_BITMAP, 0, 0, 0);
  if (!copy)
    throw EOutOfResources("Cannot copy the picture for the clipboard");
  SetHandleData(CF_BITMAP, copy);
}

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}
