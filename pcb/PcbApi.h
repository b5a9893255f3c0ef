// The binding of the host's PCB server "Ravelo.dll". Its 238 stdcall entry points are
// bound by exact name into function-pointer slots by `LoadPcbApi`, which looks the
// library up among the modules already loaded and never loads it itself. The 70 entry
// points that the library calls have wrappers with the same parameters in the same
// order; a wrapper whose slot is empty does nothing and returns 0 (or False), except
// the five status calls PcbApi_QueryManualFromTo, PcbApi_QueryBoardLayerPairsCount,
// PcbApi_GetMemberFromClassAt, PcbApi_AddMemberToClass and
// PcbApi_RemoveAllMembersFromClass, which report 1.
//
// "Mode" is the query direction byte: 1 = the host writes its values into the
// addressed fields, 0 = the host takes the fields' values. Short strings travel as the
// address of their length byte; the host touches at most their declared capacity.
#pragma once

#include <cstdint>

#include "classlib/ShortString.h"
#include "classlib/Win.h"

inline constexpr int PcbApiEntryCount = 238;

// Binds every entry point again from scratch: with "Ravelo.dll" loaded, each slot gets
// the address exported under exactly its name (nil when absent); without it, every
// slot is nil.
void LoadPcbApi();

// The module handle found by the last `LoadPcbApi`; null when the server was not loaded.
HMODULE PcbApiModule();
// The name bound into slot `index` (0 to 237, in binding order), and the slot's address.
const char* PcbApiEntryName(int index);
void* PcbApiEntryAddress(int index);
// Empties every slot and forgets the module handle.
void ClearPcbApi();

int32_t MinInteger(int32_t a, int32_t b);
int32_t MaxInteger(int32_t a, int32_t b);

// One record of a polygon outline as it crosses the host boundary: 37 packed bytes.
#pragma pack(push, 1)
struct TPolygonSegment {
  uint8_t Kind;  // 0 = straight segment to this point
  int32_t X;
  int32_t Y;
  uint8_t Host[28];  // further values of the host, copied through
};
#pragma pack(pop)
static_assert(sizeof(TPolygonSegment) == 37, "host segment record");

// Server, boards, progress, commands.
uint32_t PcbApiGetCurrentBoardHandle();
// The name is copied into a local short string before the call.
uint32_t PcbApiGetBoardHandleFromFullFileName(const ShortString<255>& fullFileName);
// The host's answer in `parameters` always ends in a zero within `size` bytes.
int32_t PcbApiSendCommand(const char* command, char* parameters, uint16_t size, uint32_t reserved);
void PcbApiPercentInit(const ShortString<255>& caption, int32_t total);
void PcbApiPercentUpdate();
void PcbApiPercentFinish();
void PcbApiEventRouterSendMessage(uint32_t source, uint32_t value, uint16_t code, uint32_t data);

// The event-router codes the importer sends. What they do lies with the host; the names
// say where the importer sends them: after an object changed (its handle as the source,
// or a stored polygon's as the data), and in order around the modification of a board.
enum TPcbEventCode : uint16_t {
  pecObjectChanged = 3,
  pecModifyOpen = 14,        // (0, 0, 14, 0) first
  pecModifyBoard = 12,       // (0, 0, 12, board)
  pecModifyBegin = 7,        // (0, 0, 7, 0): the board-modify bracket is open
  pecModifyEnd = 8,          // (0, 0, 8, 0): it closes
  pecModifyClose = 10,       // (0, 0, 10, 0)
  pecModifyBoardDone = 11,   // (0, 0, 11, board) last
};

// Objects, containers, iterators.
uint32_t PcbApiCreateObject(uint8_t kind);
int32_t PcbApiDestroyObject(uint32_t object);
int32_t PcbApiAddObjectToContainer(uint32_t container, uint32_t object);
int32_t PcbApiDeleteObjectFromContainer(uint32_t container, uint32_t object);
uint32_t PcbApiCreateIterator(uint32_t container, uint8_t kindFilter, uint8_t reserved,
                              uint8_t layerFilter);
