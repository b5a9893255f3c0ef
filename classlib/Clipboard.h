// The system clipboard as a persistent object: assigning a graphic (or a picture) to it
// puts a bitmap copy on the clipboard (CF_BITMAP), and assigning the clipboard to a
// picture or a bitmap reads that bitmap back. CF_PICTURE() is the class library's
// registered picture format: HasFormat answers it for any picture the clipboard holds
// in a form the library reads. Opening is counted so that nested Open/Close pairs keep
// one session. Raises EOutOfResources when the clipboard cannot be opened or refuses
// data, and EInvalidGraphic when there is no picture to put on it or to read from it.
#pragma once

#include <string>

#include "classlib/Persistent.h"
#include "classlib/Win.h"

class TBitmap;

// The registered clipboard format that stands for a picture (registered on first use).
UINT CF_PICTURE();

class TClipboard : public TPersistent {
  KIVO_CLASS(TClipboard, TPersistent)

 public:
  TClipboard() = default;
  ~TClipboard() override;

  void Open();
  void Close();
  void Clear();
  // Whether the clipboard holds `format`; for CF_PICTURE(), whether it holds a picture.
  bool HasFormat(UINT format) const;
  // The CF_TEXT contents (empty when there is no text); setting replaces the clipboard
  // contents with the text.
  std::string GetAsText();
  void SetAsText(const std::string& value);
  // A graphic, or the graphic of a picture, is copied onto the clipboard as a bitmap;
  // the source is left as it was.
  void Assign(TPersistent* source) override;

 protected:
  // Reads the clipboard's bitmap into a TPicture or a TBitmap.
  void AssignTo(TPersistent* dest) override;

 private:
  void AssignToBitmap(TBitmap* bitmap);
  // Hands `data` to the clipboard, which then owns it; frees it when refused.
  void SetHandleData(UINT format, HANDLE data);

  HWND FWindow = nullptr;
  int FOpenCount = 0;
};

// The process's clipboard object, made on first use.
TClipboard* Clipboard();
