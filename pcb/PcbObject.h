// The root of the proxies through which the library reads and writes host PCB objects.
// A proxy caches the properties of one host object, named by its handle: it is created
// on the handle, loaded with Synchronize(1), changed through its setters, stored with
// Synchronize(0) and freed. The root holds what every host primitive has and answers
// every property operation with a neutral default (0, False, 0.0, empty text); each
// kind's proxy overrides the operations it has. Setters change only the proxy, except
// the two flag setters that store the object at once.
//
// Synchronize passes its direction byte to every host call: 1 loads, 0 stores, any
// other value goes through unchanged. A host status other than 0 is returned and
// otherwise ignored; an unbound server leaves every field as it is and reports 0.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Exceptions.h"
#include "classlib/Object.h"

// The host's object kind codes: the proxies' ObjectId, the kind given to
// PcbApiCreateObject and the iterators' kind filter.
enum TPcbObjectKind : uint8_t {
  okArc = 1, okPad = 2, okVia = 3, okTrack = 4, okText = 5, okFill = 6, okFromTo = 7, okNet = 8,
  okComponent = 9, okPolygon = 10, okDimension = 11, okCoordinate = 12, okClass = 13,
  okRule = 14, okManualFromTo = 15, okBoardOutline = 21
};

// Marks a proxy made only to be loaded and read, never stored: nothing of it is
// handed to the host, so the large tables that the host may read from a stored proxy
// (a polygon's records, a pad's values per layer) need not be cleared first. Read
// only what the load wrote.
struct TPcbReadOnly {};

class TPCBObject : public TObject {
  KIVO_CLASS(TPCBObject, TObject)

 public:
  // A zero-filled proxy on `handle`; no host call.
  explicit TPCBObject(uint32_t handle = 0);

  virtual int32_t Synchronize(uint8_t mode);
  // The extent the host gives the object.
  virtual void GetBoundingRectangle(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2);
  // True when the host accepts the object's import from the user.
  virtual bool ImportFromUser();
  virtual int32_t GraphicallyInvalidate();

  // Host flag bits, named by their value; their meaning is the host's.
  bool GetFlagBit0010() const { return FFlags & 0x0010; }
  void SetFlagBit0010(bool value) { SetFlagBit(0x0010, value); }
  bool GetBitField2Bit01() const { return FBitField2 & 0x01; }
  bool GetBitField2Bit02() const { return FBitField2 & 0x02; }
  bool GetBitField2Bit08() const { return FBitField2 & 0x08; }
  bool GetBitField2Bit10() const { return FBitField2 & 0x10; }
  bool GetBitField2Bit20() const { return FBitField2 & 0x20; }
  bool GetBitField2Bit40() const { return FBitField2 & 0x40; }
  bool GetFlagBit0008() const { return FFlags & 0x0008; }
  // Sets the bit and stores the object at once.
  void SetFlagBit0008(bool value);
  // The inverted bit: true while 0x0100 is clear.
  bool GetNotFlagBit0100() const { return !(FFlags & 0x0100); }
  // True clears 0x0100, False sets it; the object is stored at once.
  void SetNotFlagBit0100(bool value);
  // Either of BitField3's bits 0x02 and 0x04; the setter sets both (0x02 first).
  bool GetBitField3Bits() const { return GetBitField3Bit02() || GetBitField3Bit04(); }
  void SetBitField3Bits(bool value);
  bool GetBitField3Bit02() const { return FBitField3 & 0x02; }
  void SetBitField3Bit02(bool value) { SetBit(FBitField3, 0x02, value); }
  bool GetBitField3Bit04() const { return FBitField3 & 0x04; }
  void SetBitField3Bit04(bool value) { SetBit(FBitField3, 0x04, value); }
  bool GetFlagBit0800() const { return FFlags & 0x0800; }
  void SetFlagBit0800(bool value) { SetFlagBit(0x0800, value); }
  bool GetFlagBit2000() const { return FFlags & 0x2000; }
  void SetFlagBit2000(bool value) { SetFlagBit(0x2000, value); }
  bool GetFlagBit1000() const { return FFlags & 0x1000; }
  void SetFlagBit1000(bool value) { SetFlagBit(0x1000, value); }
  bool GetFlagBit4000() const { return FFlags & 0x4000; }
  void SetFlagBit4000(bool value) { SetFlagBit(0x4000, value); }
  bool GetFlagBit8000() const { return FFlags & 0x8000; }
  void SetFlagBit8000(bool value) { SetFlagBit(0x8000, value); }

