// Slots are looked up by name at compile time (`Slot`), so a wrapper can only refer to
// a name of the binding table. Each wrapper forwards its own parameters unchanged; the
// function-pointer type is formed from them, so the call pushes exactly the wrapper's
// parameter list in stdcall order.
#include "pcb/PcbApi.h"

#include <array>
#include <string_view>
#include <type_traits>

namespace {

constexpr std::array<const char*, PcbApiEntryCount> cEntryNames = {
    "PcbApi_QueryFocusedPrimitive",
    "PcbApi_GetCurrentComponent",
    "PcbApi_GetCurrentBoardHandle",
    "PcbApi_SendCommand",
    "PcbApi_GetCurrentEditorWindow",
    "PcbApi_Percent_Init",
    "PcbApi_Percent_Update",
    "PcbApi_Percent_UpdateByNumber",
    "PcbApi_Percent_Finish",
    "PcbApi_ClearUndoRedo",
    "PcbApi_SetCurrentBoardHandle",
    "PcbApi_GetBoardHandleFromFileName",
    "PcbApi_GetBoardHandleFromFullFileName",
    "PcbApi_GetObjectAtCursor",
    "PcbApi_GetObjectAtXYAskUserIfAmbiguous",
    "PcbApi_ExecuteMacroExt",
    "PcbApi_ExecuteMacro",
    "PcbApi_RunNetAnalyser",
    "PcbApi_LoadComponentFromLibrary",
    "PcbApi_ChooseRectangleByCorners",
    "PcbApi_ChooseLocation",
    "PcbApi_QueryCursorLocation",
    "PcbApi_CreateObject",
    "PcbApi_CreateDimensionObject",
    "PcbApi_DestroyObject",
    "PcbApi_CreateRuleObject",
    "PcbApi_CreateClassObject",
    "PcbApi_CreateClassObjectEx",
    "PcbApi_FindDominantRuleForObject",
    "PcbApi_FindDominantRuleForObjectPair",
    "PcbApi_AnalyzeNet",
    "PcbApi_ShowObject",
    "PcbApi_HideObject",
    "PcbApi_InvertObject",
    "PcbApi_ScreenDisplay",
    "PcbApi_AddObjectToContainer",
    "PcbApi_SetOwnerBoard",
    "PcbApi_DeleteObjectFromContainer",
    "PcbApi_QueryPad",
    "PcbApi_QueryPadCache",
    "PcbApi_QueryPadOrViaShapeOnLayer",
    "PcbApi_SetPadShapeOnLayer",
    "PcbApi_SetPadSizeOnLayer",
    "PcbApi_QueryPadStackMode",
    "PcbApi_QueryPadOrViaSizeOnLayer",
    "PcbApi_QueryPadConnectToLayer",
    "PcbApi_QueryPad_PwrGnd",
    "PcbApi_QueryTrack",
    "PcbApi_QueryVia",
    "PcbApi_QueryNet",
    "PcbApi_QueryClass",
    "PcbApi_GetMemberFromClassAt",
    "PcbApi_AddMemberToClass",
    "PcbApi_RemoveAllMembersFromClass",
    "PcbApi_QueryNetRules",
    "PcbApi_QueryFromTo",
    "PcbApi_QueryManualFromTo",
    "PcbApi_QueryCoordinate",
    "PcbApi_QueryDimension",
    "PcbApi_QueryExtDimension",
    "PcbApi_References_Count",
    "PcbApi_References_At",
    "PcbApi_References_Add",
    "PcbApi_TextLocations_Count",
    "PcbApi_TextLocations_At",
    "PcbApi_TextLocations_Add",
    "PcbApi_QueryLinearDimension",
    "PcbApi_QueryAngularDimension",
    "PcbApi_QueryRadialDimension",
    "PcbApi_QueryLeaderDimension",
    "PcbApi_QueryDatumDimension",
    "PcbApi_QueryBaselineDimension",
    "PcbApi_QueryCenterDimension",
    "PcbApi_QueryOriginalDimension",
    "PcbApi_QueryLinearDiameterDimension",
    "PcbApi_QueryRadialDiameterDimension",
    "PcbApi_QueryPrimitive",
    "PcbApi_QueryFill",
    "PcbApi_QueryArc",
    "PcbApi_QueryText",
    "PcbApi_QueryPolygon",
    "PcbApi_QueryComponent",
    "PcbApi_QueryLibComponent",
    "PcbApi_QueryComponentEx",
    "PcbApi_QueryComponent_ApplyAutopositionNameComment",
    "PcbApi_QueryComponentUniqueId",
    "PcbApi_QueryComponentSourceLinks",
    "PcbApi_QueryComponentKind",
    "PcbApi_QueryComponentChannelOffset",
    "PcbApi_QueryComponent_GetObjectAt",
    "PcbApi_QueryObjectBoundingRectangle",
    "PcbApi_QueryObjectImport_FromUser",
    "PcbApi_QueryObjectSetState_Default",
    "PcbApi_QueryObjectGraphicallyInvalidate",
    "PcbApi_QuerySheet",
    "PcbApi_QueryBoard",
    "PcbApi_QueryBoardGridsEx",
    "PcbApi_QueryBoardGrids",
    "PcbApi_QueryBoardLayerPairsCount",
    "PcbApi_QueryBoardLayerPairAt",
    "PcbApi_QueryBoardEngineeringChangeOrderOptions",
    "PcbApi_QueryBoardOutputOptions",
    "PcbApi_QueryBoardOutputOptionsPlotLayers",
    "PcbApi_QueryBoardOutputOptionsFlipLayers",
    "PcbApi_QueryBoardGerberOptions",
    "PcbApi_QueryBoardPrinterOptions",
    "PcbApi_QueryBoardPrinterOptionsPlotterPen",
    "PcbApi_QueryBoardPrinterOptionsCompositeLayer",
    "PcbApi_QueryBoardAdvancedPlacerOptions",
    "PcbApi_QueryBoardAdvancedPlacerOptionsEx",
    "PcbApi_QueryBoardDesignRuleCheckerOptions",
    "PcbApi_QuerySystemOptions",
    "PcbApi_QuerySystemOptionsPlaceArray",
    "PcbApi_QuerySystemOptionsPorts",
    "PcbApi_QuerySystemOptionsMiscellaneousEx",
    "PcbApi_QuerySystemOptionsMiscellaneous",
    "PcbApi_GetState_ComponentTypeMappingsCount",
    "PcbApi_SetState_DeleteAllComponentTypeMappings",
    "PcbApi_SetState_AddComponentTypeMapping",
    "PcbApi_GetState_ComponentTypeMappingAt",
    "PcbApi_QuerySystemGetGlobalPrimitive",
    "PcbApi_QuerySystemGetGlobalDimension",
    "PcbApi_QueryEmbedded",
    "PcbApi_QueryRule",
    "PcbApi_QueryRuleEx",
    "PcbApi_QueryRuleScopeDescriptions",
    "PcbApi_QueryObjectParameters",
    "PcbApi_Scope2_Includes",
    "PcbApi_Scope1_Includes",
    "PcbApi_QueryRuleExt",
    "PcbApi_QueryRuleExtEx",
    "PcbApi_SetState_DeleteAllSubScopes",
    "PcbApi_SetState_AddSubscope",
    "PcbApi_GetState_SubScopesCount",
    "PcbApi_GetState_SubscopeAt",
    "PcbApi_QueryLayer",
    "PcbApi_QueryInternalPlane",
    "PcbApi_QueryLayerDielectric",
    "PcbApi_QueryBoardExternalDielectrics",
    "PcbApi_InsertLayerInStack",
    "PcbApi_RemoveLayerFromStack",
    "PcbApi_QueryViolation",
    "PcbApi_QueryRuleParallelSegmentConstraint",
    "PcbApi_QueryRuleClearanceConstraint",
    "PcbApi_QueryRuleMaxMinLengthConstraint",
    "PcbApi_QueryRuleMaxMinWidthConstraint",
    "PcbApi_QueryRuleMaxMinWidthConstraintExt",
    "PcbApi_QueryRuleRoutingCornerStyleRule",
    "PcbApi_QueryRuleRoutingViaStyleRule",
    "PcbApi_QueryRuleRoutingViaStyleRuleExt",
    "PcbApi_QueryRuleRoutingLayersRule",
    "PcbApi_QueryRuleRoutingTopologyRule",
    "PcbApi_QueryRuleRoutingPriorityRule",
    "PcbApi_QueryRulePowerPlaneConnectStyleRule",
    "PcbApi_QueryRulePasteMaskExpansionRule",
    "PcbApi_QueryRuleSolderMaskExpansionRule",
    "PcbApi_QueryRulePowerPlaneExpansionRule",
    "PcbApi_QueryRuleDaisyChainStubLengthConstraint",
    "PcbApi_QueryRuleMatchedNetLengthsConstraint",
    "PcbApi_QueryRuleShortCircuitConstraint",
    "PcbApi_QueryRuleBrokenNetRule",
    "PcbApi_QueryRuleViasUnderSMDConstraint",
    "PcbApi_QueryRuleMaximumViaCountRule",
    "PcbApi_QueryRuleMinimumAnnularRingRule",
    "PcbApi_QueryRuleAcuteAngleRule",
    "PcbApi_QueryRuleConfinementConstraint",
    "PcbApi_QueryRuleSMDToCorner",
    "PcbApi_QueryRuleComponentClearanceConstraint",
    "PcbApi_QueryRuleComponentRotationsRule",
    "PcbApi_QueryRulePermittedLayersRule",
    "PcbApi_QueryRuleSignalStimulus",
    "PcbApi_QueryRuleMaxOvershootRise",
    "PcbApi_QueryRuleMaxOvershootFall",
    "PcbApi_QueryRuleMaxUndershootRise",
    "PcbApi_QueryRuleMaxUndershootFall",
    "PcbApi_QueryRuleMaxMinImpedance",
    "PcbApi_QueryRuleMinSignalTopValue",
    "PcbApi_QueryRuleMaxSignalBaseValue",
    "PcbApi_QueryRuleFlightTime_RisingEdge",
    "PcbApi_QueryRuleFlightTime_FallingEdge",
    "PcbApi_QueryRuleMaxSlope_RisingEdge",
    "PcbApi_QueryRuleMaxSlope_FallingEdge",
    "PcbApi_QueryRuleSupplyNets",
    "PcbApi_QueryRuleTestpointUsage",
    "PcbApi_QueryRuleTestpointStyle",
    "PcbApi_QueryBoardLayerInfo",
    "PcbApi_QueryBoardWindowRectangle",
    "PcbApi_QueryBoardInternalPlaneNets",
    "PcbApi_QuerySystemOptionsLayerDrawingOrder",
    "PcbApi_QuerySystemOptionsPolygon",
    "PcbApi_QuerySystemOptionsProtection",
    "PcbApi_CreateIterator",
    "PcbApi_DestroyIterator",
    "PcbApi_GetNextObject",
    "PcbApi_GetFirstObject",
    "PcbApi_CreateSpatialIterator",
    "PcbApi_DestroySpatialIterator",
    "PcbApi_GetNextSpatialObject",
    "PcbApi_GetFirstSpatialObject",
    "PcbApi_TestTrack",
    "PCBAPI_GetUnaryRuleForPrimitive",
    "PCBAPI_GetBinaryRuleForPrimitive",
    "PCBAPI_CheckPrimitivesOverlapWithClearance",
    "PcbApi_TestFill",
    "PcbApi_TestPad",
    "PcbApi_TestArc",
    "PcbApi_TestText",
    "PcbApi_TestVia",
    "PcbApi_ConvertTextToStrokeArray",
    "PcbApi_EventRouter_SendMessage",
    "PcbApi_GetState_ProcessDepth",
    "PcbApi_SetState_ProcessDepth",
    "PcbApi_RunEventHandler",
    "PcbApi_CreateEventHandler",
    "PcbApi_DestroyEventHandler",
    "PcbApi_EventHandlerPerformanceIsPoor",
    "PcbApi_AddRobotToRobotsList",
    "PcbApi_RemoveRobotFromRobotsList",
    "PcbApi_GetRobotAt",
    "PcbApi_GetRobotsCount",
    "PcbApi_CreateRobot",
    "PcbApi_DeleteRobot",
    "PcbApi_GetRobotObjectHandleByName",
    "PcbApi_GetRobotNameAndCallback",
    "PcbApi_GetObjectIdFromObjectHandle",
    "PcbApi_GetPalette",
    "PcbApi_GetObjectBitField2",
    "PcbApi_GetObjectBitField3",
    "PcbApi_ChangePanelHandle",
    "PcbApi_ResetPanel",
    "PcbApi_CreateBoardOutline",
    "PcbApi_UpdateBoardOutline",
    "PcbApi_CreatePainter",
    "PcbApi_Export_ToPainter",
    "PcbApi_CreateLibReader",
    "PcbApi_GetLibReaderCount",
    "PcbApi_GetLibReaderPattern",
    "PcbApi_DestroyLibReader",
};

consteval int Slot(std::string_view name) {
  for (int i = 0; i < PcbApiEntryCount; ++i) {
    if (std::string_view(cEntryNames[i]) == name)
      return i;
  }
  throw "not an entry point of the PCB server";
}

HMODULE gModule = nullptr;
std::array<FARPROC, PcbApiEntryCount> gSlots{};

template <int Index, class R, class... P>
R Call(R unbound, P... args) {
  auto entry = reinterpret_cast<R(__stdcall*)(P...)>(reinterpret_cast<void*>(gSlots[Index]));
  if (!entry)
    return unbound;
  return entry(args...);
}

template <int Index, class... P>
void CallVoid(P... args) {
  auto entry = reinterpret_cast<void(__stdcall*)(P...)>(reinterpret_cast<void*>(gSlots[Index]));
  if (entry)
    entry(args...);
}

// Short strings travel as the address of their length byte, which is the object's own.
template <unsigned N>
uint8_t* Bytes(ShortString<N>* text) {
  static_assert(std::is_standard_layout_v<ShortString<N>>);
  return reinterpret_cast<uint8_t*>(text);
}

}  // namespace

