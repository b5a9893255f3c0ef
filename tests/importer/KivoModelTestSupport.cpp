#include "tests/importer/KivoModelTestSupport.h"

#include "classlib/FileUtils.h"
#include "pcb/PcbApi.h"
#include "pcb/PcbObject.h"
#include "tests/importer/ImporterTestSupport.h"

void KivoModelTest::SetUp() {
  RaveloTest::SetUp();
  FLayerMap.AddObject("TOP", new KivoLayerEntry(1, eTopLayer));
  FLayerMap.AddObject("BOTTOM", new KivoLayerEntry(2, eBottomLayer));
  FLayerMap.AddObject("SILK", new KivoLayerEntry(3, eTopOverlay));
  FLayerMap.AddObject("UNUSED", new KivoLayerEntry(4, eIgnoreLayer));
  FReport = std::make_unique<TReportManager>(WriteScratchFile("model.pdf", "{COMPONENT}"));
  FReport->SetImportEventLevel(4);
  FReport->SetImportWarningLevel(4);
  FState.SetLayerMap(&FLayerMap);
  FState.SetLayerName("TOP");
  FState.SetWidth(200000);
  FState.SetTextSize(25000);
  FState.SetReport(FReport.get());
}

void KivoModelTest::TearDown() {
  for (int i = 0; i < FLayerMap.GetCount(); ++i)
    delete FLayerMap.GetObject(i);
  RaveloTest::TearDown();
}

void KivoModelTest::Translate(TKivoObject& object, uint32_t owner, uint32_t net) {
  object.SetOwnerContainer(owner);
  object.SetNetContainer(net);
  Control().ClearCallLog();
  object.Translate();
}

uint32_t KivoModelTest::NewNet() {
  const uint32_t net = PcbApiCreateObject(okNet);
  PcbApiAddObjectToContainer(FBoard, net);
  return net;
}

std::string KivoModelTest::ReportText() {
  DeleteFile(ScratchFolder() + "model.rpt");
  FReport->WriteReport();
  return ReadWholeFile(ScratchFolder() + "model.rpt");
}

std::string KivoModelTest::ImportEvents() {
  const std::string text = ReportText();
  const std::string heading = "Import Event List :\r\n";
  const size_t at = text.find(heading);
  return at == std::string::npos ? "<none>" : text.substr(at + heading.size());
}

std::string KivoModelTest::ImportWarnings() {
  const std::string text = ReportText();
  const size_t at = text.find("Import Warnings : ");
  const size_t end = text.find("\r\n\r\n", at);
  return at == std::string::npos ? "<none>" : text.substr(at, end - at);
}

int KivoModelTest::CallIndex(const std::string& log, const std::string& prefix) {
  size_t start = 0;
  for (int i = 0;; ++i) {
    const size_t end = log.find('\n', start);
    if (log.compare(start, prefix.size(), prefix) == 0)
      return i;
    if (end == std::string::npos)
      return -1;
    start = end + 1;
  }
}
