#include "importer/KivoRecogniser.h"

#include "classlib/Exceptions.h"
#include "host/ClientApi.h"
#include "importer/KivoSource.h"
#include "importer/KivoTokenizer.h"

namespace {

constexpr int kMaxTokens = 200;

bool BeginsLikeKivo(const std::string& fileName) {
  TKivoSource file;
  file.Assign(fileName);
  file.SetTabsAsBlanks(true);  // as the reader reads it
  file.Reset();
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

}  // namespace

bool RecognisedPCBFile(const std::string& fileName) {
  if (!ClientApiExistSpecific(fileName))
    return false;
  try {
    return BeginsLikeKivo(fileName);
  } catch (const EInOutError&) {
    // The host knows the file, but it cannot be read: it is no KIVO file we can import.
    return false;
  }
}
