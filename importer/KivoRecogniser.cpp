#include "importer/KivoRecogniser.h"

#include "classlib/TextFile.h"
#include "importer/ImporterHost.h"
#include "importer/KivoTokenizer.h"

namespace {

constexpr int kMaxTokens = 200;

// Leaves the tokenizer's state as a new file needs it, however the scan ends.
struct TTokenizerStateGuard {
  TTokenizerStateGuard() { ResetTokenizerState(); }
  ~TTokenizerStateGuard() { ResetTokenizerState(); }
};

}  // namespace

bool RecognisedPCBFile(const std::string& fileName) {
  if (!ImporterHost().ExistSpecific(fileName))
    return false;
  TTextFile file;
  file.Assign(fileName);
  file.Reset();
  TTokenizerStateGuard guard;
  for (int count = 1;; ++count) {
    if (file.Eof())
      return false;
    const int code = GetToken(file, StructuralSet(), /*skipBlanks=*/true);
    if (count > kMaxTokens)
      return false;
    if (code == kwPercent)
      SkipLine(file);
    else if (code == kwOpenBrace)
      return GetToken(file, WordSet(), /*skipBlanks=*/true) == kwCOMPONENT;
  }
}
