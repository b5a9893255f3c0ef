// The PCB server binding in a process where "Ravelo.dll" was never loaded: the binding
// table itself, and every wrapper's default.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pcb/PcbApi.h"
#include "pcb/PcbUnit.h"
#include "tests/pcb/TestUnits.h"
#include "tests/support/TestSupport.h"

namespace {

// The binding order as the host's documentation lists it.
const char* const cExpectedNames =
    "PcbApi_QueryFocusedPrimitive, PcbApi_GetCurrentComponent, "
    "PcbApi_GetCurrentBoardHandle, PcbApi_SendCommand, PcbApi_GetCurrentEditorWindow, "
    "PcbApi_Percent_Init, PcbApi_Percent_Update, PcbApi_Percent_UpdateByNumber, "
    "PcbApi_Percent_Finish, PcbApi_ClearUndoRedo, PcbApi_SetCurrentBoardHandle, "
    "PcbApi_GetBoardHandleFromFileName, PcbApi_GetBoardHandleFromFullFileName, "
    "PcbApi_GetObjectAtCursor, PcbApi_GetObjectAtXYAskUserIfAmbiguous, "
    "PcbApi_ExecuteMacroExt, PcbApi_ExecuteMacro, PcbApi_RunNetAnalyser, "
    "PcbApi_LoadComponentFromLibrary, PcbApi_ChooseRectangleByCorners, "
    "PcbApi_ChooseLocation, PcbApi_QueryCursorLocation, PcbApi_CreateObject, "
    "PcbApi_CreateDimensionObject, PcbApi_DestroyObject, PcbApi_CreateRuleObject, "
    "PcbApi_CreateClassObject, PcbApi_CreateClassObjectEx, "
    "PcbApi_FindDominantRuleForObject, PcbApi_FindDominantRuleForObjectPair, "
    "PcbApi_AnalyzeNet, PcbApi_ShowObject, PcbApi_HideObject, PcbApi_InvertObject, "
    "PcbApi_ScreenDisplay, PcbApi_AddObjectToContainer, PcbApi_SetOwnerBoard, "
    "PcbApi_DeleteObjectFromContainer, PcbApi_QueryPad, PcbApi_QueryPadCache, "
    "PcbApi_QueryPadOrViaShapeOnLayer, PcbApi_SetPadShapeOnLayer, "
    "PcbApi_SetPadSizeOnLayer, PcbApi_QueryPadStackMode, PcbApi_QueryPadOrViaSizeOnLayer, "
    "PcbApi_QueryPadConnectToLayer, PcbApi_QueryPad_PwrGnd, PcbApi_QueryTrack, "
    "PcbApi_QueryVia, PcbApi_QueryNet, PcbApi_QueryClass, PcbApi_GetMemberFromClassAt, "
    "PcbApi_AddMemberToClass, PcbApi_RemoveAllMembersFromClass, PcbApi_QueryNetRules, "
    "PcbApi_QueryFromTo, PcbApi_QueryManualFromTo, PcbApi_QueryCoordinate, "
    "PcbApi_QueryDimension, PcbApi_QueryExtDimension, PcbApi_References_Count, "
    "PcbApi_References_At, PcbApi_References_Add, PcbApi_TextLocations_Count, "
    "PcbApi_TextLocations_At, PcbApi_TextLocations_Add, PcbApi_QueryLinearDimension, "
    "PcbApi_QueryAngularDimension, PcbApi_QueryRadialDimension, "
    "PcbApi_QueryLeaderDimension, PcbApi_QueryDatumDimension, "
    "PcbApi_QueryBaselineDimension, PcbApi_QueryCenterDimension, "
    "PcbApi_QueryOriginalDimension, PcbApi_QueryLinearDiameterDimension, "
    "PcbApi_QueryRadialDiameterDimension, PcbApi_QueryPrimitive, PcbApi_QueryFill, "
    "PcbApi_QueryArc, PcbApi_QueryText, PcbApi_QueryPolygon, PcbApi_QueryComponent, "
    "PcbApi_QueryLibComponent, PcbApi_QueryComponentEx, "
    "PcbApi_QueryComponent_ApplyAutopositionNameComment, PcbApi_QueryComponentUniqueId, "
    "PcbApi_QueryComponentSourceLinks, PcbApi_QueryComponentKind, "
    "PcbApi_QueryComponentChannelOffset, PcbApi_QueryComponent_GetObjectAt, "
    "PcbApi_QueryObjectBoundingRectangle, PcbApi_QueryObjectImport_FromUser, "
    "PcbApi_QueryObjectSetState_Default, PcbApi_QueryObjectGraphicallyInvalidate, "
    "PcbApi_QuerySheet, PcbApi_QueryBoard, PcbApi_QueryBoardGridsEx, "
    "PcbApi_QueryBoardGrids, PcbApi_QueryBoardLayerPairsCount, "
    "PcbApi_QueryBoardLayerPairAt, PcbApi_QueryBoardEngineeringChangeOrderOptions, "
    "PcbApi_QueryBoardOutputOptions, PcbApi_QueryBoardOutputOptionsPlotLayers, "
    "PcbApi_QueryBoardOutputOptionsFlipLayers, PcbApi_QueryBoardGerberOptions, "
    "PcbApi_QueryBoardPrinterOptions, PcbApi_QueryBoardPrinterOptionsPlotterPen, "
    "PcbApi_QueryBoardPrinterOptionsCompositeLayer, "
    "PcbApi_QueryBoardAdvancedPlacerOptions, PcbApi_QueryBoardAdvancedPlacerOptionsEx, "
    "PcbApi_QueryBoardDesignRuleCheckerOptions, PcbApi_QuerySystemOptions, "
    "PcbApi_QuerySystemOptionsPlaceArray, PcbApi_QuerySystemOptionsPorts, "
    "PcbApi_QuerySystemOptionsMiscellaneousEx, PcbApi_QuerySystemOptionsMiscellaneous, "
    "PcbApi_GetState_ComponentTypeMappingsCount, "
    "PcbApi_SetState_DeleteAllComponentTypeMappings, "
    "PcbApi_SetState_AddComponentTypeMapping, PcbApi_GetState_ComponentTypeMappingAt, "
    "PcbApi_QuerySystemGetGlobalPrimitive, PcbApi_QuerySystemGetGlobalDimension, "
    "PcbApi_QueryEmbedded, PcbApi_QueryRule, PcbApi_QueryRuleEx, "
    "PcbApi_QueryRuleScopeDescriptions, PcbApi_QueryObjectParameters, "
    "PcbApi_Scope2_Includes, PcbApi_Scope1_Includes, PcbApi_QueryRuleExt, "
    "PcbApi_QueryRuleExtEx, PcbApi_SetState_DeleteAllSubScopes, "
    "PcbApi_SetState_AddSubscope, PcbApi_GetState_SubScopesCount, "
    "PcbApi_GetState_SubscopeAt, PcbApi_QueryLayer, PcbApi_QueryInternalPlane, "
    "PcbApi_QueryLayerDielectric, PcbApi_QueryBoardExternalDielectrics, "
    "PcbApi_InsertLayerInStack, PcbApi_RemoveLayerFromStack, PcbApi_QueryViolation, "
    "PcbApi_QueryRuleParallelSegmentConstraint, PcbApi_QueryRuleClearanceConstraint, "
    "PcbApi_QueryRuleMaxMinLengthConstraint, PcbApi_QueryRuleMaxMinWidthConstraint, "
    "PcbApi_QueryRuleMaxMinWidthConstraintExt, PcbApi_QueryRuleRoutingCornerStyleRule, "
    "PcbApi_QueryRuleRoutingViaStyleRule, PcbApi_QueryRuleRoutingViaStyleRuleExt, "
    "PcbApi_QueryRuleRoutingLayersRule, PcbApi_QueryRuleRoutingTopologyRule, "
    "PcbApi_QueryRuleRoutingPriorityRule, PcbApi_QueryRulePowerPlaneConnectStyleRule, "
    "PcbApi_QueryRulePasteMaskExpansionRule, PcbApi_QueryRuleSolderMaskExpansionRule, "
    "PcbApi_QueryRulePowerPlaneExpansionRule, "
    "PcbApi_QueryRuleDaisyChainStubLengthConstraint, "
    "PcbApi_QueryRuleMatchedNetLengthsConstraint, PcbApi_QueryRuleShortCircuitConstraint, "
    "PcbApi_QueryRuleBrokenNetRule, PcbApi_QueryRuleViasUnderSMDConstraint, "
    "PcbApi_QueryRuleMaximumViaCountRule, PcbApi_QueryRuleMinimumAnnularRingRule, "
    "PcbApi_QueryRuleAcuteAngleRule, PcbApi_QueryRuleConfinementConstraint, "
    "PcbApi_QueryRuleSMDToCorner, PcbApi_QueryRuleComponentClearanceConstraint, "
    "PcbApi_QueryRuleComponentRotationsRule, PcbApi_QueryRulePermittedLayersRule, "
    "PcbApi_QueryRuleSignalStimulus, PcbApi_QueryRuleMaxOvershootRise, "
    "PcbApi_QueryRuleMaxOvershootFall, PcbApi_QueryRuleMaxUndershootRise, "
    "PcbApi_QueryRuleMaxUndershootFall, PcbApi_QueryRuleMaxMinImpedance, "
    "PcbApi_QueryRuleMinSignalTopValue, PcbApi_QueryRuleMaxSignalBaseValue, "
    "PcbApi_QueryRuleFlightTime_RisingEdge, PcbApi_QueryRuleFlightTime_FallingEdge, "
    "PcbApi_QueryRuleMaxSlope_RisingEdge, PcbApi_QueryRuleMaxSlope_FallingEdge, "
    "PcbApi_QueryRuleSupplyNets, PcbApi_QueryRuleTestpointUsage, "
    "PcbApi_QueryRuleTestpointStyle, PcbApi_QueryBoardLayerInfo, "
    "PcbApi_QueryBoardWindowRectangle, PcbApi_QueryBoardInternalPlaneNets, "
    "PcbApi_QuerySystemOptionsLayerDrawingOrder, PcbApi_QuerySystemOptionsPolygon, "
    "PcbApi_QuerySystemOptionsProtection, PcbApi_CreateIterator, PcbApi_DestroyIterator, "
    "PcbApi_GetNextObject, PcbApi_GetFirstObject, PcbApi_CreateSpatialIterator, "
    "PcbApi_DestroySpatialIterator, PcbApi_GetNextSpatialObject, "
    "PcbApi_GetFirstSpatialObject, PcbApi_TestTrack, PCBAPI_GetUnaryRuleForPrimitive, "
    "PCBAPI_GetBinaryRuleForPrimitive, PCBAPI_CheckPrimitivesOverlapWithClearance, "
    "PcbApi_TestFill, PcbApi_TestPad, PcbApi_TestArc, PcbApi_TestText, PcbApi_TestVia, "
    "PcbApi_ConvertTextToStrokeArray, PcbApi_EventRouter_SendMessage, "
    "PcbApi_GetState_ProcessDepth, PcbApi_SetState_ProcessDepth, PcbApi_RunEventHandler, "
    "PcbApi_CreateEventHandler, PcbApi_DestroyEventHandler, "
    "PcbApi_EventHandlerPerformanceIsPoor, PcbApi_AddRobotToRobotsList, "
    "PcbApi_RemoveRobotFromRobotsList, PcbApi_GetRobotAt, PcbApi_GetRobotsCount, "
    "PcbApi_CreateRobot, PcbApi_DeleteRobot, PcbApi_GetRobotObjectHandleByName, "
    "PcbApi_GetRobotNameAndCallback, PcbApi_GetObjectIdFromObjectHandle, "
    "PcbApi_GetPalette, PcbApi_GetObjectBitField2, PcbApi_GetObjectBitField3, "
    "PcbApi_ChangePanelHandle, PcbApi_ResetPanel, PcbApi_CreateBoardOutline, "
    "PcbApi_UpdateBoardOutline, PcbApi_CreatePainter, PcbApi_Export_ToPainter, "
    "PcbApi_CreateLibReader, PcbApi_GetLibReaderCount, PcbApi_GetLibReaderPattern, "
    "PcbApi_DestroyLibReader";

std::vector<std::string> ExpectedNames() {
  std::vector<std::string> names;
  std::string text = cExpectedNames;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(", ", start);
    if (end == std::string::npos)
      end = text.size();
    names.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return names;
}

TEST(PcbApiBinding, BindsTheNamesInTheHostsOrder) {
  const std::vector<std::string> expected = ExpectedNames();
  ASSERT_EQ(expected.size(), 238u);
  ASSERT_EQ(PcbApiEntryCount, 238);
  for (int i = 0; i < PcbApiEntryCount; ++i)
    EXPECT_EQ(PcbApiEntryName(i), expected[i]) << "slot " << i;
  EXPECT_EQ(PcbApiEntryName(-1), nullptr);
  EXPECT_EQ(PcbApiEntryName(238), nullptr);
  int upperCase = 0;
  for (int i = 0; i < PcbApiEntryCount; ++i)
    upperCase += std::strncmp(PcbApiEntryName(i), "PCBAPI_", 7) == 0;
  EXPECT_EQ(upperCase, 3);
}

TEST(PcbApiBinding, LeavesEverySlotEmptyWithoutTheServer) {
  ASSERT_EQ(GetModuleHandleA("Ravelo.dll"), nullptr) << "this process never loads the server";
  LoadPcbApi();
  EXPECT_EQ(PcbApiModule(), nullptr);
  for (int i = 0; i < PcbApiEntryCount; ++i)
    EXPECT_EQ(PcbApiEntryAddress(i), nullptr) << PcbApiEntryName(i);
  EXPECT_EQ(PcbApiEntryAddress(238), nullptr);
}

TEST(PcbApiBinding, MinAndMaxInteger) {
  EXPECT_EQ(MinInteger(-3, 7), -3);
  EXPECT_EQ(MaxInteger(-3, 7), 7);
  EXPECT_EQ(MinInteger(INT32_MIN, INT32_MAX), INT32_MIN);
  EXPECT_EQ(MaxInteger(5, 5), 5);
}

// Every out-field a wrapper could write, filled with a pattern that must survive.
struct TPoisoned {
  TPoisoned() {
    std::memset(static_cast<void*>(this), 0xA5, sizeof *this);
    Name255 = "keep";
    Name254 = "keep";
    Name250 = "keep";
    Name20 = "keep";
  }
  bool Untouched() const {
    TPoisoned fresh;
    return std::memcmp(this, &fresh, sizeof *this) == 0;
  }
  uint16_t U16;
  int16_t I16;
  uint8_t U8;
  int32_t I32;
  double Real;
  ShortString<255> Name255;
  ShortString<254> Name254;
  ShortString<250> Name250;
  ShortString<20> Name20;
  uint8_t Blob[24];
  TPolygonSegment Segments[501];
};

class PcbApiUnbound : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(PcbApiModule(), nullptr); }
  TPoisoned* F() { return &FFields; }
  TPoisoned FFields;
};

