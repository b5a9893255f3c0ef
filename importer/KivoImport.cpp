#include "importer/KivoImport.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <vector>

#include "classlib/Forms.h"
#include "importer/ImportMemory.h"
#include "importer/ImportSettings.h"
#include "importer/ReportManager.h"
#include "importer/UserOptions.h"
#include "pcb/PcbApi.h"
#include "pcb/PcbBoard.h"
#include "pcb/PcbGroups.h"
#include "pcb/PcbObject.h"
#include "pcb/PcbObjectFactory.h"

namespace {

constexpr int32_t kMaxBoardExtent = 999990000;
constexpr int32_t kPlacementMargin = 1000000;  // 100 mil

TKivoFile::TImportOptionsHandler& OptionsHandler() {
  static TKivoFile::TImportOptionsHandler handler;
  return handler;
}

}  // namespace

TPcbProgressScope::TPcbProgressScope(const ShortString<255>& caption, int32_t total) {
  PcbApiPercentInit(caption, total);
}

TPcbProgressScope::~TPcbProgressScope() { PcbApiPercentFinish(); }

TBoardModifyScope::TBoardModifyScope(uint32_t board) : FBoard(board) {
  PcbApiEventRouterSendMessage(0, 0, pecModifyOpen, 0);
  PcbApiEventRouterSendMessage(0, 0, pecModifyBoard, FBoard);
  PcbApiEventRouterSendMessage(0, 0, pecModifyBegin, 0);
}

TBoardModifyScope::~TBoardModifyScope() {
  PcbApiEventRouterSendMessage(0, 0, pecModifyEnd, 0);
  PcbApiEventRouterSendMessage(0, 0, pecModifyClose, 0);
  PcbApiEventRouterSendMessage(0, 0, pecModifyBoardDone, FBoard);
}

TKivoImport::TKivoImport(TKivoFile& reader, TKivoTranslationNotes* notes)
    : FReader(reader), FBoard(reader.GetBoard()), FNotes(notes) {}

void TKivoImport::SetOptionsHandler(TKivoFile::TImportOptionsHandler handler) {
  OptionsHandler() = std::move(handler);
}

void TKivoImport::Run() {
  const TBoardModifyScope bracket(FBoard.GetHandle());
  // A board whose reading left too little room ends before the dialog and before any
  // host object is made.
  CheckImportMemory();
  if (ShowImportOptions()) {
    if (Application)
      Application->ProcessMessages();
    TKivoBoardComponent& model = FReader.GetBoardComponent();
    // The maps go to the symbol and the detail itself now and to every object of the
    // detail as it is translated: a walk of their own over a large model first cost as
    // much as reading it again from memory.
    const TTranslationMaps maps{FReader.GetDisplay().GetLayerMap(), &FReader.GetPadStackMap()};
    TKivoDetail& detail = model.GetDetail();
    model.GetSymbol().SetPadStackMap(maps.PadStackMap);
    detail.TKivoObject::SetPadStackMap(maps.PadStackMap);
    model.GetSymbol().SetLayerMap(maps.LayerMap);
    detail.TKivoObject::SetLayerMap(maps.LayerMap);
    detail.SetOwnerContainer(FBoard.GetHandle());
    TranslateDetail(detail, &maps, FNotes);
    Placement();
  } else if (TReportManager* report = FReader.GetReport()) {
    report->AddImportError(ieUserCancelled);
  }
  FBoard.Synchronize(0);
}

bool TKivoImport::ShowImportOptions() {
  PadStackMapRecord& padStackMap = FReader.GetPadStackMap();
  TKivoBoardComponent& model = FReader.GetBoardComponent();
  TStringList& layers = model.GetEnvironment().GetLayerStrings();
  bool ok = false;
  if (OptionsHandler()) {
    ok = OptionsHandler()(FReader, padStackMap);
  } else {
    std::unique_ptr<TTranslateDialog> dialog(new TTranslateDialog(nullptr));
    dialog->SetFileName(ShortString<255>(FReader.GetFileName()));
    dialog->LoadLayers(&layers);
    ok = dialog->ShowModal() == mrOk;
    if (ok)
      dialog->ApplyLayerMap(&layers);
    if (TReportManager* report = FReader.GetReport()) {
      dialog->ApplyReportSettings(report);
      if (!dialog->GetDefaultMapProblem().empty())
        report->AddSettingsWarning(ImportSettingsFileName().Str(), dialog->GetDefaultMapProblem());
    }
    dialog->GetPadStackMap(&padStackMap);
  }
  if (ok)
    FReader.GetDisplay().SetLayerMap(&layers);
  else
    model.SetPadStackMap(&padStackMap);  // with the options taken, Run gives it out
  return ok;
}