uint32_t PcbApiGetFirstObject(uint32_t iterator);
uint32_t PcbApiGetNextObject(uint32_t iterator);
int32_t PcbApiDestroyIterator(uint32_t iterator);
uint8_t PcbApiGetObjectIdFromObjectHandle(uint32_t object);

// Every object.
void PcbApi_GetObjectBitField2(uint8_t mode, uint32_t object, uint8_t* bitField2);
void PcbApi_GetObjectBitField3(uint8_t mode, uint32_t object, uint8_t* bitField3);
int32_t PcbApi_QueryObjectBoundingRectangle(uint32_t object, int32_t* x1, int32_t* y1, int32_t* x2,
                                            int32_t* y2);
int32_t PcbApi_QueryObjectImport_FromUser(uint32_t object);
int32_t PcbApi_QueryObjectGraphicallyInvalidate(uint32_t object);
// Note the order of the last two fields, swapped against the per-kind queries.
int32_t PcbApi_QueryPrimitive(uint8_t mode, uint32_t object, uint16_t* flags,
                              int16_t* primitiveWord, uint8_t* layer, int32_t* net,
                              int32_t* primitiveLong, uint8_t* primitiveByte);

// Primitives. Each query starts with the common head Flags, PrimitiveWord, Layer, Net,
// PrimitiveByte, PrimitiveLong, X, Y.
int32_t PcbApi_QueryTrack(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                          uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                          int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* x2, int32_t* y2,
                          int32_t* width, int32_t* aux1, int32_t* aux2, int32_t* aux3);
int32_t PcbApi_QueryArc(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                        uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                        int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* radius,
                        double* startAngle, double* endAngle, int32_t* lineWidth, int32_t* aux1);
int32_t PcbApi_QueryVia(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                        uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                        int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* size,
                        int32_t* holeSize, uint8_t* byteAux1, uint8_t* byteAux2);
int32_t PcbApi_QueryFill(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                         uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                         int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* x2, int32_t* y2,
                         int32_t* aux1, double* rotation);
int32_t PcbApi_QueryText(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                         uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                         int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* size,
                         int32_t* textAux, double* rotation, uint8_t* mirrorFlag,
                         ShortString<254>* text, int32_t* lineWidth, int32_t* aux2, int32_t* aux3);
int32_t PcbApi_QueryPad(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                        uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                        int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* topXSize,
                        int32_t* topYSize, int32_t* midXSize, int32_t* midYSize, int32_t* botXSize,
                        int32_t* botYSize, int32_t* holeSize, uint8_t* topShape, uint8_t* midShape,
                        uint8_t* botShape, ShortString<20>* name, uint8_t* padByte1,
                        uint8_t* padByte2, double* rotation);
int32_t PcbApi_QueryPadStackMode(uint8_t mode, uint32_t pad, uint8_t* stackMode);
int32_t PcbApi_QueryPadOrViaShapeOnLayer(uint32_t object, uint8_t layer, uint8_t* shape);
int32_t PcbApi_QueryPadOrViaSizeOnLayer(uint32_t object, uint8_t layer, int32_t* xSize,
                                        int32_t* ySize);
int32_t PcbApi_SetPadShapeOnLayer(uint32_t pad, uint8_t layer, uint8_t shape);
int32_t PcbApi_SetPadSizeOnLayer(uint32_t pad, uint8_t layer, int32_t xSize, int32_t ySize);

// Groups and bookkeeping kinds.
int32_t PcbApi_QueryNet(uint8_t mode, uint32_t object, int16_t* primitiveWord,
                        ShortString<255>* name, uint8_t* netByte1, uint8_t* netByte2);
int32_t PcbApi_QueryClass(uint8_t mode, uint32_t object, int16_t* primitiveWord,
                          uint8_t* classByte1, uint8_t* classByte2, ShortString<255>* name);