TEST_F(PcbApiUnbound, ServerAndObjectCallsDoNothing) {
  char parameters[16] = "Dialog=x";
  EXPECT_EQ(PcbApiGetCurrentBoardHandle(), 0u);
  EXPECT_EQ(PcbApiGetBoardHandleFromFullFileName(ShortString<255>(std::string(255, 'f'))), 0u);
  EXPECT_EQ(PcbApiSendCommand("Client:RunCommonDialog", parameters, sizeof parameters, 0), 0);
  EXPECT_STREQ(parameters, "Dialog=x");
  PcbApiPercentInit("Loading KIVO file", 10);
  PcbApiPercentUpdate();
  PcbApiPercentFinish();
  PcbApiEventRouterSendMessage(0, 0, 14, 0);
  EXPECT_EQ(PcbApiCreateObject(4), 0u);
  EXPECT_EQ(PcbApiDestroyObject(5), 0);
  EXPECT_EQ(PcbApiAddObjectToContainer(1, 5), 0);
  EXPECT_EQ(PcbApiDeleteObjectFromContainer(1, 5), 0);
  EXPECT_EQ(PcbApiCreateIterator(1, 0, 0, 0), 0u);
  EXPECT_EQ(PcbApiGetFirstObject(7), 0u);
  EXPECT_EQ(PcbApiGetNextObject(7), 0u);
  EXPECT_EQ(PcbApiDestroyIterator(7), 0);
  EXPECT_EQ(PcbApiGetObjectIdFromObjectHandle(5), 0);
  auto* f = F();
  PcbApi_GetObjectBitField2(1, 5, &f->U8);
  PcbApi_GetObjectBitField3(1, 5, &f->U8);
  EXPECT_EQ(PcbApi_QueryObjectBoundingRectangle(5, &f->I32, &f->I32, &f->I32, &f->I32), 0);
  EXPECT_EQ(PcbApi_QueryObjectImport_FromUser(5), 0);
  EXPECT_EQ(PcbApi_QueryObjectGraphicallyInvalidate(5), 0);
  EXPECT_TRUE(FFields.Untouched());
}