void TKivoImport::Placement() {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  FBoard.GetBoundingRectangle(x1, y1, x2, y2);
  const int64_t width = int64_t{x2} - x1, height = int64_t{y2} - y1;
  if (!(x1 < 0 || y1 < 0) || width >= kMaxBoardExtent || height >= kMaxBoardExtent)
    return;
  const int64_t dx = std::min<int64_t>(std::max<int64_t>(0, int64_t{kPlacementMargin} - x1),
                                       int64_t{kMaxBoardExtent} - x2);
  const int64_t dy = std::min<int64_t>(std::max<int64_t>(0, int64_t{kPlacementMargin} - y1),
                                       int64_t{kMaxBoardExtent} - y2);
  MoveBoardObjects(static_cast<int32_t>(dx), static_cast<int32_t>(dy));
  FBoard.SetOriginX(static_cast<int32_t>(dx));
  FBoard.SetOriginY(static_cast<int32_t>(dy));
}

namespace {

// Handles in the order added, each as the change from the one before in a few bytes
// (base-128 numbers of the zigzag change): a large board moves millions of objects,
// mostly a few handles apart.
class THandleTrail {
 public:
  void Add(uint32_t handle) {
    const uint32_t change = handle - FLast;
    uint32_t coded = (change << 1) ^ (0u - (change >> 31));
    for (; coded >= 0x80; coded >>= 7)
      FBytes.push_back(static_cast<uint8_t>(coded | 0x80));
    FBytes.push_back(static_cast<uint8_t>(coded));
    FLast = handle;
  }
  template <class F>
  void ForEach(F&& visit) const {
    uint32_t handle = 0;
    for (auto at = FBytes.begin(); at != FBytes.end();) {
      uint32_t coded = 0;
      for (int shift = 0;; shift += 7) {
        const uint8_t byte = *at++;
        coded |= static_cast<uint32_t>(byte & 0x7F) << shift;
        if (byte < 0x80)
          break;
      }
      handle += (coded >> 1) ^ (0u - (coded & 1));
      visit(handle);
    }
  }

 private:
  std::deque<uint8_t> FBytes;
  uint32_t FLast = 0;
};

// A host iterator, destroyed on every way out: a placement ended partway (the address
// space running out) would leave its snapshot of the board in the host.
class THostIterator {
 public:
  THostIterator(uint32_t container, uint8_t kind)
      : FHandle(PcbApiCreateIterator(container, kind, 0, 0)) {}
  ~THostIterator() { PcbApiDestroyIterator(FHandle); }
  THostIterator(const THostIterator&) = delete;
  THostIterator& operator=(const THostIterator&) = delete;
  uint32_t Get() const { return FHandle; }

 private:
  uint32_t FHandle;
};

}  // namespace

void TKivoImport::MoveBoardObjects(int32_t dx, int32_t dy) {
  THandleTrail moved;
  // Every kind from arcs to coordinates but nets; the host hears of the moved
  // primitives (arcs to fills) and polygons.
  for (uint8_t kind = okArc; kind <= okCoordinate; ++kind) {
    if (kind == okNet)
      continue;
    const THostIterator iterator(FBoard.GetHandle(), kind);
    for (uint32_t object = PcbApiGetFirstObject(iterator.Get()); object != 0;
         object = PcbApiGetNextObject(iterator.Get())) {
      ImportMemoryStep();
      MoveObjectBy(object, kind, dx, dy);
      if (kind <= okFill || kind == okPolygon)
        moved.Add(object);
    }
  }
  moved.ForEach([](uint32_t object) {
    ImportMemoryStep();
    PcbApiEventRouterSendMessage(object, 0, pecObjectChanged, 0);
  });
}