// Status 1 past the last member.
int32_t PcbApi_GetMemberFromClassAt(uint32_t objectClass, int32_t index, ShortString<255>* name);
// The name is copied into a local short string before the call.
int32_t PcbApi_AddMemberToClass(uint32_t objectClass, const ShortString<255>& name);
int32_t PcbApi_RemoveAllMembersFromClass(uint32_t objectClass);
int32_t PcbApi_QueryComponentChannelOffset(uint8_t mode, uint32_t component,
                                           int32_t* channelOffset);
int32_t PcbApi_QueryComponentKind(uint8_t mode, uint32_t component, uint8_t* componentKind);
int32_t PcbApi_QueryComponent(uint8_t mode, uint32_t component, uint16_t* flags,
                              int16_t* primitiveWord, uint8_t* layer, uint8_t* primitiveByte,
                              int32_t* nameText, int32_t* commentText,
                              ShortString<250>* componentString, uint8_t* componentByte1,
                              uint8_t* componentByte2, int32_t* x, int32_t* y,
                              int32_t* componentLong, double* rotation, uint8_t* componentByte3);
int32_t PcbApi_QueryComponentEx(uint8_t mode, uint32_t component, int32_t* exLong1,
                                uint8_t* exByte1, uint8_t* exByte2, int32_t* exLong2);
int32_t PcbApi_QueryComponentSourceLinks(uint8_t mode, uint32_t component, ShortString<255>* link1,
                                         ShortString<255>* link2, ShortString<255>* link3,
                                         ShortString<255>* link4, ShortString<255>* link5,
                                         ShortString<255>* link6, ShortString<255>* link7);
// `segments` addresses 501 records.
int32_t PcbApi_QueryPolygon(uint8_t mode, uint32_t polygon, uint16_t* flags, int16_t* primitiveWord,
                            uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                            uint8_t* polygonFlag1, uint8_t* polygonFlag2, uint8_t* polygonFlag3,
                            int32_t* gridSize, int32_t* trackWidth, uint8_t* polygonByte1,
                            uint8_t* polygonByte2, int32_t* polygonLong, uint8_t* polygonByte,
                            int32_t* pointCount, TPolygonSegment* segments);
int32_t PcbApi_QueryFromTo(uint8_t mode, uint32_t object, int16_t* primitiveWord, int32_t* x,
                           int32_t* y, uint8_t* byteAux3, int32_t* x2, int32_t* y2,
                           uint8_t* byteAux4, int32_t* net);
int32_t PcbApi_QueryManualFromTo(uint8_t mode, uint32_t object, int16_t* primitiveWord,
                                 ShortString<255>* fromToText1, ShortString<255>* fromToText2,
                                 ShortString<255>* fromToText3, int32_t* fromToLong);
int32_t PcbApi_QueryCoordinate(uint8_t mode, uint32_t object, uint16_t* flags,
                               int16_t* primitiveWord, uint8_t* primitiveByte, int32_t* x,
                               int32_t* y, uint8_t* layer, int32_t* coordValue1,
                               int32_t* coordValue2, int32_t* coordValue3, int32_t* coordValue4,
                               int32_t* coordValue5, int32_t* coordValue6);
int32_t PcbApi_QueryDimension(uint8_t mode, uint32_t object, uint16_t* flags,
                              int16_t* primitiveWord, uint8_t* primitiveByte, int32_t* x,
                              int32_t* y, int32_t* dimLong3, int32_t* dimLong4, uint8_t* layer,
                              int32_t* dimLong5, int32_t* dimLong6, int32_t* dimLong7,
                              int32_t* dimLong8, int32_t* dimLong9, uint8_t* dimByte5);
int32_t PcbApi_QueryExtDimension(uint8_t mode, uint32_t object, uint8_t* dimByte1,
                                 int32_t* dimLong1, int32_t* dimLong2, int32_t* dimLong10,
                                 uint8_t* dimByte2, int32_t* dimLong11, ShortString<255>* dimText1,
                                 uint8_t* dimByte3, int32_t* dimLong12, ShortString<255>* dimText2,
                                 ShortString<255>* dimText3, double* dimDouble, int32_t* dimLong13,
                                 int32_t* dimLong14, int32_t* dimLong15, uint8_t* dimByte4,
                                 int32_t* dimLong16, int32_t* dimLong17, int32_t* dimLong18);
