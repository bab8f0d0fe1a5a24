// tonvia-driver: drives Tonvia's main window from another process, for the demo, the end-to-end
// tests and anyone debugging. Commands run left to right; the first one that fails ends the run.
//
//   find SECS                   wait until the main window exists
//   wait-visible SECS           wait until the main window is shown
//   click CTRL                  press a button (BM_CLICK)
//   set CTRL TEXT               replace a field's text (WM_SETTEXT)
//   get CTRL                    print a field's text
//   enabled CTRL                print 1 when the control is enabled, else 0
//   wait-enabled CTRL 0|1 SECS  wait until the control is disabled (0) or enabled (1)
//   wait-has CTRL TEXT SECS     wait until the field's text contains TEXT
//   wait-is CTRL TEXT SECS      wait until the field's text is exactly TEXT
//   wait-not CTRL TEXT SECS     wait until the field's text differs from TEXT
//   ping MS                     check that the window answers within MS, print the round trip
//   close-box CAPTION SECS      wait for a message box with this caption, print its text, press OK
//   no-box CAPTION              fail when a message box with this caption is open
//   close                       ask the main window to close (WM_CLOSE)
//   close-title TITLE           ask the top-level window with this title to close
//   wait-gone SECS              wait until the main window no longer exists
//   state                       print every field as name=text, line breaks escaped
//   stats                       print the program's CPU time and memory
//   sleep MS                    pause
//   say TEXT                    print TEXT (marks progress in the output)
//   stamp                       print the wall-clock time as Unix seconds (for latencies)
//
// `tonvia-driver serve` reads commands from standard input instead, one run per line with its
// words separated by tabs (UTF-8), and ends each run's output with a line "@@done STATUS": one
// Wine process then serves a whole test, since starting one is slow under emulation.
//
// Texts are printed as UTF-8, one value per line. Exit status: 0 done, 1 usage error,
// 2 a condition was not met in time or the window did not answer, 3 no main window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/driver/control_map.h"
#include "tools/driver/window_ops.h"

using namespace tonvia_driver;

namespace {

enum Status { kDone = 0, kUsage = 1, kFailed = 2, kNoWindow = 3 };

void PrintUtf8(const std::wstring& text, FILE* stream = stdout) {
  if (!text.empty()) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                        nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stream);
  }
  fflush(stream);
}

void PrintLine(const std::wstring& text) { PrintUtf8(text + L"\n"); }

Status Fail(const std::wstring& message, Status status = kFailed) {
  PrintUtf8(L"tonvia-driver: " + message + L"\n", stderr);
  return status;
}

std::wstring Escaped(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\r') out += L"\\r";
    else if (c == L'\n') out += L"\\n";
    else if (c == L'\\') out += L"\\\\";
    else out += c;
  }
  return out;
}

class Session {
 public:
  Status Run(std::vector<std::wstring> args) {
    args_ = std::move(args);
    next_ = 0;
    while (next_ < args_.size()) {
      const std::wstring command = args_[next_++];
      const Status status = RunOne(command);
      if (status != kDone) return status;
    }
    return kDone;
  }

 private:
  bool Take(std::wstring& value) {
    if (next_ >= args_.size()) return false;
    value = args_[next_++];
    return true;
  }

  bool TakeNumber(double& value) {
    std::wstring text;
    if (!Take(text)) return false;
    wchar_t* end = nullptr;
    value = wcstod(text.c_str(), &end);
    return end && *end == 0 && !text.empty() && value >= 0;
  }

  bool MainWindow() {
    if (!main_ || !IsWindow(main_)) main_ = FindTopLevel(kMainWindowTitle);
    return main_ != nullptr;
  }

  Status TakeControl(HWND& control) {
    std::wstring name;
    if (!Take(name)) return Fail(L"a control name is missing", kUsage);
    const ControlSpot* spot = FindControlSpot(name);
    if (!spot) return Fail(L"unknown control " + name + L"; known:\n" + KnownControlNames(), kUsage);
    if (!MainWindow()) return Fail(L"the main window is not open", kNoWindow);
    control = FindControl(main_, *spot);
    if (!control) return Fail(L"control " + name + L" not found in the main window");
    return kDone;
  }

