// TIcon: an icon graphic (form and application icons, image sources).
//
// The icon owns its handle. It is read from .ico files (the entry of the system icon
// size when there is one, else the first), with every directory entry checked against
// the bytes present; an icon read from a stream is written back as read. The size of
// an icon cannot be changed (EInvalidGraphic).
#pragma once

#include <vector>

#include "classlib/GdiHandles.h"
#include "classlib/Graphic.h"

class TIcon : public TGraphic {
  KIVO_CLASS(TIcon, TGraphic)
 public:
  TIcon() = default;
  ~TIcon() override = default;

  void Assign(TPersistent* source) override;

  HICON GetHandle() const { return FHandle.Get(); }
  // Takes ownership of `value`.
  void SetHandle(HICON value);
  // Gives up ownership of the handle; the icon becomes empty.
  HICON ReleaseHandle();
  bool HandleAllocated() const { return FHandle.Get() != nullptr; }

  bool GetEmpty() const override { return !FHandle; }
  // An icon always draws through its mask.
  bool GetTransparent() const override { return true; }
  int GetWidth() const override { return FWidth; }
  void SetWidth(int value) override;
  int GetHeight() const override { return FHeight; }
  void SetHeight(int value) override;

  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;

 protected:
  void Draw(TCanvas* canvas, const TRect& rect) override;

 private:
  void ReadSize();

  TIconHandle FHandle;
  int FWidth = 0;
  int FHeight = 0;
  std::vector<uint8_t> FImage;  // the .ico bytes the icon was read from
};