TEST_F(PcbApiUnbound, PrimitiveQueriesReportZeroAndWriteNothing) {
  auto* f = F();
  EXPECT_EQ(PcbApi_QueryPrimitive(1, 5, &f->U16, &f->I16, &f->U8, &f->I32, &f->I32, &f->U8), 0);
  EXPECT_EQ(PcbApi_QueryTrack(1, 5, &f->U16, &f->I16, &f->U8, &f->I32, &f->U8, &f->I32, &f->I32,
                              &f->I32, &f->I32, &f->I32, &f->I32, &f->I32, &f->I32, &f->I32),
            0);
  EXPECT_EQ(PcbApi_QueryArc(1, 5, &f->U16, &f->I16, &f->U8, &f->I32, &f->U8, &f->I32, &f->I32,
                            &f->I32, &f->I32, &f->Real, &f->Real, &f->I32, &f->I32),
            0);
  EXPECT_EQ(PcbApi_QueryVia(1, 5, &f->U16, &f->I16, &f->U8, &f->I32, &f->U8, &f->I32, &f->I32,
                            &f->I32, &f->I32, &f->I32, &f->U8, &f->U8),
            0);
  EXPECT_EQ(PcbApi_QueryFill(1, 5, &f->U16, &f->I16, &f->U8, &f->I32, &f->U8, &f->I32, &f->I32,
                             &f->I32, &f->I32, &f->I32, &f->I32, &f->Real),
            0);
  EXPECT_EQ(
      PcbApi_QueryText(1, 5, &f->U16, &f->I16, &f->U8, &f->I32, &f->U8, &f->I32, &f->I32, &f->I32,
                       &f->I32, &f->I32, &f->Real, &f->U8, &f->Name254, &f->I32, &f->I32, &f->I32),
      0);
  EXPECT_EQ(PcbApi_QueryPad(1, 5, &f->U16, &f->I16, &f->U8, &f->I32, &f->U8, &f->I32, &f->I32,
                            &f->I32, &f->I32, &f->I32, &f->I32, &f->I32, &f->I32, &f->I32, &f->I32,
                            &f->U8, &f->U8, &f->U8, &f->Name20, &f->U8, &f->U8, &f->Real),
            0);
  EXPECT_EQ(PcbApi_QueryPadStackMode(1, 5, &f->U8), 0);
  EXPECT_EQ(PcbApi_QueryPadOrViaShapeOnLayer(5, 1, &f->U8), 0);
  EXPECT_EQ(PcbApi_QueryPadOrViaSizeOnLayer(5, 1, &f->I32, &f->I32), 0);
  EXPECT_EQ(PcbApi_SetPadShapeOnLayer(5, 1, 2), 0);
  EXPECT_EQ(PcbApi_SetPadSizeOnLayer(5, 1, 10, 20), 0);
  EXPECT_TRUE(FFields.Untouched());
}

