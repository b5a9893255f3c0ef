// Image lists over comctl32: same-sized images drawn normally, greyed or masked, with
// change links for the controls that show them and the drag-image operations.
#pragma once

#include <vector>

#include "classlib/Bitmap.h"
#include "classlib/Canvas.h"
#include "classlib/Colors.h"
#include "classlib/Components.h"
#include "classlib/Events.h"
#include "classlib/Icon.h"
#include "classlib/Win.h"

class TCustomImageList;

// A colour for the image-list functions: clNone is CLR_NONE, clDefault CLR_DEFAULT,
// anything else its RGB value.
COLORREF ImageListColor(TColor color);

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

// A listener of one image list: OnChange fires with the list as Sender whenever its
// images change. A link unregisters itself when it goes; a list that goes first clears
// the links' Sender.
class TChangeLink : public TObject {
  KIVO_CLASS(TChangeLink, TObject)
 public:
  TChangeLink() = default;
  ~TChangeLink() override;
  TCustomImageList* GetSender() const { return FSender; }
  void SetSender(TCustomImageList* value) { FSender = value; }
  virtual void Change();
  TNotifyEvent OnChange;

 private:
  TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
  KIVO_CLASS(TCustomImageList, TComponent)
 public:
  // A masked list of 16 x 16 images.
  explicit TCustomImageList(TComponent* AOwner);
  TCustomImageList(TComponent* AOwner, int width, int height);
  ~TCustomImageList() override;

  void Assign(TPersistent* source) override;

  HIMAGELIST GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  int GetWidth() const { return FWidth; }
  void SetWidth(int value) { SetSize(value, FHeight); }
  int GetHeight() const { return FHeight; }
  void SetHeight(int value) { SetSize(FWidth, value); }
  // A new size empties the list.
  void SetSize(int width, int height);
  int GetCount();
  int GetAllocBy() const { return FAllocBy; }
  void SetAllocBy(int value) { FAllocBy = value; }
  bool GetMasked() const { return FMasked; }
  void SetMasked(bool value);
  TColor GetBkColor() const { return FBkColor; }
  void SetBkColor(TColor value);
  TColor GetBlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor value) { FBlendColor = value; }
  TDrawingStyle GetDrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle value) { FDrawingStyle = value; }
  TImageType GetImageType() const { return FImageType; }
  void SetImageType(TImageType value) { FImageType = value; }

  // Adds the images of `image` (several when it is wider than one image); answers the
  // index of the first. `mask` may be null.
  int Add(TBitmap* image, TBitmap* mask);
  // Adds with every pixel of `maskColor` transparent; clDefault takes the bitmap's
  // transparent colour. The bitmap itself is not changed.
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(TIcon* icon);
  // Loads a bitmap resource and adds it masked with `maskColor`.
  void ResourceLoad(HINSTANCE instance, const std::string& name, TColor maskColor);
  void Delete(int index);
  void Clear();
  // Draws image `index` at (x, y); a disabled image is drawn greyed (embossed in the
  // highlight and shadow colours).
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  void DrawOverlay(TCanvas* canvas, int x, int y, int index, int overlay, bool enabled = true);

  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);

  // Drag images.
  bool SetDragImage(int index, int hotSpotX, int hotSpotY);
  bool BeginDrag(HWND window, int x, int y);
  bool DragMove(int x, int y);
  bool DragLock(HWND window, int x, int y);
  void DragUnlock();
  bool EndDrag();
  void HideDragImage();
  void ShowDragImage();
  bool GetDragging() const { return FDragging; }

  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  virtual void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled);

 private:
  void CreateImageList();
  void FreeHandle();

  HIMAGELIST FHandle = nullptr;
  int FWidth = 16;
  int FHeight = 16;
  int FAllocBy = 4;
  bool FMasked = true;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  std::vector<TChangeLink*> FLinks;
  int FDragIndex = 0;
  POINT FDragHotSpot{};
  bool FDragging = false;
  HWND FDragWindow = nullptr;
};

// Points `watcher`'s `field` at `value`: the change link and the free notification move
// from the old list to the new one. False when `field` already held `value`.
bool ReplaceImageList(TComponent* watcher, TCustomImageList*& field, TChangeLink* link,
                      TCustomImageList* value);

class TImageList : public TCustomImageList {
  KIVO_CLASS(TImageList, TCustomImageList)
 public:
  using TCustomImageList::TCustomImageList;
};
