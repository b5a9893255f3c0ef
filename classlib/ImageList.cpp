#include "classlib/ImageList.h"

#include <algorithm>
#include <memory>

#include "classlib/Exceptions.h"
#include "classlib/GdiHandles.h"
#include "classlib/HandleCounter.h"

namespace {

// The raster operation that paints the brush where the source is black and keeps the
// target where it is white (dest = source ? dest : pattern).
constexpr DWORD ROP_DSPDxax = 0x00E20746;

// A copy of `image` for comctl32, which may change the bitmap it is given.
std::unique_ptr<TBitmap> CopyForList(TBitmap* image) {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(image);
  return copy;
}

}  // namespace

COLORREF ImageListColor(TColor color) {
  if (color == clNone)
    return CLR_NONE;
  if (color == clDefault)
    return CLR_DEFAULT;
  return ColorToRGB(color);
}

// ---- TChangeLink --------------------------------------------------------------------------

TChangeLink::~TChangeLink() {
  if (FSender)
    FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() { OnChange(FSender); }

// ---- TCustomImageList ---------------------------------------------------------------------

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, int width, int height)
    : TComponent(AOwner), FWidth(width), FHeight(height) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : FLinks)
    link->SetSender(nullptr);
  FLinks.clear();
  if (FDragging)
    EndDrag();
  FreeHandle();
}

void TCustomImageList::CreateImageList() {
  FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | (FMasked ? ILC_MASK : 0), FAllocBy, FAllocBy);
  if (!FHandle)
    throw EOutOfResources(Format("Cannot create a %d x %d image list", FWidth, FHeight));
  HandleCreated(THandleKind::ImageList, FHandle);
  ImageList_SetBkColor(FHandle, ImageListColor(FBkColor));
}

void TCustomImageList::FreeHandle() {
  if (!FHandle)
    return;
  HandleDestroyed(THandleKind::ImageList, FHandle);
  ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

HIMAGELIST TCustomImageList::GetHandle() {
  if (!FHandle)
    CreateImageList();
  return FHandle;
}

void TCustomImageList::SetSize(int width, int height) {
  if (width <= 0 || height <= 0)
    throw EInvalidOperation("Invalid image size");
  if (width == FWidth && height == FHeight)
    return;
  FWidth = width;
  FHeight = height;
  if (FHandle)
    ImageList_SetIconSize(FHandle, width, height);
  Change();
}

void TCustomImageList::SetMasked(bool value) {
  if (value == FMasked)
    return;
  FMasked = value;
  if (FHandle) {
    FreeHandle();
    Change();
  }
}

void TCustomImageList::SetBkColor(TColor value) {
  FBkColor = value;
  if (FHandle)
    ImageList_SetBkColor(FHandle, ImageListColor(value));
}

int TCustomImageList::GetCount() { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::Assign(TPersistent* source) {
  if (!source) {
    Clear();
    return;
  }
  if (auto* list = ObjectAs<TCustomImageList>(source)) {
    FreeHandle();
    FWidth = list->FWidth;
    FHeight = list->FHeight;
    FMasked = list->FMasked;
    FAllocBy = list->FAllocBy;
    FBkColor = list->FBkColor;
    FBlendColor = list->FBlendColor;
    FDrawingStyle = list->FDrawingStyle;
    FImageType = list->FImageType;
    if (list->FHandle) {
      FHandle = ImageList_Duplicate(list->FHandle);
      HandleCreated(THandleKind::ImageList, FHandle);
    }
    Change();
    return;
  }
  inherited::Assign(source);
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->GetEmpty())
    return -1;
  auto copy = CopyForList(image);
  std::unique_ptr<TBitmap> maskCopy = mask ? CopyForList(mask) : nullptr;
  const int index = ImageList_Add(GetHandle(), copy->GetHandle(), maskCopy ? maskCopy->GetHandle() : nullptr);
  if (index < 0)
    throw EInvalidOperation("Failed to add an image to the image list");
  Change();
  return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->GetEmpty())
    return -1;
  if (maskColor == clDefault)
    maskColor = image->GetTransparentColor();
  auto copy = CopyForList(image);
  const int index = ImageList_AddMasked(GetHandle(), copy->GetHandle(), ColorToRGB(maskColor));
  if (index < 0)
    throw EInvalidOperation("Failed to add an image to the image list");
  Change();
  return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->GetEmpty())
    return -1;
  const int index = ImageList_AddIcon(GetHandle(), icon->GetHandle());
  if (index < 0)
    throw EInvalidOperation("Failed to add an image to the image list");
  Change();
  return index;
}

void TCustomImageList::ResourceLoad(HINSTANCE instance, const std::string& name, TColor maskColor) {
  TBitmap bitmap;
  bitmap.LoadFromResourceName(instance, name);
  AddMasked(&bitmap, maskColor);
}

void TCustomImageList::Delete(int index) {
  if (index < 0 || index >= GetCount())
    throw EInvalidOperation(Format("Image list index out of bounds (%d)", index));
  ImageList_Remove(FHandle, index);
  Change();
}

