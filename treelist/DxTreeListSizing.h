// TdxTreeListSizing: the sizing of bands, columns, panels and rows with the mouse. It owns
// where a sizing started, the sizing line's position and the lock that holds off sizing to
// the client; with them the limits, the XOR line and applying the widths. The mouse
// part sets the sizing state and the press's hit before Begin.
// A part of TdxTreeListMouse, made with it and held by it; it keeps its control and reaches
// the control's state through the control's operations.
#pragma once

#include "classlib/Object.h"

class TCustomdxTreeList;

class TdxTreeListSizing : public TObject {
  KIVO_CLASS(TdxTreeListSizing, TObject)
 public:
  explicit TdxTreeListSizing(TCustomdxTreeList& control) : FControl(control) {}
  TdxTreeListSizing(const TdxTreeListSizing&) = delete;
  TdxTreeListSizing& operator=(const TdxTreeListSizing&) = delete;

  // Starts the sizing of the control's sizing state at `pos` and draws its line.
  void Begin(int pos);
  // The sizing line of the sizing states: its position (x for bands and columns, y for
  // the panels and rows) and its XOR drawing, which a second drawing erases.
  int GetSizingPos() const { return FSizingPos; }
  void SetSizingPos(int value) { FSizingPos = value; }
  void DrawSizingLine();
  // A move of the sizing line (kept within the limits, whole header rows for the panels)
  // and the release, which applies the new width, row count or row line count.
  void MoveSizingLine(int x, int y);
  void FinishSizing(int x, int y);
  // Sizing to the client is held off.
  bool IsSizeToClientLocked() const { return FSizeToClientLocked; }

 private:
  void SizingLimits(int& minValue, int& maxValue);
  void ApplyColumnWidth(int column, int width);
  void ApplyBandWidth(int band, int width);

  TCustomdxTreeList& FControl;
  int FSizingStart = 0;
  int FSizingPos = 0;
  bool FSizeToClientLocked = false;
};
