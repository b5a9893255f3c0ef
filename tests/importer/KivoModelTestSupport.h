// A board of the stand-in PCB server with a layer map, a drawing state on it and a
// report, for translating model objects directly.
#pragma once

#include <memory>
#include <string>

#include "classlib/StringList.h"
#include "importer/KivoObject.h"
#include "importer/ReportManager.h"
#include "tests/ravelo/RaveloTestSupport.h"

class KivoModelTest : public RaveloTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Sets the containers and translates `object` on a cleared call log.
  void Translate(TKivoObject& object, uint32_t owner, uint32_t net = 0);
  // A new host net on the board.
  uint32_t NewNet();
  // The import events of the report written now, each line ended by CR LF.
  std::string ImportEvents();
  // The import warnings of the report written now.
  std::string ImportWarnings();
  // The index of the first call-log line that starts with `prefix`; -1 when none.
  static int CallIndex(const std::string& log, const std::string& prefix);

  // "TOP" -> top layer, "BOTTOM" -> bottom layer, "SILK" -> top overlay,
  // "UNUSED" -> not imported.
  TStringList FLayerMap;
  // On "TOP", width 20 mil, text size 25000, with the layer map and the report.
  TKivoDisplay FState;
  std::unique_ptr<TReportManager> FReport;

 private:
  std::string ReportText();
};