void LoadPcbApi() {
  gModule = GetModuleHandleA("Ravelo.dll");
  for (int i = 0; i < PcbApiEntryCount; ++i)
    gSlots[i] = gModule ? GetProcAddress(gModule, cEntryNames[i]) : nullptr;
}

HMODULE PcbApiModule() {
  return gModule;
}

const char* PcbApiEntryName(int index) {
  if (index < 0 || index >= PcbApiEntryCount)
    return nullptr;
  return cEntryNames[index];
}

void* PcbApiEntryAddress(int index) {
  if (index < 0 || index >= PcbApiEntryCount)
    return nullptr;
  return reinterpret_cast<void*>(gSlots[index]);
}

void ClearPcbApi() {
  gModule = nullptr;
  gSlots.fill(nullptr);
}

int32_t MinInteger(int32_t a, int32_t b) {
  return a < b ? a : b;
}

int32_t MaxInteger(int32_t a, int32_t b) {
  return a > b ? a : b;
}

// Server, boards, progress, commands.

uint32_t PcbApiGetCurrentBoardHandle() {
  return Call<Slot("PcbApi_GetCurrentBoardHandle")>(uint32_t{0});
}

uint32_t PcbApiGetBoardHandleFromFullFileName(const ShortString<255>& fullFileName) {
  ShortString<255> name = fullFileName;
  return Call<Slot("PcbApi_GetBoardHandleFromFullFileName")>(uint32_t{0}, Bytes(&name));
}

