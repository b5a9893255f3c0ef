// Decision taken here: listeners are told in list order, and the loop stops when the
// index reaches the list's current length, so a listener that leaves the list while it
// is told (an editor freed or relinked in its StyleChanged or in OnStyleChanged) ends
// the round instead of reading past the list.
#include "editors/DxEditStyle.h"

#include "classlib/AliveGuard.h"
#include "classlib/GdiHandles.h"
#include "classlib/UpdateScope.h"
#include "editors/DxInplaceEdit.h"

namespace {

int gInitCount = 0;
TdxEditStyleController* gDefaultController = nullptr;
TBrushHandle gShadowBrush;

// The seven style values of `from` (a style or a controller) set on `to`.
template <class To, class From>
void CopyStyleValues(To& to, From& from) {
  to.SetBorderColor(from.GetBorderColor());
  to.SetBorderStyle(from.GetBorderStyle());
  to.SetButtonStyle(from.GetButtonStyle());
  to.SetButtonTransparence(from.GetButtonTransparence());
  to.SetEdges(from.GetEdges());
  to.SetHotTrack(from.GetHotTrack());
  to.SetShadow(from.GetShadow());
}

}  // namespace

void InitializeDxEditStyles() {
  if (gInitCount++ > 0)
    return;
  gShadowBrush.Reset(CreateSolidBrush(ColorToRGB(clBtnShadow)));
  gDefaultController = new TdxEditStyleController(nullptr);
}

void FinalizeDxEditStyles() {
  if (gInitCount == 0 || --gInitCount > 0)
    return;
  FreeAndNil(gDefaultController);
  gShadowBrush.Reset();
}

HBRUSH DxEditShadowBrush() { return gShadowBrush.Get(); }

// ---- TdxStyleController -------------------------------------------------------------

TdxStyleController::TdxStyleController(TComponent* AOwner) : TComponent(AOwner) {}

TdxStyleController::~TdxStyleController() = default;

void TdxStyleController::EndUpdate() {
  --FUpdateLock;
  Changed();
}

void TdxStyleController::Changed() {
  if (FUpdateLock > 0 || GetComponentState().Contains(csLoading))
    return;
  // A listener's handler may free the controller.
  for (size_t i = 0; i < FListeners.size(); ++i)
    if (!Survives(this, &TdxStyleController::DoStyleChanged, FListeners[i]))
      return;
}

void TdxStyleController::AddListener(TObject* listener) { FListeners.push_back(listener); }

void TdxStyleController::RemoveListener(TObject* listener) {
  for (auto it = FListeners.begin(); it != FListeners.end(); ++it) {
    if (*it == listener) {
      FListeners.erase(it);
      return;
    }
  }
}

void TdxStyleController::DoStyleChanged(TObject* listener) { OnStyleChanged(this, listener); }

void TdxStyleController::Loaded() {
  inherited::Loaded();
  Changed();
}

// ---- TdxEditStyleController ---------------------------------------------------------

TdxEditStyleController::TdxEditStyleController(TComponent* AOwner) : TdxStyleController(AOwner) {}

template <class T>
void TdxEditStyleController::Write(T& field, T value) {
  if (field == value)
    return;
  field = value;
  Changed();
}

void TdxEditStyleController::SetBorderColor(TColor value) { Write(FBorderColor, value); }
void TdxEditStyleController::SetBorderStyle(TdxEditBorderStyle value) { Write(FBorderStyle, value); }
void TdxEditStyleController::SetButtonStyle(TdxEditButtonViewStyle value) { Write(FButtonStyle, value); }
void TdxEditStyleController::SetButtonTransparence(TdxEditButtonTransparence value) {
  Write(FButtonTransparence, value);
}
void TdxEditStyleController::SetEdges(TdxEditEdges value) { Write(FEdges, value); }
void TdxEditStyleController::SetHotTrack(bool value) { Write(FHotTrack, value); }
void TdxEditStyleController::SetShadow(bool value) { Write(FShadow, value); }

void TdxEditStyleController::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxEditStyleController>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  const TUpdateScope update(this);
  CopyStyleValues(*this, *other);
}

void TdxEditStyleController::RestoreDefaults() {
  const TUpdateScope update(this);
  SetBorderColor(dxDefaultBorderColor);
  SetBorderStyle(dxDefaultBorderStyle);
  SetButtonStyle(dxDefaultButtonStyle);
  SetButtonTransparence(dxDefaultButtonTransparence);
  SetEdges(dxAllEdges);
  SetHotTrack(false);
  SetShadow(false);
}

void TdxEditStyleController::DoStyleChanged(TObject* listener) {
  auto* edit = ObjectAs<TdxInplaceEdit>(listener);
  if (edit && edit->GetStyleController() && edit->GetStyleController() != this)
    return;
  if (edit)
    edit->StyleChanged();
  inherited::DoStyleChanged(listener);
}

// ---- TdxEditStyle -------------------------------------------------------------------

TdxEditStyle::TdxEditStyle(TdxInplaceEdit* edit) : TdxEditStyle(edit, &MetaClass()) {}

