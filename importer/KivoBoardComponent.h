// The root of the import model: one object per section of the KIVO file, created and
// freed with it, and the driver that translates the detail into the host board.
#pragma once

#include <memory>

#include "importer/KivoSections.h"

class TKivoBoardComponent : public TObject {
  KIVO_CLASS(TKivoBoardComponent, TObject)

 public:
  TKivoBoardComponent();

  // The layer map (the environment's layer strings once the user has mapped them) and
  // the pad-stack map go to the symbol, then to the detail.
  void SetLayerMap(TStringList* map);
  void SetPadStackMap(PadStackMapRecord* record);

  TKivoEnvironment& GetEnvironment() { return *FEnvironment; }
  TKivoUser& GetUser() { return *FUser; }
  TKivoApertureTable& GetApertureTable() { return *FApertureTable; }
  TKivoSymbol& GetSymbol() { return *FSymbol; }
  TKivoDetail& GetDetail() { return *FDetail; }

 private:
  std::unique_ptr<TKivoEnvironment> FEnvironment;
  std::unique_ptr<TKivoUser> FUser;
  std::unique_ptr<TKivoApertureTable> FApertureTable;
  std::unique_ptr<TKivoSymbol> FSymbol;
  std::unique_ptr<TKivoDetail> FDetail;
};

// The maps that TranslateDetail gives each annotation, net and component just before it
// translates it: the end is the same as giving them to the whole detail first, without a
// walk of its own over every object of a large model.
struct TTranslationMaps {
  TStringList* LayerMap = nullptr;
  PadStackMapRecord* PadStackMap = nullptr;
};

class TKivoTranslationNotes;

// Translates every annotation, then every net, then every component of `detail` into
// the detail's board, one host progress step each. Nets and components get the first
// pad stack of the detail, or none when the file has no PAD_STACK section. With `maps`,
// each of them first gets the pad-stack map and then the layer map. The host's nets are
// read once, when the first component comes, for every component's pins. What the
// translation finds given twice or not given goes to `notes` when given (a net given
// twice then joins the first's host net); without them nothing is noted.
void TranslateDetail(TKivoDetail& detail, const TTranslationMaps* maps = nullptr,
                     TKivoTranslationNotes* notes = nullptr);