// The host answers in `parameters`; its last byte is made a zero afterwards, so that a
// host that fills the whole buffer cannot make the caller read past it.
int32_t PcbApiSendCommand(const char* command, char* parameters, uint16_t size, uint32_t reserved) {
  if (!PcbApiEntryAddress(Slot("PcbApi_SendCommand")))
    return 0;
  const int32_t result =
      Call<Slot("PcbApi_SendCommand")>(int32_t{0}, command, parameters, size, reserved);
  if (parameters && size > 0)
    parameters[size - 1] = 0;
  return result;
}

void PcbApiPercentInit(const ShortString<255>& caption, int32_t total) {
  ShortString<255> text = caption;
  CallVoid<Slot("PcbApi_Percent_Init")>(Bytes(&text), total);
}

void PcbApiPercentUpdate() {
  CallVoid<Slot("PcbApi_Percent_Update")>();
}

void PcbApiPercentFinish() {
  CallVoid<Slot("PcbApi_Percent_Finish")>();
}

void PcbApiEventRouterSendMessage(uint32_t source, uint32_t value, uint16_t code, uint32_t data) {
  CallVoid<Slot("PcbApi_EventRouter_SendMessage")>(source, value, code, data);
}

// Objects, containers, iterators.

uint32_t PcbApiCreateObject(uint8_t kind) {
  return Call<Slot("PcbApi_CreateObject")>(uint32_t{0}, kind);
}