TdxEditStyle::TdxEditStyle(TdxInplaceEdit* edit, const TdxEditStyleClass* cls) : FEdit(edit) {
  FJoinedController = cls->DefaultStyleController();
  if (FJoinedController)
    FJoinedController->AddListener(edit);
}

TdxEditStyle::~TdxEditStyle() {
  if (FJoinedController)
    FJoinedController->RemoveListener(FEdit);
}

TdxEditStyleController* TdxEditStyle::DefaultStyleController() { return gDefaultController; }

TdxEditStyleController* TdxEditStyle::SourceController() {
  if (FEdit && FEdit->GetStyleController())
    return FEdit->GetStyleController();
  return static_cast<const TdxEditStyleClass*>(ClassType())->DefaultStyleController();
}

void TdxEditStyle::Changed() {
  if (FEdit)
    FEdit->StyleChanged();
}

void TdxEditStyle::RestoreDefaults() {
  FAssignedValues = {};
  Changed();
}

void TdxEditStyle::SetAssignedValues(TdxEditStyleValues value) {
  if (FAssignedValues == value)
    return;
  FAssignedValues = value;
  Changed();
}

template <class T>
void TdxEditStyle::Write(TdxEditStyleValue bit, T& field, T value) {
  if (FAssignedValues.Contains(bit) && field == value)
    return;
  field = value;
  FAssignedValues.Include(bit);
  Changed();
}

TColor TdxEditStyle::GetBorderColor() {
  return FAssignedValues.Contains(svBorderColor) ? FBorderColor : GetDefaultBorderColor();
}
void TdxEditStyle::SetBorderColor(TColor value) { Write(svBorderColor, FBorderColor, value); }

TdxEditBorderStyle TdxEditStyle::GetBorderStyle() {
  return FAssignedValues.Contains(svBorderStyle) ? FBorderStyle : GetDefaultBorderStyle();
}
void TdxEditStyle::SetBorderStyle(TdxEditBorderStyle value) { Write(svBorderStyle, FBorderStyle, value); }

TdxEditButtonViewStyle TdxEditStyle::GetButtonStyle() {
  return FAssignedValues.Contains(svButtonStyle) ? FButtonStyle : GetDefaultButtonStyle();
}
void TdxEditStyle::SetButtonStyle(TdxEditButtonViewStyle value) { Write(svButtonStyle, FButtonStyle, value); }

TdxEditButtonTransparence TdxEditStyle::GetButtonTransparence() {
  return FAssignedValues.Contains(svButtonTransparence) ? FButtonTransparence
                                                        : GetDefaultButtonTransparence();
}
void TdxEditStyle::SetButtonTransparence(TdxEditButtonTransparence value) {
  Write(svButtonTransparence, FButtonTransparence, value);
}

TdxEditEdges TdxEditStyle::GetEdges() {
  return FAssignedValues.Contains(svEdges) ? FEdges : GetDefaultEdges();
}
void TdxEditStyle::SetEdges(TdxEditEdges value) { Write(svEdges, FEdges, value); }

bool TdxEditStyle::GetHotTrack() {
  return FAssignedValues.Contains(svHotTrack) ? FHotTrack : GetDefaultHotTrack();
}
void TdxEditStyle::SetHotTrack(bool value) { Write(svHotTrack, FHotTrack, value); }

bool TdxEditStyle::GetShadow() { return FAssignedValues.Contains(svShadow) ? FShadow : GetDefaultShadow(); }
void TdxEditStyle::SetShadow(bool value) { Write(svShadow, FShadow, value); }

template <class T>
T TdxEditStyle::FromController(T (TdxEditStyleController::*read)() const, T fallback) {
  TdxEditStyleController* controller = SourceController();
  return controller ? (controller->*read)() : fallback;
}

TColor TdxEditStyle::GetDefaultBorderColor() {
  return FromController(&TdxEditStyleController::GetBorderColor, dxDefaultBorderColor);
}
TdxEditBorderStyle TdxEditStyle::GetDefaultBorderStyle() {
  return FromController(&TdxEditStyleController::GetBorderStyle, dxDefaultBorderStyle);
}
TdxEditButtonViewStyle TdxEditStyle::GetDefaultButtonStyle() {
  return FromController(&TdxEditStyleController::GetButtonStyle, dxDefaultButtonStyle);
}
TdxEditButtonTransparence TdxEditStyle::GetDefaultButtonTransparence() {
  return FromController(&TdxEditStyleController::GetButtonTransparence, dxDefaultButtonTransparence);
}
TdxEditEdges TdxEditStyle::GetDefaultEdges() { return FromController(&TdxEditStyleController::GetEdges, dxAllEdges); }
bool TdxEditStyle::GetDefaultHotTrack() { return FromController(&TdxEditStyleController::GetHotTrack, false); }
bool TdxEditStyle::GetDefaultShadow() { return FromController(&TdxEditStyleController::GetShadow, false); }

void TdxEditStyle::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxEditStyle>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  CopyStyleValues(*this, *other);
}