int32_t PcbApi_References_Count(uint32_t dimension, int32_t* count);
int32_t PcbApi_References_At(uint8_t mode, uint32_t dimension, int32_t index, int32_t* refValue1,
                             int32_t* refValue2, int32_t* refValue3, int32_t* refValue4);
int32_t PcbApi_QueryRule(uint8_t mode, uint32_t rule, uint8_t* ruleByte1, uint8_t* ruleByte2,
                         uint8_t* ruleByte3, uint8_t* ruleByte4, uint8_t* ruleByte5,
                         uint8_t* ruleByte6, uint8_t* ruleByte7, ShortString<255>* ruleText1,
                         ShortString<255>* ruleText2, ShortString<255>* ruleText3,
                         ShortString<255>* ruleText4, uint8_t* ruleByte8, uint8_t* ruleByte9,
                         int32_t* ruleLong1, int32_t* ruleLong2, int32_t* ruleLong3,
                         int32_t* ruleLong4, ShortString<255>* ruleText5,
                         ShortString<255>* ruleText6, ShortString<255>* ruleText7,
                         ShortString<255>* ruleText8, ShortString<255>* ruleText9,
                         ShortString<255>* ruleText10);

// Board, options and layer stack. Option groups are flat lists of host values; the
// 16-, 22- and 24-byte values travel as the address of their first byte.
int32_t PcbApi_QueryBoard(uint8_t mode, uint32_t board, int32_t* boardLong1,
                          ShortString<255>* boardText, uint8_t* boardByte1, int32_t* originX,
                          int32_t* originY, int32_t* boardLong2, int32_t* boardLong3,
                          uint8_t* boardByte2, uint8_t* boardByte3, int32_t* boardLong4);
// `layer` 1 to 82; the two scratch bytes are written by the host and read by nobody.
int32_t PcbApi_QueryBoardLayerInfo(uint8_t mode, uint32_t board, uint8_t layer, uint8_t* scratch1,
                                   uint8_t* scratch2, int32_t* layerInfo);
int32_t PcbApi_QueryBoardGridsEx(uint8_t mode, uint32_t board, uint8_t* grid1, uint8_t* grid2,
                                 uint8_t* grid3, uint8_t* grid4, double* grid5, uint8_t* grid6,
                                 double* grid7, double* grid8, int32_t* grid9, uint8_t* grid10,
                                 double* grid11, uint8_t* grid12, double* grid13, double* grid14);
int32_t PcbApi_QueryBoardOutputOptions(uint8_t mode, uint32_t board, int32_t* output1,
                                       int32_t* output2, uint8_t* output3, uint8_t* output4,
                                       uint8_t* output5, uint8_t* output6, uint8_t* output7,
                                       uint8_t* output8, uint8_t* output9, uint8_t* output10,
                                       uint8_t* output11, uint8_t* output12, uint8_t* output13,
                                       uint8_t* output14, uint8_t* output15, uint8_t* output16,
                                       uint8_t* output17, uint8_t* output18, uint8_t* output19,
                                       uint8_t* output20, uint8_t* output21, uint8_t* output22,
                                       uint8_t* output23, uint8_t* output24);
// `layer` 1 to 109.
int32_t PcbApi_QueryBoardOutputOptionsPlotLayers(uint8_t mode, uint32_t board, uint8_t layer,
                                                 uint8_t* plot);
int32_t PcbApi_QueryBoardOutputOptionsFlipLayers(uint8_t mode, uint32_t board, uint8_t layer,
                                                 uint8_t* flip);
