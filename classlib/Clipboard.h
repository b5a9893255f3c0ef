// The system clipboard as a persistent object: assigning a bitmap to it puts a copy
// on the clipboard (CF_BITMAP). Opening is counted so that nested Open/Close pairs
// keep one session. Raises EOutOfResources when the clipboard cannot be opened.
#pragma once

#include <string>

#include "classlib/Persistent.h"
#include "classlib/Win.h"

class TClipboard : public TPersistent {
  KIVO_CLASS(TClipboard, TPersistent)

 public:
  TClipboard() = default;
  ~TClipboard() override;

  void Open();
  void Close();
  void Clear();
  bool HasFormat(UINT format) const { return IsClipboardFormatAvailable(format) != 0; }
  // The CF_TEXT contents (empty when there is no text); setting replaces the clipboard
  // contents with the text.
  std::string GetAsText();
  void SetAsText(const std::string& value);
  // A TBitmap (or a TPicture holding one) is copied onto the clipboard.
  void Assign(TPersistent* source) override;

 private:
  // Hands `data` to the clipboard, which then owns it; frees it when refused.
  void SetHandleData(UINT format, HANDLE data);

  HWND FWindow = nullptr;
  int FOpenCount = 0;
};

// The process's clipboard object, made on first use.
TClipboard* Clipboard();
