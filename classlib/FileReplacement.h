// Writing a file whole or not at all. The new content goes into a new file beside the
// file it replaces (beside the file a symbolic link names, so the link stays a link),
// which takes the old file's place only once it is written whole and closed: a write
// that fails part way (a full disk) leaves the earlier file as it was, and the new file
// goes again.
//
// Whether the old file may be written is asked of it first, without changing it, with
// the sharing the caller's own writer would ask for: a file another program holds open,
// a read-only file or a folder in its place fail as an in-place write would, with the
// same Windows error. Where that write would have gone through but a replacement cannot,
// the file is written in place as before: in a folder that takes no new file, and for a
// file another program holds open while letting others write it (the new content is
// then copied into it).
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Win.h"

class TFileReplacement {
 public:
  // Prepares the replacement of `fileName` (which need not exist), asking it with
  // `shareMode` whether it may be written.
  explicit TFileReplacement(const std::string& fileName, DWORD shareMode = 0);
  // Removes the new file unless it took the old one's place.
  ~TFileReplacement();
  TFileReplacement(const TFileReplacement&) = delete;
  TFileReplacement& operator=(const TFileReplacement&) = delete;

  // The Windows error that stops the writing before it starts; 0 when it can start.
  uint32_t GetError() const { return FError; }
  // The file to write (created, empty): the new file, or the file itself when it is
  // written in place.
  const std::string& GetWriteName() const { return FWriteName; }
  // Puts the written and closed new file in the old one's place; answers the Windows
  // error, 0 on success.
  uint32_t Commit();

 private:
  // Copies the new file's bytes over the old file's; the Windows error, 0 on success.
  uint32_t CopyInPlace();

  std::string FTarget;  // the file replaced, links followed
  std::string FWriteName;
  DWORD FShareMode;
  uint32_t FError = 0;
  bool FTargetExists = false;
  bool FInPlace = false;
  bool FDone = false;
};
