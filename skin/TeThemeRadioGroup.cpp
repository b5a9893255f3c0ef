// Decisions taken here:
// - ItemIndex never indexes past the buttons: a stored index read with fewer items,
//   or a button freed from outside, leaves no dangling index; setting and rebuilding
//   clamp it to the buttons there are.
// - Arranging before the group has a window sets the buttons' bounds directly (the
//   deferred batch needs windows, and making them needs a parent window).
// - Button sizes never go below 0 in a group too small for its items.
#include "skin/TeThemeRadioGroup.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/FlagScope.h"
#include "classlib/GdiHandles.h"
#include "skin/TeThemeEngine.h"

namespace {

// EndDeferWindowPos for a batch that was begun, however the arranging ends.
class TDeferBatch {
 public:
  explicit TDeferBatch(int count) : FHandle(BeginDeferWindowPos(count)) {}
  ~TDeferBatch() {
    if (FHandle)
      EndDeferWindowPos(FHandle);
  }
  TDeferBatch(const TDeferBatch&) = delete;
  TDeferBatch& operator=(const TDeferBatch&) = delete;
  // Adds a move; answers false when the batch is gone and the caller must move `wnd` itself.
  bool Move(HWND wnd, const TRect& r) {
    if (FHandle)
      FHandle = DeferWindowPos(FHandle, wnd, nullptr, r.left, r.top, RectWidth(r), RectHeight(r),
                               SWP_NOZORDER | SWP_NOACTIVATE);
    return FHandle != nullptr;
  }

 private:
  HDWP FHandle;
};

int FontHeight(TFont* font) {
  TClientDC dc(nullptr);
  TSelectGuard select(dc.Get(), font->GetHandle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc.Get(), &metrics);
  return metrics.tmHeight;
}

}  // namespace

// ---- TTeThemeGroupButton -----------------------------------------------------------------

TTeThemeGroupButton::TTeThemeGroupButton(TTeThemeRadioGroup* group)
    : TTeThemeRadioButton(group), FGroup(group), FItemTabStop(group->FItemTabStop) {
  group->FButtons.push_back(this);
  SetVisible(false);
  SetEnabled(group->GetEnabled());
  SetParentShowHint(false);
  OnClick = TNotifyEvent::Bind<&TTeThemeRadioGroup::ButtonClick>(group);
  SetParent(group);
}

TTeThemeGroupButton::~TTeThemeGroupButton() {
  auto& buttons = FGroup->FButtons;
  buttons.erase(std::remove(buttons.begin(), buttons.end(), this), buttons.end());
}

void TTeThemeGroupButton::Click() {
  if (GetChecked())
    SetTabStop(FItemTabStop);
  inherited::Click();
}

void TTeThemeGroupButton::KeyDown(WORD& key, TShiftState shift) {
  if (Survives(this, [&] { inherited::KeyDown(key, shift); }))
    FGroup->KeyDown(key, shift);
}

void TTeThemeGroupButton::KeyPress(char& key) {
  if (!Survives(this, [&] { inherited::KeyPress(key); }))
    return;
  FGroup->KeyPress(key);
  if ((key == '\b' || key == ' ') && !FGroup->CanModify())
    key = 0;
}

void TTeThemeGroupButton::Dispatch(TMessage& message) {
  if (message.Msg == CN_COMMAND) {
    const WORD code = HIWORD(message.WParam);
    if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && !FGroup->CanModify())
      return;
  }
  inherited::Dispatch(message);
}

// ---- TTeThemeRadioGroup ------------------------------------------------------------------

TTeThemeRadioGroup::TTeThemeRadioGroup(TComponent* AOwner)
    : TTeThemeGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
  SetControlStyle(GetControlStyle() + TControlStyle{csSetCaption, csDoubleClicks});
  FItems->OnChange = TNotifyEvent::Bind<&TTeThemeRadioGroup::ItemsChange>(this);
}

TTeThemeRadioGroup::~TTeThemeRadioGroup() {
  Destroying();
  FItems->OnChange = {};
  SetButtonCount(0);
}

TTeThemeGroupButton* TTeThemeRadioGroup::ButtonAt(int index) const {
  return index >= 0 && index < int(FButtons.size()) ? FButtons[index] : nullptr;
}

void TTeThemeRadioGroup::SetItemIndex(int value) {
  if (FReading) {
    FItemIndex = value;
    return;
  }
  value = std::clamp(value, -1, int(FButtons.size()) - 1);
  if (value == FItemIndex)
    return;
  if (TTeThemeGroupButton* old = ButtonAt(FItemIndex))
    old->SetChecked(false);
  FItemIndex = value;
  if (TTeThemeGroupButton* button = ButtonAt(FItemIndex))
    button->SetChecked(true);
}