int32_t PcbApiDestroyObject(uint32_t object) {
  return Call<Slot("PcbApi_DestroyObject")>(int32_t{0}, object);
}

int32_t PcbApiAddObjectToContainer(uint32_t container, uint32_t object) {
  return Call<Slot("PcbApi_AddObjectToContainer")>(int32_t{0}, container, object);
}

int32_t PcbApiDeleteObjectFromContainer(uint32_t container, uint32_t object) {
  return Call<Slot("PcbApi_DeleteObjectFromContainer")>(int32_t{0}, container, object);
}

uint32_t PcbApiCreateIterator(uint32_t container, uint8_t kindFilter, uint8_t reserved,
                              uint8_t layerFilter) {
  return Call<Slot("PcbApi_CreateIterator")>(uint32_t{0}, container, kindFilter, reserved,
                                             layerFilter);
}

uint32_t PcbApiGetFirstObject(uint32_t iterator) {
  return Call<Slot("PcbApi_GetFirstObject")>(uint32_t{0}, iterator);
}

uint32_t PcbApiGetNextObject(uint32_t iterator) {
  return Call<Slot("PcbApi_GetNextObject")>(uint32_t{0}, iterator);
}

int32_t PcbApiDestroyIterator(uint32_t iterator) {
  return Call<Slot("PcbApi_DestroyIterator")>(int32_t{0}, iterator);
}

uint8_t PcbApiGetObjectIdFromObjectHandle(uint32_t object) {
  return Call<Slot("PcbApi_GetObjectIdFromObjectHandle")>(uint8_t{0}, object);
}

// Every object.

void PcbApi_GetObjectBitField2(uint8_t mode, uint32_t object, uint8_t* bitField2) {
  CallVoid<Slot("PcbApi_GetObjectBitField2")>(mode, object, bitField2);
}

void PcbApi_GetObjectBitField3(uint8_t mode, uint32_t object, uint8_t* bitField3) {
  CallVoid<Slot("PcbApi_GetObjectBitField3")>(mode, object, bitField3);
}

int32_t PcbApi_QueryObjectBoundingRectangle(uint32_t object, int32_t* x1, int32_t* y1, int32_t* x2,
                                            int32_t* y2) {
  return Call<Slot("PcbApi_QueryObjectBoundingRectangle")>(int32_t{0}, object, x1, y1, x2, y2);
}

int32_t PcbApi_QueryObjectImport_FromUser(uint32_t object) {
  return Call<Slot("PcbApi_QueryObjectImport_FromUser")>(int32_t{0}, object);
}

int32_t PcbApi_QueryObjectGraphicallyInvalidate(uint32_t object) {
  return Call<Slot("PcbApi_QueryObjectGraphicallyInvalidate")>(int32_t{0}, object);
}

int32_t PcbApi_QueryPrimitive(uint8_t mode, uint32_t object, uint16_t* flags,
                              int16_t* primitiveWord, uint8_t* layer, int32_t* net,
                              int32_t* primitiveLong, uint8_t* primitiveByte) {
  return Call<Slot("PcbApi_QueryPrimitive")>(int32_t{0}, mode, object, flags, primitiveWord, layer,
                                             net, primitiveLong, primitiveByte);
}

// Primitives.

int32_t PcbApi_QueryTrack(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                          uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                          int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* x2, int32_t* y2,
                          int32_t* width, int32_t* aux1, int32_t* aux2, int32_t* aux3) {
  return Call<Slot("PcbApi_QueryTrack")>(int32_t{0}, mode, object, flags, primitiveWord, layer, net,
                                         primitiveByte, primitiveLong, x, y, x2, y2, width, aux1,
                                         aux2, aux3);
}

int32_t PcbApi_QueryArc(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                        uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                        int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* radius,
                        double* startAngle, double* endAngle, int32_t* lineWidth, int32_t* aux1) {
  return Call<Slot("PcbApi_QueryArc")>(int32_t{0}, mode, object, flags, primitiveWord, layer, net,
                                       primitiveByte, primitiveLong, x, y, radius, startAngle,
                                       endAngle, lineWidth, aux1);
}

int32_t PcbApi_QueryVia(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                        uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                        int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* size,
                        int32_t* holeSize, uint8_t* byteAux1, uint8_t* byteAux2) {
  return Call<Slot("PcbApi_QueryVia")>(int32_t{0}, mode, object, flags, primitiveWord, layer, net,
                                       primitiveByte, primitiveLong, x, y, size, holeSize, byteAux1,
                                       byteAux2);
}

int32_t PcbApi_QueryFill(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                         uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                         int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* x2, int32_t* y2,
                         int32_t* aux1, double* rotation) {
  return Call<Slot("PcbApi_QueryFill")>(int32_t{0}, mode, object, flags, primitiveWord, layer, net,
                                        primitiveByte, primitiveLong, x, y, x2, y2, aux1, rotation);
}

int32_t PcbApi_QueryText(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                         uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                         int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* size,
                         int32_t* textAux, double* rotation, uint8_t* mirrorFlag,
                         ShortString<254>* text, int32_t* lineWidth, int32_t* aux2, int32_t* aux3) {
  return Call<Slot("PcbApi_QueryText")>(int32_t{0}, mode, object, flags, primitiveWord, layer, net,
                                        primitiveByte, primitiveLong, x, y, size, textAux, rotation,
                                        mirrorFlag, Bytes(text), lineWidth, aux2, aux3);
}