int32_t PcbApi_QueryBoardGerberOptions(uint8_t mode, uint32_t board, uint8_t* gerber1,
                                       uint8_t* gerber2, uint8_t* gerber3, uint8_t* gerber4,
                                       uint8_t* gerber5, uint8_t* gerber6, uint8_t* gerber7,
                                       int32_t* gerber8, int32_t* gerber9, int32_t* gerber10,
                                       int32_t* gerber11, int32_t* gerber12,
                                       ShortString<255>* gerber13, int32_t* gerber14,
                                       uint8_t* gerber15, uint8_t* gerber16, int32_t* gerber17,
                                       int32_t* gerber18);
int32_t PcbApi_QueryBoardPrinterOptions(uint8_t mode, uint32_t board, ShortString<255>* printer1,
                                        ShortString<255>* printer2, ShortString<255>* printer3,
                                        uint8_t* printer4, uint8_t* printer5, uint8_t* printer6,
                                        uint8_t* printer7, uint8_t* printer8, uint8_t* printer9,
                                        int32_t* printer10, double* printer11, double* printer12,
                                        double* printer13, uint8_t* printer14, uint8_t* printer15,
                                        uint8_t* printer16, double* printer17, double* printer18,
                                        double* printer19, int32_t* printer20, int32_t* printer21,
                                        uint8_t* printer22, uint8_t* printer23, uint8_t* printer24,
                                        uint8_t* printer25, uint8_t* printer26);
// `pen` 1 to 8.
int32_t PcbApi_QueryBoardPrinterOptionsPlotterPen(uint8_t mode, uint32_t board, int32_t pen,
                                                  int32_t* penValue1, int32_t* penValue2);
// `layer` 1 to 82.
int32_t PcbApi_QueryBoardPrinterOptionsCompositeLayer(uint8_t mode, uint32_t board, uint8_t layer,
                                                      int32_t* composite1, int32_t* composite2,
                                                      uint8_t* composite3, int32_t* composite4);
int32_t PcbApi_QueryBoardAdvancedPlacerOptions(uint8_t mode, uint32_t board,
                                               ShortString<255>* placer1, ShortString<255>* placer2,
                                               uint8_t* placer3, uint8_t* placer4, uint8_t* placer5,
                                               uint8_t* placer6);
int32_t PcbApi_QueryBoardEngineeringChangeOrderOptions(uint8_t mode, uint32_t board,
                                                       uint8_t* changeOrder1,
                                                       ShortString<255>* changeOrder2);
int32_t PcbApi_QueryBoardLayerPairsCount(uint32_t board, int32_t* count);
int32_t PcbApi_QueryBoardLayerPairAt(uint8_t mode, uint32_t board, int32_t index,
                                     uint8_t* pairByte1, uint8_t* pairByte2, uint8_t* highLayer,
                                     uint8_t* lowLayer);
int32_t PcbApi_QueryBoardExternalDielectrics(uint8_t mode, uint32_t board,
                                             ShortString<255>* topMaterial, uint8_t* topType,
                                             double* topConstant, int32_t* topHeight,
                                             ShortString<255>* bottomMaterial, uint8_t* bottomType,
                                             double* bottomConstant, int32_t* bottomHeight);
// Layer first, then the board.
int32_t PcbApi_QueryLayer(uint8_t mode, uint8_t layer, uint32_t board, ShortString<255>* name,
                          int32_t* copperThickness, uint8_t* layerByte1, uint8_t* layerByte2,
                          uint8_t* prevLayer, uint8_t* nextLayer, uint8_t* layerByte3);
int32_t PcbApi_QueryInternalPlane(uint8_t mode, uint8_t layer, uint32_t board,
                                  ShortString<255>* name, int32_t* copperThickness,
                                  uint8_t* layerByte1, uint8_t* layerByte2, uint8_t* prevLayer,
                                  uint8_t* nextLayer, ShortString<255>* netName);
int32_t PcbApi_QueryLayerDielectric(uint8_t mode, uint8_t layer, uint32_t board,
                                    ShortString<255>* material, uint8_t* dielectricType,
                                    double* dielectricConstant, int32_t* dielectricHeight);
