// TdxInplaceEdit: the abstract base of every editor of the library.
//
// An editor works in two modes. In place (its class's IsInplace answers True, as for
// every editor class here) it belongs to a container (TCustomdxContainer, its Owner)
// that shows it over a cell, receives its navigation keys, double clicks and focus
// changes, and is asked whether the editor may modify. Stand-alone it is an ordinary
// focusable control. It owns a TdxEditStyle, keeps a modified flag with a snapshot for
// undoing, validates through OnValidate (raising EdxEditInvalidInput), and paints its
// frame in the non-client area from view data.
//
// Painting a cell needs no editor: the class operations (CalcViewData, Draw,
// DrawBorder, DrawContent, GetCursor, GetMinHeight, GetContentSize, GetViewDataClass,
// IsInplace) work on view data alone and are reached through the editor's class
// (TdxInplaceEditClass). A descendant overrides one by declaring its own static
// member of that name, which the family's TMetaFor then forwards to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "classlib/Controls.h"
#include "classlib/Exceptions.h"
#include "classlib/Variants.h"
#include "editors/DxEditStyle.h"
#include "editors/DxEditViewData.h"

class TCustomdxContainer;
class TdxInplaceEdit;

// Raised by ValidateEdit when OnValidate refuses the value.
class EdxEditInvalidInput : public Exception {
 public:
  using Exception::Exception;
};

// (Sender: the editor, var ErrorText, var Accept).
using TdxEditValidateEvent = TEvent<TObject* /*Sender*/, std::string& /*ErrorText*/, bool& /*Accept*/>;

// Bits of an editor's assigned values.
enum TdxEditAssignedValue : uint8_t {
  evAlignment = 0,
  evMaxLength = 1,
  evEditMask = 2,
  evValueType = 3,
  evMaxValue = 4,
  evMinValue = 5,
  evReadOnly = 6,
  evDisplayFormat = 8
};
using TdxEditAssignedValues = TSet<TdxEditAssignedValue>;

// The text of resource string 38948, the default validation message.
extern const char* const sdxInvalidInput;
// Why an editor refuses to change a value it shows only in part.
extern const char* const sdxValueShownInPart;

// The metaclass of the editor family: the class operations.
class TdxInplaceEditClass : public TComponentClass {
 public:
  using TComponentClass::TComponentClass;
  // Fills the draw record from the view data; with autoSize the bounds follow the
  // content's size or the minimum height.
  virtual void CalcViewData(TdxEditViewData* viewData, bool autoSize, TdxEditDrawRecord& record) const = 0;
  // Paints a cell: frame, shadow, content; the painted area is removed from `region`.
  virtual void Draw(HDC dc, const TRect& rect, TdxEditViewData* viewData, HRGN region) const = 0;
  virtual void DrawBorder(HDC dc, const TdxEditDrawRecord& record, TdxEditViewData* viewData) const = 0;
  // Paints (or with CalcOnly measures) the content in `rect`; False when an editor
  // window's own text area shows it.
  virtual bool DrawContent(HDC dc, const TRect& rect, TdxEditViewData* viewData, bool editorWindow) const = 0;
  // The mouse cursor over a cell; (x, y) in screen coordinates.
  virtual TCursor GetCursor(int x, int y, TdxEditViewData* viewData) const = 0;
  virtual int GetMinHeight(TdxEditViewData* viewData) const = 0;
  // The natural size of the content; empty for kinds without one.
  virtual void GetContentSize(TdxEditViewData* viewData, TRect& rect) const = 0;
  virtual TClass GetViewDataClass() const = 0;
  virtual bool IsInplace() const = 0;
  virtual const TdxEditStyleClass* GetEditStyleClass() const = 0;

  // A new view data object of the class's view-data class.
  TdxEditViewData* NewViewData() const;
};