TEST_F(PcbApiUnbound, GroupQueriesReportZeroAndWriteNothing) {
  auto* f = F();
  ShortString<255>* s = &f->Name255;
  EXPECT_EQ(PcbApi_QueryNet(1, 5, &f->I16, s, &f->U8, &f->U8), 0);
  EXPECT_EQ(PcbApi_QueryClass(1, 5, &f->I16, &f->U8, &f->U8, s), 0);
  EXPECT_EQ(PcbApi_QueryComponentChannelOffset(1, 5, &f->I32), 0);
  EXPECT_EQ(PcbApi_QueryComponentKind(1, 5, &f->U8), 0);
  EXPECT_EQ(
      PcbApi_QueryComponent(1, 5, &f->U16, &f->I16, &f->U8, &f->U8, &f->I32, &f->I32, &f->Name250,
                            &f->U8, &f->U8, &f->I32, &f->I32, &f->I32, &f->Real, &f->U8),
      0);
  EXPECT_EQ(PcbApi_QueryComponentEx(1, 5, &f->I32, &f->U8, &f->U8, &f->I32), 0);
  EXPECT_EQ(PcbApi_QueryComponentSourceLinks(1, 5, s, s, s, s, s, s, s), 0);
  EXPECT_EQ(
      PcbApi_QueryPolygon(1, 5, &f->U16, &f->I16, &f->U8, &f->I32, &f->U8, &f->U8, &f->U8, &f->U8,
                          &f->I32, &f->I32, &f->U8, &f->U8, &f->I32, &f->U8, &f->I32, f->Segments),
      0);
  EXPECT_EQ(PcbApi_QueryFromTo(1, 5, &f->I16, &f->I32, &f->I32, &f->U8, &f->I32, &f->I32, &f->U8,
                               &f->I32),
            0);
  EXPECT_EQ(PcbApi_QueryCoordinate(1, 5, &f->U16, &f->I16, &f->U8, &f->I32, &f->I32, &f->U8,
                                   &f->I32, &f->I32, &f->I32, &f->I32, &f->I32, &f->I32),
            0);
  EXPECT_EQ(
      PcbApi_QueryDimension(1, 5, &f->U16, &f->I16, &f->U8, &f->I32, &f->I32, &f->I32, &f->I32,
                            &f->U8, &f->I32, &f->I32, &f->I32, &f->I32, &f->I32, &f->U8),
      0);
  EXPECT_EQ(PcbApi_QueryExtDimension(1, 5, &f->U8, &f->I32, &f->I32, &f->I32, &f->U8, &f->I32, s,
                                     &f->U8, &f->I32, s, s, &f->Real, &f->I32, &f->I32, &f->I32,
                                     &f->U8, &f->I32, &f->I32, &f->I32),
            0);
  EXPECT_EQ(PcbApi_References_Count(5, &f->I32), 0);
  EXPECT_EQ(PcbApi_References_At(1, 5, 0, &f->I32, &f->I32, &f->I32, &f->I32), 0);
  EXPECT_EQ(
      PcbApi_QueryRule(1, 5, &f->U8, &f->U8, &f->U8, &f->U8, &f->U8, &f->U8, &f->U8, s, s, s, s,
                       &f->U8, &f->U8, &f->I32, &f->I32, &f->I32, &f->I32, s, s, s, s, s, s),
      0);
  EXPECT_TRUE(FFields.Untouched());
}