int32_t PcbApi_QueryPad(uint8_t mode, uint32_t object, uint16_t* flags, int16_t* primitiveWord,
                        uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                        int32_t* primitiveLong, int32_t* x, int32_t* y, int32_t* topXSize,
                        int32_t* topYSize, int32_t* midXSize, int32_t* midYSize, int32_t* botXSize,
                        int32_t* botYSize, int32_t* holeSize, uint8_t* topShape, uint8_t* midShape,
                        uint8_t* botShape, ShortString<20>* name, uint8_t* padByte1,
                        uint8_t* padByte2, double* rotation) {
  return Call<Slot("PcbApi_QueryPad")>(
      int32_t{0}, mode, object, flags, primitiveWord, layer, net, primitiveByte, primitiveLong, x,
      y, topXSize, topYSize, midXSize, midYSize, botXSize, botYSize, holeSize, topShape, midShape,
      botShape, Bytes(name), padByte1, padByte2, rotation);
}

int32_t PcbApi_QueryPadStackMode(uint8_t mode, uint32_t pad, uint8_t* stackMode) {
  return Call<Slot("PcbApi_QueryPadStackMode")>(int32_t{0}, mode, pad, stackMode);
}

int32_t PcbApi_QueryPadOrViaShapeOnLayer(uint32_t object, uint8_t layer, uint8_t* shape) {
  return Call<Slot("PcbApi_QueryPadOrViaShapeOnLayer")>(int32_t{0}, object, layer, shape);
}

int32_t PcbApi_QueryPadOrViaSizeOnLayer(uint32_t object, uint8_t layer, int32_t* xSize,
                                        int32_t* ySize) {
  return Call<Slot("PcbApi_QueryPadOrViaSizeOnLayer")>(int32_t{0}, object, layer, xSize, ySize);
}

int32_t PcbApi_SetPadShapeOnLayer(uint32_t pad, uint8_t layer, uint8_t shape) {
  return Call<Slot("PcbApi_SetPadShapeOnLayer")>(int32_t{0}, pad, layer, shape);
}

int32_t PcbApi_SetPadSizeOnLayer(uint32_t pad, uint8_t layer, int32_t xSize, int32_t ySize) {
  return Call<Slot("PcbApi_SetPadSizeOnLayer")>(int32_t{0}, pad, layer, xSize, ySize);
}

// Groups and bookkeeping kinds.

int32_t PcbApi_QueryNet(uint8_t mode, uint32_t object, int16_t* primitiveWord,
                        ShortString<255>* name, uint8_t* netByte1, uint8_t* netByte2) {
  return Call<Slot("PcbApi_QueryNet")>(int32_t{0}, mode, object, primitiveWord, Bytes(name),
                                       netByte1, netByte2);
}

int32_t PcbApi_QueryClass(uint8_t mode, uint32_t object, int16_t* primitiveWord,
                          uint8_t* classByte1, uint8_t* classByte2, ShortString<255>* name) {
  return Call<Slot("PcbApi_QueryClass")>(int32_t{0}, mode, object, primitiveWord, classByte1,
                                         classByte2, Bytes(name));
}

int32_t PcbApi_GetMemberFromClassAt(uint32_t objectClass, int32_t index, ShortString<255>* name) {
  return Call<Slot("PcbApi_GetMemberFromClassAt")>(int32_t{1}, objectClass, index, Bytes(name));
}

int32_t PcbApi_AddMemberToClass(uint32_t objectClass, const ShortString<255>& name) {
  ShortString<255> member = name;
  return Call<Slot("PcbApi_AddMemberToClass")>(int32_t{1}, objectClass, Bytes(&member));
}

int32_t PcbApi_RemoveAllMembersFromClass(uint32_t objectClass) {
  return Call<Slot("PcbApi_RemoveAllMembersFromClass")>(int32_t{1}, objectClass);
}

int32_t PcbApi_QueryComponentChannelOffset(uint8_t mode, uint32_t component,
                                           int32_t* channelOffset) {
  return Call<Slot("PcbApi_QueryComponentChannelOffset")>(int32_t{0}, mode, component,
                                                          channelOffset);
}

int32_t PcbApi_QueryComponentKind(uint8_t mode, uint32_t component, uint8_t* componentKind) {
  return Call<Slot("PcbApi_QueryComponentKind")>(int32_t{0}, mode, component, componentKind);
}

int32_t PcbApi_QueryComponent(uint8_t mode, uint32_t component, uint16_t* flags,
                              int16_t* primitiveWord, uint8_t* layer, uint8_t* primitiveByte,
                              int32_t* nameText, int32_t* commentText,
                              ShortString<250>* componentString, uint8_t* componentByte1,
                              uint8_t* componentByte2, int32_t* x, int32_t* y,
                              int32_t* componentLong, double* rotation, uint8_t* componentByte3) {
  return Call<Slot("PcbApi_QueryComponent")>(int32_t{0}, mode, component, flags, primitiveWord,
                                             layer, primitiveByte, nameText, commentText,
                                             Bytes(componentString), componentByte1, componentByte2,
                                             x, y, componentLong, rotation, componentByte3);
}

int32_t PcbApi_QueryComponentEx(uint8_t mode, uint32_t component, int32_t* exLong1,
                                uint8_t* exByte1, uint8_t* exByte2, int32_t* exLong2) {
  return Call<Slot("PcbApi_QueryComponentEx")>(int32_t{0}, mode, component, exLong1, exByte1,
                                               exByte2, exLong2);
}

int32_t PcbApi_QueryComponentSourceLinks(uint8_t mode, uint32_t component, ShortString<255>* link1,
                                         ShortString<255>* link2, ShortString<255>* link3,
                                         ShortString<255>* link4, ShortString<255>* link5,
                                         ShortString<255>* link6, ShortString<255>* link7) {
  return Call<Slot("PcbApi_QueryComponentSourceLinks")>(int32_t{0}, mode, component, Bytes(link1),
                                                        Bytes(link2), Bytes(link3), Bytes(link4),
                                                        Bytes(link5), Bytes(link6), Bytes(link7));
}