class TdxInplaceEdit : public TWinControl {
  KIVO_CLASS(TdxInplaceEdit, TWinControl)
 public:
  // Forwards the class operations to T's statics; a family that adds class operations
  // passes its own metaclass as Meta.
  template <class T, class Meta = TdxInplaceEditClass>
  class TEditMetaFor : public TComponent::TMetaFor<T, Meta> {
   public:
    using TComponent::TMetaFor<T, Meta>::TMetaFor;
    void CalcViewData(TdxEditViewData* v, bool autoSize, TdxEditDrawRecord& r) const override {
      T::CalcViewData(*this, v, autoSize, r);
    }
    void Draw(HDC dc, const TRect& rect, TdxEditViewData* v, HRGN region) const override {
      T::Draw(*this, dc, rect, v, region);
    }
    void DrawBorder(HDC dc, const TdxEditDrawRecord& r, TdxEditViewData* v) const override {
      T::DrawBorder(*this, dc, r, v);
    }
    bool DrawContent(HDC dc, const TRect& rect, TdxEditViewData* v, bool editorWindow) const override {
      return T::DrawContent(*this, dc, rect, v, editorWindow);
    }
    TCursor GetCursor(int x, int y, TdxEditViewData* v) const override { return T::GetCursor(*this, x, y, v); }
    int GetMinHeight(TdxEditViewData* v) const override { return T::GetMinHeight(*this, v); }
    void GetContentSize(TdxEditViewData* v, TRect& rect) const override { T::GetContentSize(*this, v, rect); }
    TClass GetViewDataClass() const override { return T::GetViewDataClass(*this); }
    bool IsInplace() const override { return T::IsInplace(*this); }
    const TdxEditStyleClass* GetEditStyleClass() const override { return T::GetEditStyleClass(*this); }
  };
  template <class T>
  using TMetaFor = TEditMetaFor<T>;

  explicit TdxInplaceEdit(TComponent* AOwner);
  ~TdxInplaceEdit() override;

  // The editor's class as the family's metaclass.
  const TdxInplaceEditClass* EditClass() const {
    return static_cast<const TdxInplaceEditClass*>(ClassType());
  }

