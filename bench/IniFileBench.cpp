// Reading settings files of many keys: a "LoadKIVO.ini" of 1,000, 10,000 and 100,000
// layer rows (or the counts given as arguments) read the way the importer reads it
// (its keys, then each key's value) through TIniFile and TMemIniFile, and through the
// importer's own LoadDefaultLayerMap. Each stage is timed once, best of three runs.
//
//   IniFileBench.exe [count...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "classlib/FileUtils.h"
#include "classlib/IniFiles.h"
#include "classlib/Win.h"
#include "host/Utilities.h"
#include "importer/ImportSettings.h"

namespace {

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool WriteSettings(const std::string& path, int count) {
  std::string text = "[Layer]\r\n";
  for (int i = 0; i < count; ++i)
    text += "LAYER" + std::to_string(i) + "=" + (i % 2 ? "Top Layer" : "Bottom Layer") + "\r\n";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD done = 0;
  const bool ok = file != INVALID_HANDLE_VALUE &&
                  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
                  done == text.size();
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  return ok;
}

// Keys, then each key's value, as the importer reads its layer map; answers the rows.
size_t ReadAll(TCustomIniFile& ini) {
  size_t rows = 0;
  for (const std::string& key : ini.ReadSectionKeys("Layer"))
    rows += !ini.ReadString("Layer", key, "Not Imported").empty();
  return rows;
}

double Best(const std::function<size_t()>& stage, int count) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    const double start = Seconds();
    const size_t rows = stage();
    best = std::min(best, Seconds() - start);
    if (rows != static_cast<size_t>(count))
      fprintf(stderr, "IniFileBench: %zu rows read of %d\n", rows, count);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i)
    counts.push_back(atoi(argv[i]));
  if (counts.empty())
    counts = {1000, 10000, 100000};

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string base = IncludeTrailingPathDelimiter(temp) + "kivo-ini-bench";
  ForceDirectories(base + "\\Zorvan");
  RedirectUserDataFolder(base);
  const std::string path = ImportSettingsFileName().Str();

  printf("%10s %12s %12s %22s\n", "keys", "TIniFile", "TMemIniFile", "LoadDefaultLayerMap");
  for (int count : counts) {
    if (!WriteSettings(path, count)) {
      fprintf(stderr, "IniFileBench: cannot write %s\n", path.c_str());
      return 1;
    }
    const double file = Best([&] {
      TIniFile ini(path);
      return ReadAll(ini);
    }, count);
    const double memory = Best([&] {
      TMemIniFile ini(path);
      return ReadAll(ini);
    }, count);
    const double importer = Best([] { return LoadDefaultLayerMap().size(); }, count);
    printf("%10d %10.1f ms %10.1f ms %20.1f ms\n", count, 1000 * file, 1000 * memory,
           1000 * importer);
  }
  DeleteFileA(path.c_str());
  RemoveDirectoryA((base + "\\Zorvan").c_str());
  RemoveDirectoryA(base.c_str());
  return 0;
}