int32_t PcbApi_QueryPolygon(uint8_t mode, uint32_t polygon, uint16_t* flags, int16_t* primitiveWord,
                            uint8_t* layer, int32_t* net, uint8_t* primitiveByte,
                            uint8_t* polygonFlag1, uint8_t* polygonFlag2, uint8_t* polygonFlag3,
                            int32_t* gridSize, int32_t* trackWidth, uint8_t* polygonByte1,
                            uint8_t* polygonByte2, int32_t* polygonLong, uint8_t* polygonByte,
                            int32_t* pointCount, TPolygonSegment* segments) {
  return Call<Slot("PcbApi_QueryPolygon")>(
      int32_t{0}, mode, polygon, flags, primitiveWord, layer, net, primitiveByte, polygonFlag1,
      polygonFlag2, polygonFlag3, gridSize, trackWidth, polygonByte1, polygonByte2, polygonLong,
      polygonByte, pointCount, segments);
}

int32_t PcbApi_QueryFromTo(uint8_t mode, uint32_t object, int16_t* primitiveWord, int32_t* x,
                           int32_t* y, uint8_t* byteAux3, int32_t* x2, int32_t* y2,
                           uint8_t* byteAux4, int32_t* net) {
  return Call<Slot("PcbApi_QueryFromTo")>(int32_t{0}, mode, object, primitiveWord, x, y, byteAux3,
                                          x2, y2, byteAux4, net);
}

int32_t PcbApi_QueryManualFromTo(uint8_t mode, uint32_t object, int16_t* primitiveWord,
                                 ShortString<255>* fromToText1, ShortString<255>* fromToText2,
                                 ShortString<255>* fromToText3, int32_t* fromToLong) {
  return Call<Slot("PcbApi_QueryManualFromTo")>(int32_t{1}, mode, object, primitiveWord,
                                                Bytes(fromToText1), Bytes(fromToText2),
                                                Bytes(fromToText3), fromToLong);
}

int32_t PcbApi_QueryCoordinate(uint8_t mode, uint32_t object, uint16_t* flags,
                               int16_t* primitiveWord, uint8_t* primitiveByte, int32_t* x,
                               int32_t* y, uint8_t* layer, int32_t* coordValue1,
                               int32_t* coordValue2, int32_t* coordValue3, int32_t* coordValue4,
                               int32_t* coordValue5, int32_t* coordValue6) {
  return Call<Slot("PcbApi_QueryCoordinate")>(int32_t{0}, mode, object, flags, primitiveWord,
                                              primitiveByte, x, y, layer, coordValue1, coordValue2,
                                              coordValue3, coordValue4, coordValue5, coordValue6);
}

int32_t PcbApi_QueryDimension(uint8_t mode, uint32_t object, uint16_t* flags,
                              int16_t* primitiveWord, uint8_t* primitiveByte, int32_t* x,
                              int32_t* y, int32_t* dimLong3, int32_t* dimLong4, uint8_t* layer,
                              int32_t* dimLong5, int32_t* dimLong6, int32_t* dimLong7,
                              int32_t* dimLong8, int32_t* dimLong9, uint8_t* dimByte5) {
  return Call<Slot("PcbApi_QueryDimension")>(
      int32_t{0}, mode, object, flags, primitiveWord, primitiveByte, x, y, dimLong3, dimLong4,
      layer, dimLong5, dimLong6, dimLong7, dimLong8, dimLong9, dimByte5);
}

int32_t PcbApi_QueryExtDimension(uint8_t mode, uint32_t object, uint8_t* dimByte1,
                                 int32_t* dimLong1, int32_t* dimLong2, int32_t* dimLong10,
                                 uint8_t* dimByte2, int32_t* dimLong11, ShortString<255>* dimText1,
                                 uint8_t* dimByte3, int32_t* dimLong12, ShortString<255>* dimText2,
                                 ShortString<255>* dimText3, double* dimDouble, int32_t* dimLong13,
                                 int32_t* dimLong14, int32_t* dimLong15, uint8_t* dimByte4,
                                 int32_t* dimLong16, int32_t* dimLong17, int32_t* dimLong18) {
  return Call<Slot("PcbApi_QueryExtDimension")>(
      int32_t{0}, mode, object, dimByte1, dimLong1, dimLong2, dimLong10, dimByte2, dimLong11,
      Bytes(dimText1), dimByte3, dimLong12, Bytes(dimText2), Bytes(dimText3), dimDouble, dimLong13,
      dimLong14, dimLong15, dimByte4, dimLong16, dimLong17, dimLong18);
}

int32_t PcbApi_References_Count(uint32_t dimension, int32_t* count) {
  return Call<Slot("PcbApi_References_Count")>(int32_t{0}, dimension, count);
}

int32_t PcbApi_References_At(uint8_t mode, uint32_t dimension, int32_t index, int32_t* refValue1,
                             int32_t* refValue2, int32_t* refValue3, int32_t* refValue4) {
  return Call<Slot("PcbApi_References_At")>(int32_t{0}, mode, dimension, index, refValue1,
                                            refValue2, refValue3, refValue4);
}