TEST_F(PcbApiUnbound, BoardQueriesReportZeroAndWriteNothing) {
  auto* f = F();
  ShortString<255>* s = &f->Name255;
  uint8_t* b = &f->U8;
  int32_t* l = &f->I32;
  double* d = &f->Real;
  EXPECT_EQ(PcbApi_QueryBoard(1, 1, l, s, b, l, l, l, l, b, b, l), 0);
  EXPECT_EQ(PcbApi_QueryBoardLayerInfo(1, 1, 1, b, b, l), 0);
  EXPECT_EQ(PcbApi_QueryBoardGridsEx(1, 1, b, b, b, b, d, f->Blob, d, d, l, b, d, f->Blob, d, d),
            0);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptions(1, 1, l, l, b, b, b, b, b, b, b, b, b, b, b, b, b, b, b,
                                           b, b, b, b, b, b, f->Blob),
            0);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsPlotLayers(1, 1, 1, b), 0);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsFlipLayers(1, 1, 1, b), 0);
  EXPECT_EQ(
      PcbApi_QueryBoardGerberOptions(1, 1, b, b, b, b, b, b, b, l, l, l, l, l, s, l, b, b, l, l),
      0);
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptions(1, 1, s, s, s, b, b, b, b, b, b, l, d, d, d, f->Blob, b,
                                            b, d, d, d, l, l, b, b, b, b, b),
            0);
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptionsPlotterPen(1, 1, 1, l, l), 0);
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptionsCompositeLayer(1, 1, 1, l, l, b, l), 0);
  EXPECT_EQ(PcbApi_QueryBoardAdvancedPlacerOptions(1, 1, s, s, b, b, b, b), 0);
  EXPECT_EQ(PcbApi_QueryBoardEngineeringChangeOrderOptions(1, 1, b, s), 0);
  EXPECT_EQ(PcbApi_QueryBoardLayerPairAt(1, 1, 0, b, b, b, b), 0);
  EXPECT_EQ(PcbApi_QueryBoardExternalDielectrics(1, 1, s, b, d, l, s, b, d, l), 0);
  EXPECT_EQ(PcbApi_QueryLayer(1, 1, 1, s, l, b, b, b, b, b), 0);
  EXPECT_EQ(PcbApi_QueryInternalPlane(1, 39, 1, s, l, b, b, b, b, s), 0);
  EXPECT_EQ(PcbApi_QueryLayerDielectric(1, 1, 1, s, b, d, l), 0);
  EXPECT_TRUE(FFields.Untouched());
}

// The five status calls whose unbound default is 1, not 0.
TEST_F(PcbApiUnbound, FiveStatusCallsReportOne) {
  auto* f = F();
  ShortString<255>* s = &f->Name255;
  EXPECT_EQ(PcbApi_QueryManualFromTo(1, 5, &f->I16, s, s, s, &f->I32), 1);
  EXPECT_EQ(PcbApi_QueryBoardLayerPairsCount(1, &f->I32), 1);
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(5, 0, s), 1);
  EXPECT_EQ(PcbApi_AddMemberToClass(5, "GND"), 1);
  EXPECT_EQ(PcbApi_RemoveAllMembersFromClass(5), 1);
  EXPECT_TRUE(FFields.Untouched());
}

TEST(PcbUnit, StartsAndStopsWithoutTheServer) {
  FinalizePcbUnit();
  EXPECT_EQ(PcbApiModule(), nullptr);
  InitializePcbUnit();
  EXPECT_EQ(PcbApiModule(), nullptr);
  EXPECT_EQ(PcbApiCreateObject(4), 0u);
}

}  // namespace

std::span<const TUnitEntry> TestUnits() { return PcbTestUnits(); }