  // The fields every primitive has. X2 and Y2 are the first point's on a kind without
  // a second point.
  virtual uint32_t GetHandle() const { return FHandle; }
  virtual uint8_t GetObjectId() const { return FObjectId; }
  virtual int32_t GetX() const { return FX; }
  virtual int32_t GetY() const { return FY; }
  virtual int32_t GetX2() const { return FX; }
  virtual int32_t GetY2() const { return FY; }
  virtual uint16_t GetFlags() const { return FFlags; }
  virtual int16_t GetPrimitiveWord() const { return FPrimitiveWord; }
  virtual uint8_t GetLayer() const { return FLayer; }
  virtual uint8_t GetPrimitiveByte() const { return FPrimitiveByte; }
  virtual int32_t GetNet() const { return FNet; }
  virtual int32_t GetPrimitiveLong() const { return FPrimitiveLong; }
  uint8_t GetBitField2() const { return FBitField2; }
  void SetBitField2(uint8_t value) { FBitField2 = value; }
  uint8_t GetBitField3() const { return FBitField3; }
  void SetBitField3(uint8_t value) { FBitField3 = value; }

  // Properties of particular kinds; the root's neutral defaults.
  virtual int32_t GetAux1() const { return 0; }
  virtual int32_t GetAux2() const { return 0; }
  virtual int32_t GetAux3() const { return 0; }
  virtual int32_t GetTopXSize() const { return 0; }
  virtual int32_t GetTopYSize() const { return 0; }
  virtual int32_t GetMidXSize() const { return 0; }
  virtual int32_t GetMidYSize() const { return 0; }
  virtual int32_t GetBotXSize() const { return 0; }
  virtual int32_t GetBotYSize() const { return 0; }
  virtual int32_t GetHoleSize() const { return 0; }
  virtual uint8_t GetTopShape() const { return 0; }
  virtual uint8_t GetMidShape() const { return 0; }
  virtual uint8_t GetBotShape() const { return 0; }
  virtual std::string GetName() const { return std::string(); }
  // Degrees.
  virtual double GetRotation() const { return 0.0; }
  virtual int32_t GetWidth() const { return 0; }
  virtual uint8_t GetShape() const { return 0; }
  virtual int32_t GetSize() const { return 0; }
  virtual int32_t GetXSize() const { return GetSize(); }
  virtual int32_t GetYSize() const { return GetSize(); }
  virtual uint8_t GetByteAux1() const { return 0; }
  virtual uint8_t GetByteAux2() const { return 0; }
  virtual int32_t GetRadius() const { return 0; }
  virtual double GetStartAngle() const { return 0.0; }
  virtual double GetEndAngle() const { return 0.0; }
  virtual int32_t GetLineWidth() const { return 0; }

  // Each asks the host afresh for the object's extent.
  int32_t GetBoundingX1();
  int32_t GetBoundingY1();
  int32_t GetBoundingX2();
  int32_t GetBoundingY2();

  virtual int32_t GetTextAux() const { return 0; }
  virtual bool GetMirrorFlag() const { return false; }
  virtual std::string GetText() const { return std::string(); }
  virtual uint8_t GetByteAux3() const { return 0; }
  virtual uint8_t GetByteAux4() const { return 0; }