int32_t PcbApi_QueryRule(uint8_t mode, uint32_t rule, uint8_t* ruleByte1, uint8_t* ruleByte2,
                         uint8_t* ruleByte3, uint8_t* ruleByte4, uint8_t* ruleByte5,
                         uint8_t* ruleByte6, uint8_t* ruleByte7, ShortString<255>* ruleText1,
                         ShortString<255>* ruleText2, ShortString<255>* ruleText3,
                         ShortString<255>* ruleText4, uint8_t* ruleByte8, uint8_t* ruleByte9,
                         int32_t* ruleLong1, int32_t* ruleLong2, int32_t* ruleLong3,
                         int32_t* ruleLong4, ShortString<255>* ruleText5,
                         ShortString<255>* ruleText6, ShortString<255>* ruleText7,
                         ShortString<255>* ruleText8, ShortString<255>* ruleText9,
                         ShortString<255>* ruleText10) {
  return Call<Slot("PcbApi_QueryRule")>(
      int32_t{0}, mode, rule, ruleByte1, ruleByte2, ruleByte3, ruleByte4, ruleByte5, ruleByte6,
      ruleByte7, Bytes(ruleText1), Bytes(ruleText2), Bytes(ruleText3), Bytes(ruleText4), ruleByte8,
      ruleByte9, ruleLong1, ruleLong2, ruleLong3, ruleLong4, Bytes(ruleText5), Bytes(ruleText6),
      Bytes(ruleText7), Bytes(ruleText8), Bytes(ruleText9), Bytes(ruleText10));
}

// Board, options and layer stack.

int32_t PcbApi_QueryBoard(uint8_t mode, uint32_t board, int32_t* boardLong1,
                          ShortString<255>* boardText, uint8_t* boardByte1, int32_t* originX,
                          int32_t* originY, int32_t* boardLong2, int32_t* boardLong3,
                          uint8_t* boardByte2, uint8_t* boardByte3, int32_t* boardLong4) {
  return Call<Slot("PcbApi_QueryBoard")>(int32_t{0}, mode, board, boardLong1, Bytes(boardText),
                                         boardByte1, originX, originY, boardLong2, boardLong3,
                                         boardByte2, boardByte3, boardLong4);
}

int32_t PcbApi_QueryBoardLayerInfo(uint8_t mode, uint32_t board, uint8_t layer, uint8_t* scratch1,
                                   uint8_t* scratch2, int32_t* layerInfo) {
  return Call<Slot("PcbApi_QueryBoardLayerInfo")>(int32_t{0}, mode, board, layer, scratch1,
                                                  scratch2, layerInfo);
}

int32_t PcbApi_QueryBoardGridsEx(uint8_t mode, uint32_t board, uint8_t* grid1, uint8_t* grid2,
                                 uint8_t* grid3, uint8_t* grid4, double* grid5, uint8_t* grid6,
                                 double* grid7, double* grid8, int32_t* grid9, uint8_t* grid10,
                                 double* grid11, uint8_t* grid12, double* grid13, double* grid14) {
  return Call<Slot("PcbApi_QueryBoardGridsEx")>(int32_t{0}, mode, board, grid1, grid2, grid3, grid4,
                                                grid5, grid6, grid7, grid8, grid9, grid10, grid11,
                                                grid12, grid13, grid14);
}

int32_t PcbApi_QueryBoardOutputOptions(uint8_t mode, uint32_t board, int32_t* output1,
                                       int32_t* output2, uint8_t* output3, uint8_t* output4,
                                       uint8_t* output5, uint8_t* output6, uint8_t* output7,
                                       uint8_t* output8, uint8_t* output9, uint8_t* output10,
                                       uint8_t* output11, uint8_t* output12, uint8_t* output13,
                                       uint8_t* output14, uint8_t* output15, uint8_t* output16,
                                       uint8_t* output17, uint8_t* output18, uint8_t* output19,
                                       uint8_t* output20, uint8_t* output21, uint8_t* output22,
                                       uint8_t* output23, uint8_t* output24) {
  return Call<Slot("PcbApi_QueryBoardOutputOptions")>(
      int32_t{0}, mode, board, output1, output2, output3, output4, output5, output6, output7,
      output8, output9, output10, output11, output12, output13, output14, output15, output16,
      output17, output18, output19, output20, output21, output22, output23, output24);
}

int32_t PcbApi_QueryBoardOutputOptionsPlotLayers(uint8_t mode, uint32_t board, uint8_t layer,
                                                 uint8_t* plot) {
  return Call<Slot("PcbApi_QueryBoardOutputOptionsPlotLayers")>(int32_t{0}, mode, board, layer,
                                                                plot);
}

int32_t PcbApi_QueryBoardOutputOptionsFlipLayers(uint8_t mode, uint32_t board, uint8_t layer,
                                                 uint8_t* flip) {
  return Call<Slot("PcbApi_QueryBoardOutputOptionsFlipLayers")>(int32_t{0}, mode, board, layer,
                                                                flip);
}

int32_t PcbApi_QueryBoardGerberOptions(uint8_t mode, uint32_t board, uint8_t* gerber1,
                                       uint8_t* gerber2, uint8_t* gerber3, uint8_t* gerber4,
                                       uint8_t* gerber5, uint8_t* gerber6, uint8_t* gerber7,
                                       int32_t* gerber8, int32_t* gerber9, int32_t* gerber10,
                                       int32_t* gerber11, int32_t* gerber12,
                                       ShortString<255>* gerber13, int32_t* gerber14,
                                       uint8_t* gerber15, uint8_t* gerber16, int32_t* gerber17,
                                       int32_t* gerber18) {
  return Call<Slot("PcbApi_QueryBoardGerberOptions")>(
      int32_t{0}, mode, board, gerber1, gerber2, gerber3, gerber4, gerber5, gerber6, gerber7,
      gerber8, gerber9, gerber10, gerber11, gerber12, Bytes(gerber13), gerber14, gerber15, gerber16,
      gerber17, gerber18);
}

