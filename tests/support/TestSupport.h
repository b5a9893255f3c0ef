// Helpers shared by the test executables: pumping the message loop until a condition
// holds, a shown and activated top-level window, and a 32-bit DIB whose pixels can be
// read back. Each test executable defines TestUnits(): the units it starts, in order.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "classlib/Startup.h"
#include "classlib/Win.h"

// The units a test executable starts before its tests and stops after them.
std::span<const TUnitEntry> TestUnits();

class TObject;

// Counts the firings of a notify event bound to Notify; with Raise set the handler raises
// (Exception "handler failed") after counting.
struct TNotifyCounter {
  int Count = 0;
  bool Raise = false;
  void Notify(TObject* sender);
};

// Dispatches messages until `done()` is true or `timeoutMs` has passed; returns done().
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 5000);

// Dispatches every message already waiting.
void PumpPending();

// Moves the real pointer to (x, y) on the screen and waits until it has stayed there a
// moment: the X server takes the move asynchronously, and Wine may still report an
// older position once after it. False when it never settles within the time.
bool SettlePointerAt(int x, int y, unsigned timeoutMs = 5000);

// The whole content of a file, or "<missing>" when it cannot be read.
std::string FileBytes(const std::string& path);

// "<temp>\<name>\", deleted with everything in it and created again empty (a file or
// folder a TUnwritable left unwritable is made writable first).
std::string EmptiedTempFolder(const std::string& name);

// Answers every message form of the class library shown while it lives under
// `caption` ("Vantor Suite Error" by default) with its "OK" button, recording the text
// of its "Message" label as the user reads it ("&&" shown as "&"). It works from a
// thread timer, which fires inside the form's modal loop; the press is posted.
class TMessageFormRecorder {
 public:
  explicit TMessageFormRecorder(std::string caption = "Vantor Suite Error");
  ~TMessageFormRecorder();
  TMessageFormRecorder(const TMessageFormRecorder&) = delete;
  TMessageFormRecorder& operator=(const TMessageFormRecorder&) = delete;

  std::vector<std::string> Texts;

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
  std::string FCaption;
  std::vector<HWND> FAnswered;
  UINT_PTR FTimer = 0;
};

// Makes an existing file or folder unwritable for real while it lives: no file can be
// made in the folder, the file cannot be opened for writing. It sets the read-only
// attribute, as a user would; where writes still go through (Wine running as root
// ignores that attribute), it also marks the file or folder immutable on the Linux side
// (chattr +i, run as a Unix program through Wine). It checks that a write fails before
// it answers Real(); the destructor undoes both.
class TUnwritable {
 public:
  explicit TUnwritable(const std::string& path);
  ~TUnwritable();
  TUnwritable(const TUnwritable&) = delete;
  TUnwritable& operator=(const TUnwritable&) = delete;

  // True when a write has been seen to fail.
  bool Real() const { return FReal; }
  // How the set-up was made, or why it could not be: for the test's message.
  const std::string& How() const { return FHow; }

 private:
  std::string FPath;
  bool FReal = false;
  bool FImmutable = false;
  std::string FHow;
};
// Whether a write into `path` goes through: a new file in a folder, or the file opened
// for writing.
bool WritableNow(const std::string& path);
// Runs chattr with `flag` ("+i", "-i", "-R -i") on `path` through Wine; false when the
// program cannot be started (not under Wine, or no chattr).
bool RunChattr(const std::string& flag, const std::string& path);
// Runs the Unix program `name` (from /usr/bin or /bin) with `arguments` through Wine;
// false when it cannot be started. It may end after the call returns.
bool RunUnixProgram(const std::string& name, const std::string& arguments);
// Makes `link` a symbolic link to `target` (ln -s, through Wine), and waits until it is
// there; false when it cannot be made.
bool MakeSymbolicLink(const std::string& target, const std::string& link);

// A top-level window of a private class, shown and made the active foreground window.
// Its procedure (if given) sees every message first; unhandled ones go to DefWindowProc.
class TTestWindow {
 public:
  using TProc = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
  explicit TTestWindow(TProc proc = {}, int width = 320, int height = 240);
  ~TTestWindow();
  TTestWindow(const TTestWindow&) = delete;
  TTestWindow& operator=(const TTestWindow&) = delete;
  HWND Handle() const { return FHandle; }

 private:
  static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND FHandle = nullptr;
  TProc FProc;
};

// A 32-bit top-down DIB section selected into its own memory DC.
class TDibSurface {
 public:
  TDibSurface(int width, int height);
  ~TDibSurface();
  TDibSurface(const TDibSurface&) = delete;
  TDibSurface& operator=(const TDibSurface&) = delete;
  HDC DC() const { return FDC; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // The raw pixel: bytes B, G, R, A in memory.
  uint32_t Pixel(int x, int y) const;
  // The pixel as a COLORREF (alpha dropped).
  COLORREF Color(int x, int y) const;
  void Fill(COLORREF color);

 private:
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  uint32_t* FBits = nullptr;
  int FWidth, FHeight;
};

// The bytes of an .ico file with one 32-bit image of width x height, every pixel opaque
// and of the colour pixel(x, y) answers.
std::vector<uint8_t> IconFileBytes(int width, int height, const std::function<COLORREF(int x, int y)>& pixel);
