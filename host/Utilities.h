// Small routines the framework's parts share: the Windows version test, the date and
// time texts of reports, the per-user data folder, clearing a pending text-file error
// and the plain words that tell a user why a file could not be used. None of them
// raises.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classlib/DateUtils.h"
#include "classlib/Object.h"

// True on Windows 5.1 (XP) and later.
bool IsWindowsXPOrLater();
// Makes IsWindowsXPOrLater answer for this version instead of the system's, until
// ClearInjectedWindowsVersion.
void InjectWindowsVersion(unsigned major, unsigned minor);
void ClearInjectedWindowsVersion();

// Reads and so clears the pending error code of the runtime's text files.
void ResetIOResult();

// Today's date in the locale's short date format, and the time of day in its long time
// format, for the instant `now`.
std::string CurrentDateText(TDateTime now = Now());
std::string CurrentTimeText(TDateTime now = Now());

// The per-user application-data folder + "\Zorvan", created (one level) when missing.
// A failed shell query leaves "\Zorvan" alone; a failed creation is not reported.
std::string UserDataFolder();
std::string GetUserDataFolder();
// Makes UserDataFolder use `base` in place of the per-user application-data folder, so
// that tests keep their settings files in a folder of their own; empty restores it.
void RedirectUserDataFolder(const std::string& base);

// Why a file could not be used, in plain words that finish a sentence "... because ":
// from the Windows error code met on it ("it does not exist", "another program has it
// open"...); a folder in the file's place is told as such whatever the code.
std::string FileFailureReason(const std::string& fileName, uint32_t errorCode);
// The same for the code of a text-file failure (EInOutError, classlib/TextFile.h): the
// run-time's own codes have their own words ("the disk is full" for a write cut short,
// "the file could not be read to its end" for a read), the others are Windows codes.
std::string TextFileFailureReason(const std::string& fileName, uint32_t errorCode);

// The most of a settings file that is read ("LoadKIVO.ini", a configuration, the recent
// filter expressions): 100,000 layer rows take some 2.5 MB.
inline constexpr uint64_t MaxSettingsFileBytes = 16 << 20;
// Why the settings file `fileName` could not be read or written, in words that finish a
// sentence "... because ": a file beyond MaxSettingsFileBytes (not read) is told by that
// limit (ERROR_FILE_TOO_LARGE), other failures by their Windows error.
std::string SettingsFileFailureReason(const std::string& fileName, uint32_t errorCode);
// Whether a failure with the Windows error `errorCode` is another instance of the module
// (another host in the same profile) having a settings store at that moment: a file held
// alone by its read or save (a sharing or lock violation), a registry key erased by its
// save under a write (ERROR_KEY_DELETED). Any other failure lasts.
bool HeldByAnotherInstance(uint32_t errorCode);
// How a read or a save waits for another instance, as what waits (a settings store's
// reader or writer) was made: `Step`, a test's, is called at every step of a wait before
// its pause, so that the test can let go of what it holds or count the steps. The
// plug-in's own waits have none.
struct TInstanceWait {
  std::function<void()> Step;
};
// One step of the wait for another instance begun at the tick `start`: false when the
// wait (two seconds) is spent, else true after a pause of 20 ms.
bool WaitAStepForAnotherInstance(uint32_t start, const TInstanceWait& wait);
uint32_t InstanceWaitStart();

// The reads and saves of the settings files and the registry: runs `attempt`, and again
// while it raises an E (carrying a Windows error code) that HeldByAnotherInstance accepts
// and the wait is not spent; a lasting failure is raised at once, a held one after the
// wait. Answers what `attempt` answers.
template <class E, class F>
auto RetryWhileHeldByAnotherInstance(F&& attempt, const TInstanceWait& wait = {}) {
  const uint32_t start = InstanceWaitStart();
  for (;;) {
    try {
      return attempt();
    } catch (const E& error) {
      if (!HeldByAnotherInstance(error.GetErrorCode()) || !WaitAStepForAnotherInstance(start, wait))
        throw;
    }
  }
}

// Why `fileName` cannot be opened for reading, in the same words; empty when it can. A
// path of MAX_PATH characters or more, a name holding "?" or "*" (what a name outside
// the system's code page turns into) and a name Windows keeps for a device are told
// without asking the system.
std::string FileReadProblem(const std::string& fileName);
// The device that the name of `fileName` stands for in Windows ("CON" for "con.pdf":
// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9, whatever extension follows); empty
// for a name that is no device's.
std::string ReservedDeviceName(const std::string& fileName);

// A wild-card description made at start-up; nothing reads it.
class TWildCard : public TObject {
  KIVO_CLASS(TWildCard, TObject)

 public:
  TWildCard() = default;

 private:
  bool FFlag = false;
  std::string FMask = "*";
  std::string FText;
  int FValue = 0;
};

// Unit start-up and shut-down: the wild-card object.
void InitializeUtilities();
void FinalizeUtilities();