void TTeThemeRadioGroup::SetColumns(int value) {
  value = std::clamp(value, 1, 16);
  if (value == FColumns)
    return;
  FColumns = value;
  ArrangeButtons();
  Invalidate();
}

void TTeThemeRadioGroup::SetItemTabStop(bool value) {
  if (value == FItemTabStop)
    return;
  FItemTabStop = value;
  for (TTeThemeGroupButton* button : FButtons) {
    button->SetItemTabStop(value);
    if (button->GetChecked())
      button->SetTabStop(value);
  }
}

void TTeThemeRadioGroup::SetButtonCount(int count) {
  while (int(FButtons.size()) < count)
    new TTeThemeGroupButton(this);  // appends itself
  while (int(FButtons.size()) > count)
    delete FButtons.back();  // removes itself
}

void TTeThemeRadioGroup::CheckQuietly(TTeThemeGroupButton* button) {
  TFlagScope updating(FUpdating);
  button->SetChecked(true);
  button->SetTabStop(button->GetItemTabStop());
}

void TTeThemeRadioGroup::UpdateButtons() {
  SetButtonCount(FItems->GetCount());
  for (int i = 0; i < int(FButtons.size()); ++i) {
    FButtons[i]->SetCaption(FItems->Get(i));
    FButtons[i]->SetThemeEngine(GetThemeEngine());
  }
  FItemIndex = std::clamp(FItemIndex, -1, int(FButtons.size()) - 1);
  if (TTeThemeGroupButton* button = ButtonAt(FItemIndex))
    CheckQuietly(button);
  ArrangeButtons();
  Invalidate();
}

void TTeThemeRadioGroup::ArrangeButtons() {
  if (FButtons.empty() || FReading)
    return;
  const int count = int(FButtons.size());
  const int textHeight = FontHeight(GetFont());
  const int perColumn = (count + FColumns - 1) / FColumns;
  const int buttonWidth = std::max(0, (GetWidth() - 10) / FColumns);
  const int freeHeight = GetHeight() - textHeight - 5;
  const int buttonHeight = std::max(0, freeHeight / perColumn);
  const int topMargin = textHeight + 1 + (freeHeight % perColumn) / 2;
  const bool mirrored = UseRightToLeftAlignment();
  const int clientWidth = mirrored ? GetClientWidth() : 0;

  auto place = [&](int i) {
    int left = (i / perColumn) * buttonWidth + 8;
    if (mirrored)
      left = clientWidth - left - buttonWidth;
    return Bounds(left, (i % perColumn) * buttonHeight + topMargin, buttonWidth, buttonHeight);
  };
  if (!HandleAllocated()) {
    for (int i = 0; i < count; ++i) {
      TTeThemeGroupButton* button = FButtons[i];
      button->SetBiDiMode(GetBiDiMode());
      button->SetBoundsRect(place(i));
      button->SetVisible(true);
    }
    return;
  }
  TDeferBatch batch(count);
  for (int i = 0; i < count; ++i) {
    TTeThemeGroupButton* button = FButtons[i];
    button->SetBiDiMode(GetBiDiMode());
    if (!batch.Move(button->GetHandle(), place(i)))
      button->SetBoundsRect(place(i));
    button->SetVisible(true);
  }
}

void TTeThemeRadioGroup::ButtonClick(TObject* sender) {
  if (FUpdating)
    return;
  auto found = std::find(FButtons.begin(), FButtons.end(), sender);
  if (found == FButtons.end())
    return;
  SetItemIndex(int(found - FButtons.begin()));
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
  Click();
}

void TTeThemeRadioGroup::ItemsChange(TObject*) {
  if (FReading || GetComponentState().Contains(csDestroying))
    return;
  if (FItemIndex >= FItems->GetCount())
    FItemIndex = FItems->GetCount() - 1;
  UpdateButtons();
}

void TTeThemeRadioGroup::ReadState(TReader& reader) {
  {
    TFlagScope reading(FReading);
    inherited::ReadState(reader);
  }
  UpdateButtons();
}

void TTeThemeRadioGroup::Loaded() {
  inherited::Loaded();
  ArrangeButtons();
  UpdateButtons();
}

void TTeThemeRadioGroup::Resize() {
  if (Survives(this, [&] { inherited::Resize(); }))
    ArrangeButtons();
}

void TTeThemeRadioGroup::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(message);
      for (TTeThemeGroupButton* button : FButtons)
        button->SetEnabled(GetEnabled());
      return;
    case CM_FONTCHANGED:
      inherited::Dispatch(message);
      ArrangeButtons();
      return;
  }
  inherited::Dispatch(message);
}
