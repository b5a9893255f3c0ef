#include "editors/DxContainer.h"

#include "classlib/AliveGuard.h"
#include "editors/DxInplaceEdit.h"

namespace {

// The flat scroll bars of comctl32, looked up once; absent entries fall back to the
// ordinary scroll functions.
struct TFlatScrollBars {
  using TInitialize = BOOL(WINAPI*)(HWND);
  using TSetProp = BOOL(WINAPI*)(HWND, UINT, INT_PTR, BOOL);
  using TGetInfo = BOOL(WINAPI*)(HWND, int, LPSCROLLINFO);
  using TSetInfo = int(WINAPI*)(HWND, int, LPCSCROLLINFO, BOOL);
  TInitialize Initialize = nullptr;
  TSetProp SetProp = nullptr;
  TGetInfo GetInfo = nullptr;
  TSetInfo SetInfo = nullptr;

  TFlatScrollBars() {
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    if (!comctl)
      return;
    Initialize = reinterpret_cast<TInitialize>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitializeFlatSB")));
    SetProp = reinterpret_cast<TSetProp>(reinterpret_cast<void*>(GetProcAddress(comctl, "FlatSB_SetScrollProp")));
    GetInfo = reinterpret_cast<TGetInfo>(reinterpret_cast<void*>(GetProcAddress(comctl, "FlatSB_GetScrollInfo")));
    SetInfo = reinterpret_cast<TSetInfo>(reinterpret_cast<void*>(GetProcAddress(comctl, "FlatSB_SetScrollInfo")));
  }
};

const TFlatScrollBars& FlatScrollBars() {
  static const TFlatScrollBars bars;
  return bars;
}

}  // namespace

TCustomdxContainer::TCustomdxContainer(TComponent* AOwner) : TCustomControl(AOwner) {}

void TCustomdxContainer::CreateWnd() {
  inherited::CreateWnd();
  const TFlatScrollBars& flat = FlatScrollBars();
  if (GetSystemMetrics(SM_MIDEASTENABLED) == 0 && flat.Initialize)
    flat.Initialize(GetHandle());
  if (flat.SetProp) {
    flat.SetProp(GetHandle(), WSB_PROP_HSTYLE, FScrollBarStyle, TRUE);
    flat.SetProp(GetHandle(), WSB_PROP_VSTYLE, FScrollBarStyle, TRUE);
  }
}

void TCustomdxContainer::GetScrollInfo(int bar, SCROLLINFO& info) {
  const TFlatScrollBars& flat = FlatScrollBars();
  if (!flat.GetInfo || !flat.GetInfo(GetHandle(), bar, &info))
    ::GetScrollInfo(GetHandle(), bar, &info);
}

void TCustomdxContainer::SetScrollInfo(int bar, const SCROLLINFO& info, bool redraw) {
  const TFlatScrollBars& flat = FlatScrollBars();
  if (flat.SetInfo)
    flat.SetInfo(GetHandle(), bar, &info, redraw);
  else
    ::SetScrollInfo(GetHandle(), bar, &info, redraw);
}

TdxEditStyle* TCustomdxContainer::CreateEditStyle(TdxInplaceEdit* edit) { return new TdxEditStyle(edit); }

void TCustomdxContainer::ScrollLines(bool up, int count) {
  // A scroll's handler (the top row's change) may free the container: the lines stop.
  for (int i = 0; i < count; ++i)
    if (!Survives(this, [&] { Perform(WM_VSCROLL, up ? SB_LINEUP : SB_LINEDOWN, 0); }))
      return;
}

void TCustomdxContainer::DoEditorKey(WORD& key, TShiftState shift) { OnEditorKey(this, key, shift); }

void TCustomdxContainer::Dispatch(TMessage& message) {
  if (message.Msg == WM_MOUSEWHEEL) {
    inherited::Dispatch(message);
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ScrollLines(short(HIWORD(message.WParam)) > 0, int(lines));
    return;
  }
  inherited::Dispatch(message);
}
