// Bands: the horizontal groups of a TCustomdxTreeListControl's header. Each band holds
// the columns whose BandIndex names it, in one or more header rows. Bands are items of
// the control's TdxTreeListBands collection; at most one is fixed to the left edge (it
// is then the first band) and at most one to the right edge (the last).
//
// A band's absolute index is its collection index, its visible index counts only the
// visible bands before it. Moving a band carries its columns along (their BandIndex
// follows); deleting one leaves its columns in no band (-1) and renumbers the columns
// of the bands after it. Every change reaches the control, which recomputes its layout.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Collections.h"
#include "classlib/Controls.h"

class TCustomdxTreeListControl;

enum TdxGridBandFixed : uint8_t { bfNone = 0, bfLeft = 1, bfRight = 2 };

class TdxTreeListBand : public TCollectionItem {
  KIVO_CLASS(TdxTreeListBand, TCollectionItem)
 public:
  explicit TdxTreeListBand(TCollection* collection);
  // Unless the control is being destroyed, updated or loaded, the band's columns move
  // to no band and the columns of later bands move one band back.
  ~TdxTreeListBand() override;

  // From another band: its look, placement and sizing (not the Disable flags).
  void Assign(TPersistent* source) override;
  // A fixed band stays where it is; the columns follow their band.
  void SetIndex(int newIndex) override;
  virtual void RestoreDefaults();
  // Registers the published properties of the class.
  static void PublishProperties();

  // The control of the band's collection, none without one.
  TCustomdxTreeListControl* GetTreeList() const;
  // The position among the visible bands, -1 for a hidden band.
  int GetVisibleIndex() const;
  // The band's header rows and their columns, asked of the control (-1: none).
  int GetRowCount() const;
  int GetColumnCountInRow(int row) const;
  int GetColumnAt(int row, int position) const;

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value) { Store(FAlignment, value); }
  const std::string& GetCaption() const { return FCaption; }
  void SetCaption(const std::string& value) { Store(FCaption, value); }
  bool GetDisableCustomizing() const { return FDisableCustomizing; }
  void SetDisableCustomizing(bool value) { Store(FDisableCustomizing, value); }
  bool GetDisableDragging() const { return FDisableDragging; }
  void SetDisableDragging(bool value) { FDisableDragging = value; }
  TdxGridBandFixed GetFixed() const { return FFixed; }
  // A band fixed left moves to the first place, one fixed right to the last; no other
  // band keeps the same side. A hidden band stays unfixed.
  void SetFixed(TdxGridBandFixed value);
  int GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(int value);
  bool GetOnlyOwnColumns() const { return FOnlyOwnColumns; }
  void SetOnlyOwnColumns(bool value) { FOnlyOwnColumns = value; }
  bool GetSizing() const { return FSizing; }
  void SetSizing(bool value) { Store(FSizing, value); }
  bool GetVisible() const { return FVisible; }
  // Hiding a band also unfixes it.
  void SetVisible(bool value);
  int GetWidth() const { return FWidth; }
  // At least MinWidth.
  void SetWidth(int value);

 private:
  friend class TdxTreeListBands;
  // Set without the setter's moving and checking (the fixed-band check).
  void WriteFixed(TdxGridBandFixed value) { FFixed = value; }
  // Stores a changed setting and reports the band changed.
  template <class T>
  void Store(T& field, const T& value) {
    if (value == field)
      return;
    field = value;
    Changed(/*allItems=*/false);
  }

  TAlignment FAlignment = taCenter;
  std::string FCaption;
  bool FDisableCustomizing = false;
  bool FDisableDragging = false;
  TdxGridBandFixed FFixed = bfNone;
  int FMinWidth = 30;
  bool FOnlyOwnColumns = false;
  bool FSizing = true;
  bool FVisible = true;
  int FWidth = 250;
};

class TdxTreeListBands : public TCollection {
  KIVO_CLASS(TdxTreeListBands, TCollection)
 public:
  TdxTreeListBands(TCustomdxTreeListControl* control, TCollectionItemClass itemClass);

  TdxTreeListBand* Add() { return static_cast<TdxTreeListBand*>(TCollection::Add()); }
  TdxTreeListBand* GetItem(int index) const { return static_cast<TdxTreeListBand*>(TCollection::GetItem(index)); }
  int GetVisibleCount() const;
  // The visible band at `index`, none out of range.
  TdxTreeListBand* GetVisibleItem(int index) const;
  // Absolute index of a visible position, -1 out of range.
  int GetAbsoluteIndex(int visibleIndex) const;
  // Visible position of an absolute index; -1 out of range, for a negative index and
  // for a hidden band.
  int GetVisibleIndex(int absoluteIndex) const;

  TCustomdxTreeListControl* GetControl() const { return FControl; }
  // The control links the collection once its own construction is done.
  void SetControl(TCustomdxTreeListControl* value) { FControl = value; }
  TPersistent* GetOwner() const override;

 protected:
  // Tells the control; unless it is loading the layout is recomputed and the fixed
  // bands are put back in their places.
  void Update(TCollectionItem* item) override;

 private:
  // A second band fixed on one side, or a fixed band out of its place, unfixes all and
  // fixes again the first band found of each side.
  void CheckFixedBands();

  TCustomdxTreeListControl* FControl;
};