void TCustomImageList::Clear() {
  if (FHandle)
    ImageList_Remove(FHandle, -1);
  Change();
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  static const UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  const UINT style = kStyles[FDrawingStyle] | (FImageType == itMask ? ILD_MASK : 0);
  DoDraw(index, canvas, x, y, style, enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, int x, int y, int index, int overlay, bool enabled) {
  static const UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  const UINT style = kStyles[FDrawingStyle] | (FImageType == itMask ? ILD_MASK : 0) |
                     INDEXTOOVERLAYMASK(overlay + 1);
  DoDraw(index, canvas, x, y, style, enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
  if (!FHandle || index < 0 || index >= GetCount())
    return;
  if (enabled) {
    ImageList_DrawEx(FHandle, index, canvas->GetHandle(), x, y, 0, 0, ImageListColor(FBkColor),
                     ImageListColor(FBlendColor), style);
    return;
  }
  // Greyed: a monochrome mask of the image (black where it has pixels of its own), then
  // those pixels in the highlight colour one pixel down and right and in the shadow
  // colour in place.
  TMemoryDC monoDC;
  TBitmapHandle mono(CreateBitmap(FWidth, FHeight, 1, 1, nullptr));
  TSelectGuard monoSelected(monoDC, mono.Get());
  {
    TMemoryDC colourDC;
    void* bits = nullptr;
    TBitmapHandle colour(CreateBitmapOfFormat(FWidth, FHeight, pf32bit, &bits));
    TSelectGuard colourSelected(colourDC, colour.Get());
    PatBlt(colourDC, 0, 0, FWidth, FHeight, WHITENESS);
    ImageList_DrawEx(FHandle, index, colourDC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    ::SetBkColor(colourDC, RGB(255, 255, 255));  // white becomes 1, everything else 0
    BitBlt(monoDC, 0, 0, FWidth, FHeight, colourDC, 0, 0, SRCCOPY);
  }
  for (const auto& [color, offset] : {std::pair{clBtnHighlight, 1}, std::pair{clBtnShadow, 0}}) {
    canvas->GetBrush()->SetColor(color);
    canvas->RequiredState({csHandleValid, csBrushValid});
    HDC target = canvas->GetHandle();
    const COLORREF oldText = SetTextColor(target, RGB(255, 255, 255));
    const COLORREF oldBk = ::SetBkColor(target, RGB(0, 0, 0));
    BitBlt(target, x + offset, y + offset, FWidth, FHeight, monoDC, 0, 0, ROP_DSPDxax);
    SetTextColor(target, oldText);
    ::SetBkColor(target, oldBk);
  }
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (!link || std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end())
    return;
  link->SetSender(this);
  FLinks.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  auto it = std::find(FLinks.begin(), FLinks.end(), link);
  if (it == FLinks.end())
    return;
  link->SetSender(nullptr);
  FLinks.erase(it);
}

void TCustomImageList::Change() {
  for (TChangeLink* link : std::vector<TChangeLink*>(FLinks))
    link->Change();
  OnChange(this);
}

bool TCustomImageList::SetDragImage(int index, int hotSpotX, int hotSpotY) {
  FDragIndex = index;
  FDragHotSpot = POINT{hotSpotX, hotSpotY};
  if (FDragging)
    return ImageList_SetDragCursorImage(GetHandle(), index, hotSpotX, hotSpotY) != FALSE;
  return true;
}

bool TCustomImageList::BeginDrag(HWND window, int x, int y) {
  if (FDragging)
    return false;
  if (!ImageList_BeginDrag(GetHandle(), FDragIndex, FDragHotSpot.x, FDragHotSpot.y))
    return false;
  FDragging = true;
  return DragLock(window, x, y);
}

bool TCustomImageList::DragMove(int x, int y) { return FDragging && ImageList_DragMove(x, y); }

bool TCustomImageList::DragLock(HWND window, int x, int y) {
  if (!FDragging)
    return false;
  if (FDragWindow && FDragWindow != window)
    DragUnlock();
  FDragWindow = window;
  return ImageList_DragEnter(window, x, y) != FALSE;
}

void TCustomImageList::DragUnlock() {
  if (FDragging && FDragWindow)
    ImageList_DragLeave(FDragWindow);
  FDragWindow = nullptr;
}

bool TCustomImageList::EndDrag() {
  if (!FDragging)
    return false;
  DragUnlock();
  ImageList_EndDrag();
  FDragging = false;
  return true;
}

void TCustomImageList::HideDragImage() {
  if (FDragging)
    ImageList_DragShowNolock(FALSE);
}

void TCustomImageList::ShowDragImage() {
  if (FDragging)
    ImageList_DragShowNolock(TRUE);
}

bool ReplaceImageList(TComponent* watcher, TCustomImageList*& field, TChangeLink* link,
                      TCustomImageList* value) {
  if (field == value)
    return false;
  if (field) {
    field->UnRegisterChanges(link);
    field->RemoveFreeNotification(watcher);
  }
  field = value;
  if (value) {
    value->RegisterChanges(link);
    value->FreeNotification(watcher);
  }
  return true;
}