  Status WaitText(const std::wstring& command) {
    HWND control = nullptr;
    if (Status s = TakeControl(control); s != kDone) return s;
    std::wstring wanted;
    double seconds = 0;
    if (!Take(wanted) || !TakeNumber(seconds)) return Fail(command + L": TEXT SECS expected", kUsage);
    std::wstring text;
    const bool met = WaitUntil(seconds, [&] {
      if (!ReadText(control, text)) return false;
      if (command == L"wait-has") return text.find(wanted) != std::wstring::npos;
      if (command == L"wait-is") return text == wanted;
      return text != wanted;
    });
    if (!met) return Fail(command + L" timed out; the field holds: " + Escaped(text));
    PrintLine(text);
    return kDone;
  }

  Status RunOne(const std::wstring& command) {
    double number = 0;
    std::wstring text;
    HWND control = nullptr;
    if (command == L"find") {
      if (!TakeNumber(number)) return Fail(L"find SECS", kUsage);
      if (!WaitUntil(number, [&] { return MainWindow(); }))
        return Fail(L"no main window after waiting", kNoWindow);
      return kDone;
    }
    if (command == L"wait-visible") {
      if (!TakeNumber(number)) return Fail(L"wait-visible SECS", kUsage);
      if (!WaitUntil(number, [&] { return MainWindow() && IsWindowVisible(main_); }))
        return Fail(L"the main window was not shown in time", kNoWindow);
      return kDone;
    }
    if (command == L"click") {
      if (Status s = TakeControl(control); s != kDone) return s;
      return Click(control) ? kDone : Fail(L"click not delivered");
    }
    if (command == L"set") {
      if (Status s = TakeControl(control); s != kDone) return s;
      if (!Take(text)) return Fail(L"set CTRL TEXT", kUsage);
      return WriteText(control, text) ? kDone : Fail(L"the window did not answer");
    }
    if (command == L"get") {
      if (Status s = TakeControl(control); s != kDone) return s;
      if (!ReadText(control, text)) return Fail(L"the window did not answer");
      PrintLine(text);
      return kDone;
    }
    if (command == L"enabled") {
      if (Status s = TakeControl(control); s != kDone) return s;
      PrintLine(IsWindowEnabled(control) ? L"1" : L"0");
      return kDone;
    }
    if (command == L"wait-enabled") {
      if (Status s = TakeControl(control); s != kDone) return s;
      double seconds = 0;
      if (!TakeNumber(number) || !TakeNumber(seconds))
        return Fail(L"wait-enabled CTRL 0|1 SECS", kUsage);
      const bool wanted = number != 0;
      if (!WaitUntil(seconds, [&] { return (IsWindowEnabled(control) != 0) == wanted; }))
        return Fail(L"wait-enabled timed out");
      return kDone;
    }
    if (command == L"wait-has" || command == L"wait-is" || command == L"wait-not")
      return WaitText(command);
    if (command == L"ping") {
      if (!TakeNumber(number)) return Fail(L"ping MS", kUsage);
      if (!MainWindow()) return Fail(L"the main window is not open", kNoWindow);
      double ms = 0;
      if (!Ping(main_, static_cast<UINT>(number), ms)) return Fail(L"the window did not answer in time");
      PrintLine(std::to_wstring(ms));
      return kDone;
    }
    if (command == L"close-box") {
      if (!Take(text) || !TakeNumber(number)) return Fail(L"close-box CAPTION SECS", kUsage);
      HWND box = nullptr;
      if (!WaitUntil(number, [&] { return (box = FindTopLevel(text.c_str(), L"#32770")) != nullptr; }))
        return Fail(L"no message box captioned " + text);
      std::wstring message;
      if (HWND label = GetDlgItem(box, 0xFFFF)) ReadText(label, message);
      PrintLine(message);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return kDone;
    }
    if (command == L"no-box") {
      if (!Take(text)) return Fail(L"no-box CAPTION", kUsage);
      if (FindTopLevel(text.c_str(), L"#32770")) return Fail(L"a message box captioned " + text + L" is open");
      return kDone;
    }
    if (command == L"say") {
      if (!Take(text)) return Fail(L"say TEXT", kUsage);
      PrintLine(text);
      return kDone;
    }
    if (command == L"stamp") {
      FILETIME now;
      GetSystemTimeAsFileTime(&now);
      const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
      // FILETIME counts 100 ns from 1601; Unix time counts seconds from 1970.
      const double unixSeconds = (ticks - 116444736000000000ULL) / 1e7;
      wchar_t buffer[64];
      swprintf(buffer, 64, L"%.3f", unixSeconds);
      PrintLine(buffer);
      return kDone;
    }
    if (command == L"close") {
      if (!MainWindow()) return Fail(L"the main window is not open", kNoWindow);
      PostMessageW(main_, WM_CLOSE, 0, 0);
      return kDone;
    }
    if (command == L"close-title") {
      if (!Take(text)) return Fail(L"close-title TITLE", kUsage);
      HWND window = FindTopLevel(text.c_str());
      if (!window) return Fail(L"no window titled " + text);
      PostMessageW(window, WM_CLOSE, 0, 0);
      return kDone;
    }
    if (command == L"wait-gone") {
      if (!TakeNumber(number)) return Fail(L"wait-gone SECS", kUsage);
      if (!WaitUntil(number, [&] { return FindTopLevel(kMainWindowTitle) == nullptr; }))
        return Fail(L"the main window is still open");
      main_ = nullptr;
      return kDone;
    }
    if (command == L"state") {
      for (const wchar_t* name : {L"drive", L"title", L"fullname", L"results", L"start", L"page"}) {
        const ControlSpot* spot = FindControlSpot(name);
        if (!MainWindow()) return Fail(L"the main window is not open", kNoWindow);
        HWND field = FindControl(main_, *spot);
        if (!field || !ReadText(field, text)) text = L"<not found>";
        PrintLine(std::wstring(spot->alias) + L"=" + Escaped(text));
      }
      return kDone;
    }
    if (command == L"stats") {
      if (!MainWindow()) return Fail(L"the main window is not open", kNoWindow);
      ProcessFigures figures;
      if (!ReadProcessFigures(main_, figures)) return Fail(L"cannot read the process figures");
      PrintLine(L"cpu_ms=" + std::to_wstring(figures.cpuMs) +
                L" working_set_kb=" + std::to_wstring(figures.workingSetKb) +
                L" peak_working_set_kb=" + std::to_wstring(figures.peakWorkingSetKb) +
                L" private_kb=" + std::to_wstring(figures.privateKb));
      return kDone;
    }
    if (command == L"sleep") {
      if (!TakeNumber(number)) return Fail(L"sleep MS", kUsage);
      Sleep(static_cast<DWORD>(number));
      return kDone;
    }
    return Fail(L"unknown command " + command, kUsage);
  }

  std::vector<std::wstring> args_;
  size_t next_ = 0;
  HWND main_ = nullptr;
};

std::wstring FromUtf8(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                       nullptr, 0);
  std::wstring text(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], size);
  return text;
}

int Serve(Session& session) {
  std::string line;
  for (int c; (c = fgetc(stdin)) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::wstring> args;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      args.push_back(FromUtf8(line.substr(start, tab - start)));
    args.push_back(FromUtf8(line.substr(start)));
    line.clear();
    const Status status = session.Run(std::move(args));
    PrintLine(L"@@done " + std::to_wstring(status));
  }
  return kDone;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    Fail(L"usage: tonvia-driver COMMAND [ARGS] [COMMAND [ARGS]]...; see the source for the list",
         kUsage);
    return kUsage;
  }
  Session session;
  if (argc == 2 && std::wstring(argv[1]) == L"serve") return Serve(session);
  return session.Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
