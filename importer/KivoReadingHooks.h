// Points at which a test may change what the reader does, to show that the checks of the
// hostile-input campaign find a reader that misreads. The plug-in installs no hooks:
// while none are installed each point is passed by, and each default leaves the reading
// as it is.
#pragma once

#include <span>
#include <string>
#include <utility>

class TKivoText;
class TTextFile;

class TKivoReadingHooks {
 public:
  virtual ~TKivoReadingHooks() = default;

  // The hooks every reading and skip consults; null while none are installed.
  static TKivoReadingHooks* Installed() { return FInstalled; }
  // Installs `hooks` (null for none) and answers the hooks installed before.
  static TKivoReadingHooks* Install(TKivoReadingHooks* hooks) {
    return std::exchange(FInstalled, hooks);
  }

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
  virtual bool BlockInConnections(TTextFile& /*file*/) { return false; }
  // The names of a connection list just read, before its instance takes them.
  virtual void ConnectionsRead(std::span<std::string> /*names*/) {}

 private:
  static inline TKivoReadingHooks* FInstalled = nullptr;
};