  // ---- Class operations (base behaviour)
  using TControl::GetCursor;
  using TControl::GetText;
  static void CalcViewData(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, bool autoSize,
                           TdxEditDrawRecord& record);
  static void Draw(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect, TdxEditViewData* viewData,
                   HRGN region);
  static void DrawBorder(const TdxInplaceEditClass& cls, HDC dc, const TdxEditDrawRecord& record,
                         TdxEditViewData* viewData);
  static bool DrawContent(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect, TdxEditViewData* viewData,
                          bool editorWindow);
  static TCursor GetCursor(const TdxInplaceEditClass& cls, int x, int y, TdxEditViewData* viewData);
  static int GetMinHeight(const TdxInplaceEditClass& cls, TdxEditViewData* viewData);
  static void GetContentSize(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, TRect& rect);
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);
  static bool IsInplace(const TdxInplaceEditClass& cls) { return true; }
  static const TdxEditStyleClass* GetEditStyleClass(const TdxInplaceEditClass& cls);

  // ---- Showing in a container
  // Places the editor over `rect` (inflated by 2), shows and focuses it, selects all;
  // the first showing runs AfterShow unless the show lock is held.
  void ShowEdit(const TRect& rect);
  virtual void HideEdit();
  void IncShowLock() { ++FShowLock; }
  void DecShowLock() { --FShowLock; }
  void IncValidateLock();
  void DecValidateLock();

  // ---- Value
  // The base hands the value's text to TakeValueText.
  virtual void SetEditValue(const Variant& value);
  // Hands `text` to the editor as its value. A text the editor cannot show whole (a NUL
  // byte, a line break in a single line, a character its window does not keep) is
  // shown in part: the editor then refuses every change of it (CanEditText and
  // CanModify answer False) until the next value is handed in, so that the value is
  // never written back cut.
  void TakeValueText(const std::string& text);
  bool GetValueShownInPart() const { return FValueShownInPart; }
  // Raises EdxEditInvalidInput with the reason (after a beep) when the value is shown
  // in part: a change was asked for that the editor refuses.
  void RefuseChangeOfValueShownInPart();
  virtual void GetDisplayValue(Variant& value, bool forPainting);
  virtual void GetEditValue(Variant& value);
  virtual void LoadValue() {}
  virtual void FocusAndSelect(bool& handled);
  virtual void Reload();
  virtual void SaveValue();
  virtual void RefreshLinkValues() {}
  // Raises EdxEditInvalidInput (after a beep and refocusing) when OnValidate refuses
  // a modified value; nothing while the validate lock is held.
  virtual void ValidateEdit();
  virtual bool GetModified() { return FModified; }
  virtual void SetModified(bool value) { FModified = value; }
  // Sets the text when the editor may modify; marks it modified in either case.
  virtual void SetTextAsUser(const std::string& text);
  // Puts `text` in as a changed value and marks the editor modified. The change's
  // handler (OnChange) may free the editor: false then, and the caller touches nothing
  // of it again.
  [[nodiscard]] bool ChangeText(const std::string& text);
  // Back to the text and modified flag saved when editing began (when undoable).
  virtual void Reset();
  // The value the editor holds now is its unchanged value: not modified, and the one
  // Reset goes back to (a container calls it after loading a cell's value).
  void AcceptValue();
  virtual void SelectAll() {}
  virtual void RestoreDefaults();

  // ---- Queries
  virtual bool CanModify();
  virtual bool CanEditText();
  virtual bool HasTextArea() { return false; }
  bool NoTextArea() { return !HasTextArea(); }
  virtual bool IsFocused() { return Focused(); }
  virtual bool IsActive();
  virtual bool HasDataLink() { return false; }
  virtual bool ContainerEditing();
  virtual bool CanUndo() { return HasTextArea(); }
  virtual bool CanSelect() { return HasTextArea(); }
  virtual bool KeepEditingOnClick() { return FKeepEditingFlag; }
  virtual bool HandlesMouseWheel() { return false; }
  virtual bool WantsTab() { return false; }
  virtual bool ValidateOnEnter() { return false; }
  virtual bool IsEditKey(WORD key, TShiftState shift);
  virtual bool IsValidChar(char key);
  // The container of an in-place editor, null stand-alone or without owner.
  TCustomdxContainer* Container() const;

  // ---- View data
  // A new view data filled from the editor; the caller frees it.
  virtual TdxEditViewData* CreateViewData(bool forPainting);
  // The editor's frame changed: refresh the window region and repaint.
  virtual void StyleChanged();

  // ---- Container hooks
  virtual void ForwardClick(int x, int y) {}
  virtual void ClickAction() {}
  virtual void ContainerNotify(bool value);
  virtual void EditorExit(TMessage& message);

  // ---- Properties
  TdxEditStyle* GetStyle() const { return FStyle.get(); }
  void SetStyle(TdxEditStyle* value) { FStyle->Assign(value); }
  TdxEditStyleController* GetStyleController() const { return FStyleController; }
  void SetStyleController(TdxEditStyleController* value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  bool GetAutoSizeFlag() const { return FAutoSizeFlag; }
  void SetAutoSizeFlag(bool value);
  const TRect& GetEditMargins() const { return FEditMargins; }
  void SetEditMargins(const TRect& value);
  bool GetInactiveNoFill() const { return FInactiveNoFill; }
  void SetInactiveNoFill(bool value) { FInactiveNoFill = value; }
  bool GetEditing() const { return FEditing; }
  bool GetMouseInside() const { return FMouseInside; }
  bool GetShown() const { return FShown; }
  int GetShowLock() const { return FShowLock; }
  int GetValidateLock() const { return FValidateLock; }
  TdxEditAssignedValues GetAssignedValues() const { return FAssignedValues; }
  uint32_t GetClickTick() const { return FClickTick; }
  void SetClickTick(uint32_t value) { FClickTick = value; }
  bool GetKeepEditingFlag() const { return FKeepEditingFlag; }
  void SetKeepEditingFlag(bool value) { FKeepEditingFlag = value; }
  bool GetOwnsMouseFlag() const { return FOwnsMouseFlag; }
  void SetOwnsMouseFlag(bool value) { FOwnsMouseFlag = value; }
  bool GetListSettingFlag() const { return FListSettingFlag; }
  void SetListSettingFlag(bool value) { FListSettingFlag = value; }
  // The snapshot Reset goes back to.
  const std::string& GetSavedText() const { return FSavedText; }
  bool GetSavedModified() const { return FSavedModified; }

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TdxEditValidateEvent OnValidate;
  // Set by the container while it hides the editor, cleared when it prepares it again.
  bool HidingEditor = false;
  // A click anywhere in the editor acts on its drop-down button.
  bool ClickOpensPopup = false;
  // Raised by a descendant while it loads a value, so that no change is reported.
  bool LoadingValue = false;

 protected:
  // Each editor class passes its own metaclass, so that the constructor's choices by
  // class (in place or stand-alone, the style class) are the class's being made.
  TdxInplaceEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  virtual void Change();
  // Removes one WM_CHAR waiting for the editor's window (the character of a key already
  // handled), putting back a WM_QUIT it took instead.
  void RemovePendingChar();
  // Replaces the snapshot Reset goes back to.
  void SetSnapshot(const std::string& text, bool modified) {
    FSavedText = text;
    FSavedModified = modified;
  }
  // A descendant's property setter marks its value local (MaxLength, EditMask...).
  void MarkAssigned(TdxEditAssignedValue value) { FAssignedValues.Include(value); }
  // The value follows its default again (the date editor without its edit mask).
  void UnmarkAssigned(TdxEditAssignedValue value) { FAssignedValues.Exclude(value); }
  virtual void StateChanged();
  virtual void SetEditing(bool value);
  virtual void SetAlignmentValue(TAlignment value);
  virtual void SetReadOnlyValue(bool value) { FReadOnly = value; }
  // Whether `shown`, the text the editor shows after being handed `value`, is all of it.
  virtual bool ShowsTextWhole(const std::string& value, const std::string& shown);
  // Marks the value shown in part or whole, and applies the read-only state that
  // follows.
  void SetValueShownInPart(bool value);
  virtual void SetMouseInside(bool value) { FMouseInside = value; }
  virtual void AfterShow() {}
  virtual TAlignment DefaultAlignment() { return taLeftJustify; }
  virtual bool LinkReadOnly() { return false; }
  virtual bool DefaultReadOnly() { return false; }
  virtual void F2Action() {}
  virtual void GetText(std::string& text) { text = TControl::GetText(); }
  virtual bool IsCtrlOnly();
  virtual void ShowWindowInPlace();

  void Notification(TComponent* AComponent, TOperation operation) override;
  void PaintWindow(HDC dc) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void DblClick() override;

  // Repaints the frame (the non-client area) now.
  void RepaintFrame();
  // The screen point of a mouse message (its lParam) in window coordinates.
  POINT ScreenToWindow(LPARAM screenPoint);
  // Replays a click of the container at (x, y), in the container's client coordinates,
  // as a press in the editor's frame: hit test, then a non-client button press, so that
  // a click that opened the editor on a button also presses that button.
  void ReplayClickInFrame(int x, int y);
  // Sets the window's bounds and region from the view data (see the .cpp).
  void RefreshRegion();
  // Refreshes only when hot tracking or button transparency make the look depend on
  // the hot state.
  void RefreshRegionIfHot();

 private:
  void WMPaint(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMSetCursor(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMKeyDown(TMessage& message);
  void CMExit(TMessage& message);
  void CMMouseEnterLeave(TMessage& message, bool inside);
  void InplaceKeyDown(WORD& key, TShiftState shift);

  bool FEditing = false;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSizeFlag = true;
  TAlignment FLinkAlignment = taLeftJustify;
  int32_t FShowLock = 0;
  bool FModified = false;
  TRect FEditMargins{};
  bool FSavedModified = false;
  std::string FSavedText;
  bool FReadOnly = false;
  bool FMouseInside = false;
  std::unique_ptr<TdxEditStyle> FStyle;
  TdxEditStyleController* FStyleController = nullptr;
  bool FInactiveNoFill = false;
  bool FShown = false;
  int32_t FValidateLock = 0;
  bool FKeepEditingFlag = false;
  bool FOwnsMouseFlag = false;
  bool FListSettingFlag = false;
  TdxEditAssignedValues FAssignedValues;
  uint32_t FClickTick = 0;
  bool FRefreshingRegion = false;
  bool FValueShownInPart = false;
};
