// TKivoImport: the rest of one import once the reader (TKivoFile) has read its file into
// the model. Inside the host's board-modify bracket it shows the options dialog (or asks
// the handler set for tests and tools), hands the layer and pad-stack maps to the model,
// has the detail translated into host objects, moves the whole board into positive board
// space and stores the board proxy. The bracket closes on every way out; exceptions pass
// on to the caller.
#pragma once

#include <cstdint>

#include "classlib/Object.h"
#include "classlib/ShortString.h"
#include "importer/KivoFile.h"

class TPcbBoard;

class TKivoImport : public TObject {
  KIVO_CLASS(TKivoImport, TObject)
 public:
  // What the translation finds given twice or not given goes to `notes`, the reader's
  // (none: nothing is noted).
  TKivoImport(TKivoFile& reader, TKivoTranslationNotes* notes);

  // The import of what the reader has read.
  void Run();
  // The options of this import; true for OK. A set handler answers them instead of the
  // dialog.
  bool ShowImportOptions();
  static void SetOptionsHandler(TKivoFile::TImportOptionsHandler handler);

  // Moves every board object but nets by (dx, dy) and tells the host about the moved
  // primitives and polygons.
  void MoveBoardObjects(int32_t dx, int32_t dy);

 private:
  // Moves the board into positive board space when objects lie at negative coordinates.
  void Placement();

  TKivoFile& FReader;
  TPcbBoard& FBoard;
  TKivoTranslationNotes* FNotes;
};

// The host's progress indicator for the length of a scope: started with a caption and a
// total, finished on every way out.
class TPcbProgressScope {
 public:
  TPcbProgressScope(const ShortString<255>& caption, int32_t total);
  ~TPcbProgressScope();
  TPcbProgressScope(const TPcbProgressScope&) = delete;
  TPcbProgressScope& operator=(const TPcbProgressScope&) = delete;
};

// The host's board-modify bracket around the changes to a board: opened by events
// 14, 12 (the board) and 7, closed on every way out by 8, 10 and 11 (the board).
class TBoardModifyScope {
 public:
  explicit TBoardModifyScope(uint32_t board);
  ~TBoardModifyScope();
  TBoardModifyScope(const TBoardModifyScope&) = delete;
  TBoardModifyScope& operator=(const TBoardModifyScope&) = delete;

 private:
  uint32_t FBoard;
};
