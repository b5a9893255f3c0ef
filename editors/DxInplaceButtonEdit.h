// TdxInplaceButtonEdit: a text editor with a row of up to eight push buttons inside its
// right or left edge. The buttons are items of a TdxEditButtons collection; a click on
// one, or the click key on the Default one, fires OnButtonClick with the button's
// collection index. The text part may be editable, shown without a caret, or left out
// so that the buttons fill the cell.
#pragma once

#include <cstdint>
#include <memory>

#include "classlib/Bitmap.h"
#include "classlib/Collections.h"
#include "classlib/Menus.h"
#include "editors/DxInplaceDropDownEdit.h"

class TdxEditButtons;
class TReader;
class TWriter;

// One button of an editor or column. Creating a ninth button of a collection raises
// Exception "Too many buttons ( >= 8)".
class TdxEditButton : public TCollectionItem {
  KIVO_CLASS(TdxEditButton, TCollectionItem)
 public:
  explicit TdxEditButton(TCollection* collection);
  ~TdxEditButton() override;

  void Assign(TPersistent* source) override;
  // Back to an ellipsis button at the right, visible, of the default width (Default
  // stays).
  virtual void RestoreDefaults();

  bool GetDefault() const { return FDefault; }
  // True first clears Default on every button of the collection.
  void SetDefault(bool value);
  TBitmap* GetGlyph();
  // Null frees the picture; anything else is copied.
  void SetGlyph(TBitmap* value);
  bool HasGlyph() const { return FGlyph != nullptr; }
  TdxEditButtonKind GetKind() const { return FKind; }
  void SetKind(TdxEditButtonKind value);
  bool GetLeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  int GetWidth() const { return FWidth; }
  void SetWidth(int value);

 private:
  friend class TdxEditButtons;
  template <class T>
  void Store(T& field, T value);
  bool FDefault = false;
  TBitmap* FGlyph = nullptr;
  TdxEditButtonKind FKind = bkEllipsis;
  bool FLeftAlignment = false;
  bool FVisible = true;
  int32_t FWidth = 0;
};

// The buttons of an editor or column. A collection of exactly one button makes it the
// Default one (unless its owner is loading).
class TdxEditButtons : public TOwnedCollection {
  KIVO_CLASS(TdxEditButtons, TOwnedCollection)
 public:
  TdxEditButtons(TPersistent* owner, TCollectionItemClass itemClass);

  // Copies another collection's buttons.
  void Assign(TPersistent* source) override;
  TdxEditButton* Add() { return static_cast<TdxEditButton*>(TCollection::Add()); }
  TdxEditButton* GetItem(int index) const { return static_cast<TdxEditButton*>(TCollection::GetItem(index)); }
  int GetVisibleCount() const;
  // The visibleIndex-th visible button (from 0), or null.
  TdxEditButton* GetVisibleItem(int visibleIndex) const;
  // The collection index of the visibleIndex-th visible button, or -1.
  int VisibleIndexToIndex(int visibleIndex) const;
  void RestoreDefaults();

 protected:
  void Update(TCollectionItem* item) override;
};

// The editor's own buttons: a change re-lays out and repaints the editor.
class TdxInplaceEditButtons : public TdxEditButtons {
  KIVO_CLASS(TdxInplaceEditButtons, TdxEditButtons)
 public:
  using TdxEditButtons::TdxEditButtons;

 protected:
  void Update(TCollectionItem* item) override;
};

class TdxButtonEditViewData : public TdxDropDownEditViewData {
  KIVO_CLASS(TdxButtonEditViewData, TdxDropDownEditViewData)
 public:
  // Text mode 2 with at least one button: the buttons fill the cell.
  bool ButtonOnly = false;
  TdxEditButtons* EditButtons = nullptr;  // not owned
  // The text is shown without a caret (no text area).
  bool NoCaret = false;
};

// (Sender, AbsoluteIndex).
using TdxEditButtonClickEvent = TEvent<TObject* /*Sender*/, int /*AbsoluteIndex*/>;

// How the text part behaves.
enum TdxButtonEditTextMode : uint8_t { tmEditable, tmHideEditCursor, tmButtonOnly };

class TdxInplaceButtonEdit : public TdxInplaceDropDownEdit {
  KIVO_CLASS(TdxInplaceButtonEdit, TdxInplaceDropDownEdit)
 public:
  explicit TdxInplaceButtonEdit(TComponent* AOwner);
  ~TdxInplaceButtonEdit() override;

  // ---- Class operations
  static void CalcViewData(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, bool autoSize,
                           TdxEditDrawRecord& record);
  static bool DrawContent(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect, TdxEditViewData* viewData,
                          bool editorWindow);
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);
  static void FillButtons(const TdxInplaceDropDownEditClass& cls, TdxDropDownEditViewData* viewData);

  // ---- Overrides
  TdxEditViewData* CreateViewData(bool forPainting) override;
  bool HasTextArea() override { return FTextMode == tmEditable; }
  bool CanUndo() override { return true; }
  void DropDownKeys(WORD& key, TShiftState shift) override {}
  // Fires OnButtonClick for a visible index with the button's collection index.
  void ButtonClick(int index) override;
  // Clicks the first visible Default button.
  virtual void DefaultButtonClick();
  void Dispatch(TMessage& message) override;

  TdxInplaceEditButtons* GetButtons() const { return FButtons.get(); }
  void SetButtons(TdxEditButtons* value) { FButtons->Assign(value); }
  TShortCut GetClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut value) { FClickKey = value; }
  TdxButtonEditTextMode GetTextMode() const { return FTextMode; }
  // A change makes the window again.
  void SetTextMode(TdxButtonEditTextMode value);
  bool GetHideEditCursor() const { return FTextMode == tmHideEditCursor; }
  bool GetButtonOnly() const { return FTextMode == tmButtonOnly; }

  TdxEditButtonClickEvent OnButtonClick;

 protected:
  TdxInplaceButtonEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void KeyDown(WORD& key, TShiftState shift) override;
  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

 private:
  void ReadExistButtons(TReader& reader);
  void WriteExistButtons(TWriter& writer);

  std::unique_ptr<TdxInplaceEditButtons> FButtons;
  TShortCut FClickKey;
  bool FButtonsStored = false;
  TdxButtonEditTextMode FTextMode = tmEditable;
};
