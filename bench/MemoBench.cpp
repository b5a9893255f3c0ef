// Where the time of a long memo goes: opening it and typing into it, in the platform's
// RichEdit window alone, in the blob editor's popup and in the memo editor.
//
// Opening: a memo of 74-character lines (128 KB to 1 MB by default, or the sizes in KB
// given as arguments) put into a bare "RichEdit20A" window with one WM_SETTEXT, against
// the blob editor's whole drop-down of the same memo (its popup is such a window, with
// the frame, the button bar and the checks around it) and against the memo editor
// loading it while hidden and showing it; both editors still hold the memo of the size
// before, which each replaces. Typing: one character typed into a memo of one
// word-wrapped paragraph of 12,500 to 100,000 characters, in the bare window and in the
// popup (best of three). Each line gives the time and its growth against the size
// before (time ratio over size ratio: 1.00 is linear, 2.00 quadratic per doubling).
// The bare window and the memo editor are measured up to a megabyte: beyond, the bare
// window takes minutes, and the memos of both editors would not fit in the memory Wine's
// RichEdit has in a 32-bit process. Sizes given as arguments measure the opening alone.
//
//   MemoBench.exe [KB...]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/StepClock.h"
#include "classlib/Forms.h"
#include "classlib/Units.h"
#include "classlib/Win.h"
#include "editors/DxBlobPopup.h"
#include "editors/DxInplaceBlobEdit.h"
#include "editors/DxInplaceMemoEdit.h"
#include "editors/Units.h"

#include <richedit.h>

namespace {

// `bytes` of lines of 72 characters and a line break.
std::string MemoLines(size_t bytes) {
  std::string line(72, 'x');
  line += "\r\n";
  std::string text;
  text.reserve(bytes + line.size());
  while (text.size() < bytes)
    text += line;
  text.resize(bytes);
  return text;
}

// A bare RichEdit window as the popup makes its memo: plain text, no limit, word wrap.
HWND BareRichEdit() {
  HWND wnd = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 0, 0,
                             200, 140, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(wnd, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
  SendMessageA(wnd, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  return wnd;
}

void Pump() { Application->ProcessMessages(); }

// Seconds a character typed at the end of the window's text takes, shown: the best of
// three.
double TypeOne(HWND wnd) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    const int end = GetWindowTextLengthA(wnd);
    SendMessageA(wnd, EM_SETSEL, end, end);
    best = std::min(best, Seconds([&] {
                      SendMessageA(wnd, WM_CHAR, 'a', 1);
                      UpdateWindow(wnd);
                    }));
  }
  return best;
}

// A size and its times (negative: not measured).
struct TLine {
  size_t Size;
  std::vector<double> Seconds;
};

// A time (or "-") and its growth against the line before.
std::string Column(double seconds, double before, double sizeRatio) {
  char text[40];
  if (seconds < 0)
    std::snprintf(text, sizeof text, " %12s %8s", "-", "");
  else if (before <= 0)
    std::snprintf(text, sizeof text, " %12.4f %8s", seconds, "");
  else
    std::snprintf(text, sizeof text, " %12.4f %8.2f", seconds, seconds / before / sizeRatio);
  return text;
}

void Print(const char* title, const char* unit, const std::vector<const char*>& columns,
           const std::vector<TLine>& lines) {
  std::printf("%s\n%10s", title, unit);
  for (const char* column : columns)
    std::printf(" %12s %8s", column, "growth");
  std::printf("\n");
  for (size_t i = 0; i < lines.size(); ++i) {
    std::printf("%10zu", lines[i].Size);
    for (size_t c = 0; c < columns.size(); ++c) {
      const double before = i == 0 ? -1 : lines[i - 1].Seconds[c];
      const double sizeRatio = i == 0 ? 1 : double(lines[i].Size) / double(lines[i - 1].Size);
      std::printf("%s", Column(lines[i].Seconds[c], before, sizeRatio).c_str());
    }
    std::printf("\n");
  }
}

int Run(const std::vector<size_t>& kilobytes, bool typingToo) {
  TForm* form = new TForm(nullptr);
  form->SetBounds(100, 100, 300, 200);
  form->Show();
  auto* blob = new TdxInplaceBlobEdit(form);
  blob->SetParent(form);
  blob->SetBounds(10, 10, 150, 24);
  auto* memo = new TdxInplaceMemoEdit(form);
  memo->SetParent(form);
  memo->SetBounds(10, 40, 200, 120);
  Pump();

  std::vector<TLine> opening;
  for (size_t kb : kilobytes) {
    const std::string text = MemoLines(kb * 1024);
    double bareSeconds = -1;
    if (kb <= 1024) {
      HWND bare = BareRichEdit();
      bareSeconds = Seconds([&] { SendMessageA(bare, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); });
      DestroyWindow(bare);
    }
    blob->SetEditValue(Variant(text));
    const double blobSeconds = Seconds([&] {
      blob->DropDown();
      Pump();
    });
    blob->GetPopup()->HidePopup();
    Pump();
    double memoSeconds = -1;
    if (kb <= 1024) {
      memoSeconds = Seconds([&] {
        memo->SetEditValue(Variant(text));
        memo->ShowEdit(TRect{12, 42, 208, 158});
        Pump();
      });
      memo->HideEdit();
      Pump();
    }
    opening.push_back(TLine{kb * 1024, {bareSeconds, blobSeconds, memoSeconds}});
  }
  Print("Opening a memo of 74-character lines", "bytes", {"RichEdit s", "blob edit s", "memo edit s"}, opening);
  // The memos go: a 32-bit process holds only a few megabytes of them in RichEdit windows.
  delete memo;
  delete blob;
  blob = new TdxInplaceBlobEdit(form);
  blob->SetParent(form);
  blob->SetBounds(10, 10, 150, 24);
  Pump();

  if (!typingToo) {
    delete form;
    Pump();
    return 0;
  }
  std::vector<TLine> typing;
  // Wine's RichEdit runs out of memory laying out one paragraph of some 200,000.
  for (size_t characters : {12500u, 25000u, 50000u, 100000u}) {
    const std::string paragraph(characters, 'x');
    HWND bare = BareRichEdit();
    SendMessageA(bare, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(paragraph.c_str()));
    ShowWindow(bare, SW_SHOWNA);
    UpdateWindow(bare);
    const double bareSeconds = TypeOne(bare);
    DestroyWindow(bare);
    blob->SetEditValue(Variant(paragraph));
    blob->DropDown();
    Pump();
    const double blobSeconds = TypeOne(blob->GetPopup()->GetHandle());
    blob->GetPopup()->HidePopup();
    Pump();
    typing.push_back(TLine{characters, {bareSeconds, blobSeconds}});
  }
  std::printf("\n");
  Print("Typing one character into one word-wrapped paragraph", "characters", {"RichEdit s", "blob edit s"}, typing);
  delete form;
  Pump();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<size_t> kilobytes;
  for (int i = 1; i < argc; ++i)
    kilobytes.push_back(size_t(std::strtoul(argv[i], nullptr, 10)));
  const bool typingToo = kilobytes.empty();
  if (kilobytes.empty())
    kilobytes = {128, 256, 512, 1024};
  static const TUnitTable units =
      TUnitTable().Pick(ClassLibUnits(), {"ComCtrls", "Forms"}).Add(EditorsUnits());
  if (!StartUnits(units))
    return 1;
  const int result = Run(kilobytes, typingToo);
  StopUnits();
  return result;
}
