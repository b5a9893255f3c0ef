#include "editors/DxContainer.h"

#include "editors/DxInplaceEdit.h"

TCustomdxContainer::TCustomdxContainer(TComponent* AOwner) : TCustomControl(AOwner) {}

TdxEditStyle* TCustomdxContainer::CreateEditStyle(TdxInplaceEdit* edit) { return new TdxEditStyle(edit); }

void TCustomdxContainer::ScrollLines(bool up, int count) {
  for (int i = 0; i < count; ++i)
    Perform(WM_VSCROLL, up ? SB_LINEUP : SB_LINEDOWN, 0);
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
