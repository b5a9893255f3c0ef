// The proxies of the host's drawing primitives track, arc, via, fill and text (pads
// have their own file). Each adds its kind's fields to the root's, sets its kind code,
// moves every field in one host query and answers the property operations of its kind.
// Values named Aux are the host's, copied through unchanged.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/ShortString.h"
#include "pcb/PcbObject.h"

// Kind 4: a straight segment from (X, Y) to (X2, Y2).
class TPcbTrack : public TPCBObject {
  KIVO_CLASS(TPcbTrack, TPCBObject)

 public:
  explicit TPcbTrack(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  int32_t GetX2() const override { return FX2; }
  int32_t GetY2() const override { return FY2; }
  int32_t GetWidth() const override { return FWidth; }
  int32_t GetAux1() const override { return FAux1; }
  int32_t GetAux2() const override { return FAux2; }
  int32_t GetAux3() const override { return FAux3; }
  void SetX2(int32_t value) override { FX2 = value; }
  void SetY2(int32_t value) override { FY2 = value; }
  void SetWidth(int32_t value) override { FWidth = value; }
  void SetAux1(int32_t value) override { FAux1 = value; }
  void SetAux2(int32_t value) override { FAux2 = value; }
  void SetAux3(int32_t value) override { FAux3 = value; }

 private:
  int32_t FX2 = 0;
  int32_t FY2 = 0;
  int32_t FWidth = 0;
  int32_t FAux1 = 0;
  int32_t FAux2 = 0;
  int32_t FAux3 = 0;
};

// Kind 1: centred on (X, Y); angles in degrees.
class TPcbArc : public TPCBObject {
  KIVO_CLASS(TPcbArc, TPCBObject)

 public:
  explicit TPcbArc(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  int32_t GetRadius() const override { return FRadius; }
  double GetStartAngle() const override { return FStartAngle; }
  double GetEndAngle() const override { return FEndAngle; }
  int32_t GetLineWidth() const override { return FLineWidth; }
  int32_t GetAux1() const override { return FAux1; }
  void SetRadius(int32_t value) override { FRadius = value; }
  void SetStartAngle(double value) override { FStartAngle = value; }
  void SetEndAngle(double value) override { FEndAngle = value; }
  void SetLineWidth(int32_t value) override { FLineWidth = value; }
  void SetAux1(int32_t value) override { FAux1 = value; }

 private:
  int32_t FRadius = 0;
  double FStartAngle = 0.0;
  double FEndAngle = 0.0;
  int32_t FLineWidth = 0;
  int32_t FAux1 = 0;
};

// Kind 3: a via of diameter Size at (X, Y). Its size and shape on a layer are asked of
// the host.
class TPcbVia : public TPCBObject {
  KIVO_CLASS(TPcbVia, TPCBObject)

 public:
  explicit TPcbVia(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  int32_t GetSize() const override { return FSize; }
  int32_t GetHoleSize() const override { return FHoleSize; }
  uint8_t GetByteAux1() const override { return FByteAux1; }
  uint8_t GetByteAux2() const override { return FByteAux2; }
  // The host's X size (shape) on `layer`; 0 when the host fails.
  int32_t GetSizeOnLayer(uint8_t layer) override;
  uint8_t GetShapeOnLayer(uint8_t layer) override;
  void SetSize(int32_t value) override { FSize = value; }
  void SetHoleSize(int32_t value) override { FHoleSize = value; }
  void SetByteAux1(uint8_t value) override { FByteAux1 = value; }
  void SetByteAux2(uint8_t value) override { FByteAux2 = value; }

 private:
  int32_t FSize = 0;
  int32_t FHoleSize = 0;
  uint8_t FByteAux1 = 0;
  uint8_t FByteAux2 = 0;
};

// Kind 6: a filled rectangle with the corners (X, Y) and (X2, Y2).
class TPcbFill : public TPCBObject {
  KIVO_CLASS(TPcbFill, TPCBObject)

 public:
  explicit TPcbFill(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  int32_t GetX2() const override { return FX2; }
  int32_t GetY2() const override { return FY2; }
  int32_t GetAux1() const override { return FAux1; }
  double GetRotation() const override { return FRotation; }
  void SetX2(int32_t value) override { FX2 = value; }
  void SetY2(int32_t value) override { FY2 = value; }
  void SetAux1(int32_t value) override { FAux1 = value; }
  void SetRotation(double value) override { FRotation = value; }

 private:
  int32_t FX2 = 0;
  int32_t FY2 = 0;
  int32_t FAux1 = 0;
  double FRotation = 0.0;
};

// Kind 5: a text of height Size at (X, Y); the text holds at most 254 characters.
class TPcbText : public TPCBObject {
  KIVO_CLASS(TPcbText, TPCBObject)

 public:
  explicit TPcbText(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  int32_t GetSize() const override { return FSize; }
  int32_t GetTextAux() const override { return FTextAux; }
  double GetRotation() const override { return FRotation; }
  bool GetMirrorFlag() const override { return FMirrorFlag != 0; }
  std::string GetText() const override { return FText.Str(); }
  int32_t GetWidth() const override { return FLineWidth; }
  int32_t GetLineWidth() const override { return FLineWidth; }
  int32_t GetAux2() const override { return FAux2; }
  int32_t GetAux3() const override { return FAux3; }
  void SetSize(int32_t value) override { FSize = value; }
  void SetTextAux(int32_t value) override { FTextAux = value; }
  void SetRotation(double value) override { FRotation = value; }
  void SetMirrorFlag(bool value) override { FMirrorFlag = value ? 1 : 0; }
  // Keeps the first 254 characters.
  void SetText(const std::string& value) override { FText = value; }
  void SetLineWidth(int32_t value) override { FLineWidth = value; }
  void SetAux2(int32_t value) override { FAux2 = value; }
  void SetAux3(int32_t value) override { FAux3 = value; }

 private:
  int32_t FSize = 0;
  int32_t FTextAux = 0;
  double FRotation = 0.0;
  uint8_t FMirrorFlag = 0;
  ShortString<254> FText;
  int32_t FLineWidth = 0;
  int32_t FAux2 = 0;
  int32_t FAux3 = 0;
};