  // Corners of the rectangle spanned by the two reference points, widened by
  // `distance` on every side and turned by GetRotation about its centre.
  virtual int32_t GetCorner1X(int32_t distance) const { return Corner(0, distance); }
  virtual int32_t GetCorner1Y(int32_t distance) const { return Corner(1, distance); }
  virtual int32_t GetCorner2X(int32_t distance) const { return Corner(2, distance); }
  virtual int32_t GetCorner2Y(int32_t distance) const { return Corner(3, distance); }
  virtual int32_t GetCorner3X(int32_t distance) const { return Corner(4, distance); }
  virtual int32_t GetCorner3Y(int32_t distance) const { return Corner(5, distance); }
  virtual int32_t GetCorner4X(int32_t distance) const { return Corner(6, distance); }
  virtual int32_t GetCorner4Y(int32_t distance) const { return Corner(7, distance); }

  // On a layer: 0 unless `layer` is the object's own, otherwise the plain getter.
  virtual int32_t GetSizeOnLayer(uint8_t layer) { return OnLayer(layer, GetSize()); }
  virtual int32_t GetXSizeOnLayer(uint8_t layer) { return OnLayer(layer, GetXSize()); }
  virtual int32_t GetYSizeOnLayer(uint8_t layer) { return OnLayer(layer, GetYSize()); }
  virtual uint8_t GetShapeOnLayer(uint8_t layer) { return OnLayer(layer, GetShape()); }
  virtual int32_t GetWidthOnLayer(uint8_t layer) { return OnLayer(layer, GetWidth()); }
  virtual int32_t GetCorner1XOnLayer(uint8_t layer, int32_t distance) {
    return OnLayer(layer, GetCorner1X(distance));
  }
  virtual int32_t GetCorner1YOnLayer(uint8_t layer, int32_t distance) {
    return OnLayer(layer, GetCorner1Y(distance));
  }
  virtual int32_t GetCorner2XOnLayer(uint8_t layer, int32_t distance) {
    return OnLayer(layer, GetCorner2X(distance));
  }
  virtual int32_t GetCorner2YOnLayer(uint8_t layer, int32_t distance) {
    return OnLayer(layer, GetCorner2Y(distance));
  }
  virtual int32_t GetCorner3XOnLayer(uint8_t layer, int32_t distance) {
    return OnLayer(layer, GetCorner3X(distance));
  }
  virtual int32_t GetCorner3YOnLayer(uint8_t layer, int32_t distance) {
    return OnLayer(layer, GetCorner3Y(distance));
  }
  virtual int32_t GetCorner4XOnLayer(uint8_t layer, int32_t distance) {
    return OnLayer(layer, GetCorner4X(distance));
  }
  virtual int32_t GetCorner4YOnLayer(uint8_t layer, int32_t distance) {
    return OnLayer(layer, GetCorner4Y(distance));
  }
  virtual int32_t GetXOnLayer(uint8_t layer) { return OnLayer(layer, GetX()); }
  virtual int32_t GetYOnLayer(uint8_t layer) { return OnLayer(layer, GetY()); }
  virtual int32_t GetX2OnLayer(uint8_t layer) { return OnLayer(layer, GetX2()); }
  virtual int32_t GetY2OnLayer(uint8_t layer) { return OnLayer(layer, GetY2()); }