int32_t PcbApi_QueryBoardPrinterOptions(uint8_t mode, uint32_t board, ShortString<255>* printer1,
                                        ShortString<255>* printer2, ShortString<255>* printer3,
                                        uint8_t* printer4, uint8_t* printer5, uint8_t* printer6,
                                        uint8_t* printer7, uint8_t* printer8, uint8_t* printer9,
                                        int32_t* printer10, double* printer11, double* printer12,
                                        double* printer13, uint8_t* printer14, uint8_t* printer15,
                                        uint8_t* printer16, double* printer17, double* printer18,
                                        double* printer19, int32_t* printer20, int32_t* printer21,
                                        uint8_t* printer22, uint8_t* printer23, uint8_t* printer24,
                                        uint8_t* printer25, uint8_t* printer26) {
  return Call<Slot("PcbApi_QueryBoardPrinterOptions")>(
      int32_t{0}, mode, board, Bytes(printer1), Bytes(printer2), Bytes(printer3), printer4,
      printer5, printer6, printer7, printer8, printer9, printer10, printer11, printer12, printer13,
      printer14, printer15, printer16, printer17, printer18, printer19, printer20, printer21,
      printer22, printer23, printer24, printer25, printer26);
}

int32_t PcbApi_QueryBoardPrinterOptionsPlotterPen(uint8_t mode, uint32_t board, int32_t pen,
                                                  int32_t* penValue1, int32_t* penValue2) {
  return Call<Slot("PcbApi_QueryBoardPrinterOptionsPlotterPen")>(int32_t{0}, mode, board, pen,
                                                                 penValue1, penValue2);
}

int32_t PcbApi_QueryBoardPrinterOptionsCompositeLayer(uint8_t mode, uint32_t board, uint8_t layer,
                                                      int32_t* composite1, int32_t* composite2,
                                                      uint8_t* composite3, int32_t* composite4) {
  return Call<Slot("PcbApi_QueryBoardPrinterOptionsCompositeLayer")>(
      int32_t{0}, mode, board, layer, composite1, composite2, composite3, composite4);
}

int32_t PcbApi_QueryBoardAdvancedPlacerOptions(uint8_t mode, uint32_t board,
                                               ShortString<255>* placer1, ShortString<255>* placer2,
                                               uint8_t* placer3, uint8_t* placer4, uint8_t* placer5,
                                               uint8_t* placer6) {
  return Call<Slot("PcbApi_QueryBoardAdvancedPlacerOptions")>(
      int32_t{0}, mode, board, Bytes(placer1), Bytes(placer2), placer3, placer4, placer5, placer6);
}

int32_t PcbApi_QueryBoardEngineeringChangeOrderOptions(uint8_t mode, uint32_t board,
                                                       uint8_t* changeOrder1,
                                                       ShortString<255>* changeOrder2) {
  return Call<Slot("PcbApi_QueryBoardEngineeringChangeOrderOptions")>(
      int32_t{0}, mode, board, changeOrder1, Bytes(changeOrder2));
}

int32_t PcbApi_QueryBoardLayerPairsCount(uint32_t board, int32_t* count) {
  return Call<Slot("PcbApi_QueryBoardLayerPairsCount")>(int32_t{1}, board, count);
}

int32_t PcbApi_QueryBoardLayerPairAt(uint8_t mode, uint32_t board, int32_t index,
                                     uint8_t* pairByte1, uint8_t* pairByte2, uint8_t* highLayer,
                                     uint8_t* lowLayer) {
  return Call<Slot("PcbApi_QueryBoardLayerPairAt")>(int32_t{0}, mode, board, index, pairByte1,
                                                    pairByte2, highLayer, lowLayer);
}

int32_t PcbApi_QueryBoardExternalDielectrics(uint8_t mode, uint32_t board,
                                             ShortString<255>* topMaterial, uint8_t* topType,
                                             double* topConstant, int32_t* topHeight,
                                             ShortString<255>* bottomMaterial, uint8_t* bottomType,
                                             double* bottomConstant, int32_t* bottomHeight) {
  return Call<Slot("PcbApi_QueryBoardExternalDielectrics")>(
      int32_t{0}, mode, board, Bytes(topMaterial), topType, topConstant, topHeight,
      Bytes(bottomMaterial), bottomType, bottomConstant, bottomHeight);
}

int32_t PcbApi_QueryLayer(uint8_t mode, uint8_t layer, uint32_t board, ShortString<255>* name,
                          int32_t* copperThickness, uint8_t* layerByte1, uint8_t* layerByte2,
                          uint8_t* prevLayer, uint8_t* nextLayer, uint8_t* layerByte3) {
  return Call<Slot("PcbApi_QueryLayer")>(int32_t{0}, mode, layer, board, Bytes(name),
                                         copperThickness, layerByte1, layerByte2, prevLayer,
                                         nextLayer, layerByte3);
}

int32_t PcbApi_QueryInternalPlane(uint8_t mode, uint8_t layer, uint32_t board,
                                  ShortString<255>* name, int32_t* copperThickness,
                                  uint8_t* layerByte1, uint8_t* layerByte2, uint8_t* prevLayer,
                                  uint8_t* nextLayer, ShortString<255>* netName) {
  return Call<Slot("PcbApi_QueryInternalPlane")>(int32_t{0}, mode, layer, board, Bytes(name),
                                                 copperThickness, layerByte1, layerByte2, prevLayer,
                                                 nextLayer, Bytes(netName));
}

int32_t PcbApi_QueryLayerDielectric(uint8_t mode, uint8_t layer, uint32_t board,
                                    ShortString<255>* material, uint8_t* dielectricType,
                                    double* dielectricConstant, int32_t* dielectricHeight) {
  return Call<Slot("PcbApi_QueryLayerDielectric")>(int32_t{0}, mode, layer, board, Bytes(material),
                                                   dielectricType, dielectricConstant,
                                                   dielectricHeight);
}
