// The check column: a cell shows a check box whose state is read from the node's text
// (ValueChecked, ValueUnchecked, anything else grayed), and a toggle stores the text of
// the new state. New columns take their checked and unchecked values from the defaults
// set at start-up.
#pragma once

#include <string>

#include "classlib/Bitmap.h"
#include "treelist/DxTreeListColumns.h"

// ==== Check column

class TdxTreeListCheckColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListCheckColumn, TdxTreeListColumn)
 public:
  explicit TdxTreeListCheckColumn(TComponent* AOwner);
  ~TdxTreeListCheckColumn() override;
  void Assign(TPersistent* source) override;
  // The text of the editor's state, when it was modified.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  // Toggles are reported through OnToggleClick.
  void DoChange(TObject* sender) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListCheckEdit::MetaClass(); }
  int GetMinCellHeight() override;
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // The editor's state from the node's text.
  void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) override;
  // A text shows as the text of its state: ValueGrayed unless it is one of the two values.
  void GetDisplayText(TdxTreeListNode* node, const std::string& text, std::string& result) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  // ValueChecked (ignoring case) is checked, else ValueUnchecked unchecked, else grayed.
  TdxCheckBoxState StateOf(const std::string& text) const;
  const std::string& TextOf(TdxCheckBoxState state) const;

  bool GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { Store(FAllowGrayed, value, false); }
  bool GetBorder3D() const { return FBorder3D; }
  void SetBorder3D(bool value) { Store(FBorder3D, value, true); }
  // Made on first read.
  TBitmap* GetGlyph();
  // Copied; null frees the glyph.
  void SetGlyph(TBitmap* value);
  bool HasGlyph() const { return FGlyph && !FGlyph->GetEmpty(); }
  int GetGlyphCount() const { return FGlyphCount; }
  // Stored only while the column has a glyph.
  void SetGlyphCount(int value);
  TdxShowNullFieldStyle GetShowNullFieldStyle() const { return FShowNullFieldStyle; }
  void SetShowNullFieldStyle(TdxShowNullFieldStyle value) { Store(FShowNullFieldStyle, value, true); }
  const std::string& GetValueChecked() const { return FValueChecked; }
  void SetValueChecked(const std::string& value) { Store(FValueChecked, value, true); }
  const std::string& GetValueGrayed() const { return FValueGrayed; }
  void SetValueGrayed(const std::string& value) { Store(FValueGrayed, value, true); }
  const std::string& GetValueUnchecked() const { return FValueUnchecked; }
  void SetValueUnchecked(const std::string& value) { Store(FValueUnchecked, value, true); }

  TdxToggleEvent OnToggleClick;

 private:
  bool IsValueCheckedStored() { return FValueChecked != DefaultValueChecked(); }
  bool IsValueUncheckedStored() { return FValueUnchecked != DefaultValueUnchecked(); }
  static std::string DefaultValueChecked();
  static std::string DefaultValueUnchecked();

  bool FAllowGrayed = false;
  bool FBorder3D = false;
  TBitmap* FGlyph = nullptr;
  int FGlyphCount = 6;
  TdxShowNullFieldStyle FShowNullFieldStyle = nsUnchecked;
  std::string FValueChecked;
  std::string FValueGrayed;
  std::string FValueUnchecked;
};

// The default ValueChecked and ValueUnchecked of new check columns ("True" and "False"
// when empty).
void SetDxCheckColumnDefaults(const std::string& checked, const std::string& unchecked);