  virtual void SetHandle(uint32_t value) { FHandle = value; }
  virtual void SetObjectId(uint8_t value) { FObjectId = value; }
  virtual void SetX(int32_t value) { FX = value; }
  virtual void SetY(int32_t value) { FY = value; }
  virtual void SetX2(int32_t) {}
  virtual void SetY2(int32_t) {}
  virtual void SetFlags(uint16_t value) { FFlags = value; }
  virtual void SetPrimitiveWord(int16_t value) { FPrimitiveWord = value; }
  virtual void SetLayer(uint8_t value) { FLayer = value; }
  virtual void SetPrimitiveByte(uint8_t value) { FPrimitiveByte = value; }
  virtual void SetNet(int32_t value) { FNet = value; }
  virtual void SetPrimitiveLong(int32_t value) { FPrimitiveLong = value; }
  virtual void SetAux1(int32_t) {}
  virtual void SetAux2(int32_t) {}
  virtual void SetAux3(int32_t) {}
  virtual void SetTopXSize(int32_t) {}
  virtual void SetTopYSize(int32_t) {}
  virtual void SetMidXSize(int32_t) {}
  virtual void SetMidYSize(int32_t) {}
  virtual void SetBotXSize(int32_t) {}
  virtual void SetBotYSize(int32_t) {}
  virtual void SetHoleSize(int32_t) {}
  virtual void SetTopShape(uint8_t) {}
  virtual void SetMidShape(uint8_t) {}
  virtual void SetBotShape(uint8_t) {}
  // Cut to the capacity of the kind's name field.
  virtual void SetName(const std::string&) {}
  virtual void SetRotation(double) {}
  virtual void SetWidth(int32_t) {}
  virtual void SetShape(uint8_t) {}
  virtual void SetSize(int32_t) {}
  virtual void SetXSize(int32_t) {}
  virtual void SetYSize(int32_t) {}
  virtual void SetByteAux1(uint8_t) {}
  virtual void SetByteAux2(uint8_t) {}
  virtual void SetRadius(int32_t) {}
  virtual void SetStartAngle(double) {}
  virtual void SetEndAngle(double) {}
  virtual void SetLineWidth(int32_t) {}
  virtual void SetTextAux(int32_t) {}
  virtual void SetMirrorFlag(bool) {}
  virtual void SetText(const std::string&) {}
  virtual void SetByteAux3(uint8_t) {}
  virtual void SetByteAux4(uint8_t) {}

  // While left, Synchronize neither loads nor stores the two bit fields: for a change
  // of other fields only (a move of every object of a board), which leaves the host's
  // bit fields as they are without two calls each way, or a read-back of values other
  // than them.
  void LeaveBitFieldsToHost(bool left = true) { FBitFieldsLeft = left; }

 protected:
  // The two bit-field calls with which every Synchronize begins (none once the bit
  // fields are left to the host).
  void SynchronizeBitFields(uint8_t mode);

  uint32_t FHandle = 0;
  uint8_t FObjectId = 0;
  int32_t FX = 0;
  int32_t FY = 0;
  uint16_t FFlags = 0;
  uint8_t FBitField2 = 0;
  uint8_t FBitField3 = 0;
  int16_t FPrimitiveWord = 0;
  uint8_t FLayer = 0;
  uint8_t FPrimitiveByte = 0;
  int32_t FNet = 0;
  int32_t FPrimitiveLong = 0;
  bool FBitFieldsLeft = false;

 private:
  template <class T>
  T OnLayer(uint8_t layer, T value) const {
    return layer == FLayer ? value : T{};
  }
  static void SetBit(uint8_t& field, uint8_t bit, bool value) {
    field = value ? field | bit : field & ~bit;
  }
  void SetFlagBit(uint16_t bit, bool value) {
    FFlags = value ? FFlags | bit : FFlags & ~bit;
  }
  // Corner coordinate 0 to 7 (X and Y of corners 1 to 4) of the turned extent.
  int32_t Corner(int index, int32_t distance) const;
  int32_t BoundingValue(int index);
};

// Raises EListError ("List index out of bounds (n)") unless first <= index <= last:
// the check of the proxies' numbered fields and per-layer values.
inline void CheckProxyIndex(int index, int first, int last) {
  if (index < first || index > last)
    ListIndexError(index);
}

// Element `index` of `values`, whose valid indexes run from `first` to `last`.
template <class A>
auto& ProxyElement(A& values, int index, int first, int last) {
  CheckProxyIndex(index, first, last);
  return values[index];
}

// The X (even index) or Y (odd index) of corner 1 to 4 of a w by h rectangle centred on
// (cx, cy) and turned by `rotation` degrees, rounded to a coordinate; the corner rule
// of the root proxy and of pads on a layer.
int32_t TurnedCorner(int index, double cx, double cy, double w, double h, double rotation);
