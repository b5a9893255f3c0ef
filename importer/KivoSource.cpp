#include "importer/KivoSource.h"

TKivoSource::TKivoSource(const TKivoReadingControls& controls)
    : FHooks(controls.Hooks), FScanBudget(controls.ScanBudget) {
  ResetState();
}

void TKivoSource::Reset() {
  TTextFile::Reset();
  ResetState();
}

void TKivoSource::ResetState() {
  FTokenizer = {};
  FScanner = {};
  FScanner.ScanBudget = FScanBudget;
}
