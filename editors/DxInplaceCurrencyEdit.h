// TdxInplaceCurrencyEdit: an editor for money amounts. It takes only the keys that keep
// its text a number (or the start of one: "1e" on the way to "1e5") with at most
// DecimalPlaces decimals, bounds the value to MinValue .. MaxValue when the two differ,
// and shows the value through DisplayFormat (a FormatFloat picture, by default the
// locale's currency format) when it is painted without being edited. Edit masks do not
// apply to it.
#pragma once

#include <cstdint>
#include <string>

#include "editors/DxInplaceMaskEdit.h"
#include "editors/DxValueBounds.h"

class TdxInplaceCurrencyEdit : public TdxInplaceMaskEdit {
  KIVO_CLASS(TdxInplaceCurrencyEdit, TdxInplaceMaskEdit)
 public:
  explicit TdxInplaceCurrencyEdit(TComponent* AOwner);

  // A money text as a number: thousand separators dropped, the rest read with the
  // locale's decimal separator; false for no number and values beyond a real's range.
  static bool TextToValue(const std::string& text, double& value);

  // Whether a typed character keeps the text a number (see the .cpp).
  virtual bool IsValidNumberChar(char key);
  virtual void SetMaxValue(double value);
  virtual void SetMinValue(double value);
  virtual void SetMinMaxValues(double minValue, double maxValue);
  virtual std::string DefaultDisplayFormat();
  virtual double DefaultMaxValue() { return 0; }
  virtual double DefaultMinValue() { return 0; }

  // The text as a number: 0 for an empty text, MinValue for one that is no number.
  double GetValue();
  // Bounds the value (when MinValue and MaxValue differ) and shows it in general form;
  // the modified flag stays as it was.
  void SetValue(double value);

  // ---- Overrides
  void RestoreDefaults() override;
  void RefreshLinkValues() override;
  bool HasDataLink() override { return inherited::HasDataLink() || !FDisplayFormat.empty(); }
  bool RestrictsEditing() override { return true; }
  void GetEditValue(Variant& value) override;
  void GetDisplayValue(Variant& value, bool forPainting) override;
  void ValidateEdit() override;
  void Dispatch(TMessage& message) override;

  // ---- Properties
  int GetDecimalPlaces() const { return FDecimalPlaces; }
  void SetDecimalPlaces(int value) { FDecimalPlaces = value; }
  const std::string& GetDisplayFormat() const { return FDisplayFormat; }
  // Marks the format local, so that the locale's changes no longer replace it.
  void SetDisplayFormat(const std::string& value);
  double GetMaxValue() const { return FBounds.MaxValue; }
  double GetMinValue() const { return FBounds.MinValue; }
  // Marks both bounds local.
  void AssignMinMaxValues(double minValue, double maxValue);
  bool GetAllowEmpty() const { return FAllowEmpty; }
  void SetAllowEmpty(bool value) { FAllowEmpty = value; }
  const std::string& GetEmptyText() const { return FEmptyText; }
  void SetEmptyText(const std::string& value) { FEmptyText = value; }
  bool GetUseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(bool value) { FUseThousandSeparator = value; }

 protected:
  TdxInplaceCurrencyEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  virtual void SetDisplayFormatValue(const std::string& value);
  void SetEditMaskValue(const std::string& value) override {}
  void KeyPress(char& key) override;

 private:
  // The value shown again within new bounds; an empty text has none and stays empty.
  void Rebound();
  void WMPaste(TMessage& message);

  int32_t FDecimalPlaces = 2;
  std::string FDisplayFormat;
  TdxValueBounds FBounds;
  bool FAllowEmpty = false;
  std::string FEmptyText;
  bool FUseThousandSeparator = false;
};
