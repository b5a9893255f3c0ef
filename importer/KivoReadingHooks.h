// Points at which a test may change what the reader does, to show that the checks of the
// hostile-input campaign find a reader that misreads, and the bound a test may set on the
// value readers' work. A reading gets them with what it is made with (TKivoReadingControls):
// the plug-in makes its readings with none, so each point is passed by and each default
// leaves the reading as it is.
#pragma once

#include <cstdint>
#include <span>
#include <string>

class TKivoText;
class TKivoSource;

class TKivoReadingHooks {
 public:
  virtual ~TKivoReadingHooks() = default;

  // A reader begins reading its file.
  virtual void BeginReading() {}
  // Whether a skip takes a backslash, met in the same buffered bytes as the byte after
  // it, `next`, for that byte's escape; false leaves `next` to be read as it is.
  virtual bool SkipEscapes(char /*next*/) { return true; }
  // Whether a via read, placeable, is kept.
  virtual bool KeepVia() { return true; }
  // A text just read, before it is kept or left out.
  virtual void TextRead(TKivoText& /*text*/) {}
  // A "{" met among the names of a connection list, just read: true when the hook read
  // past the block (the list goes on after it), false to let the reader read it.
  virtual bool BlockInConnections(TKivoSource& /*file*/) { return false; }
  // The names of a connection list just read, before its instance takes them.
  virtual void ConnectionsRead(std::span<std::string> /*names*/) {}
};

// What a reading is made with besides its file: the hooks it consults (none for the
// plug-in's own), and the count of bytes the readers of quoted values may look at
// (KivoScanner.h): beyond it they raise std::runtime_error, so that a test of their time
// fails at once where a reading looks at bytes again and again. It is otherwise never
// reached.
struct TKivoReadingControls {
  TKivoReadingHooks* Hooks = nullptr;
  uint64_t ScanBudget = UINT64_MAX;
};
