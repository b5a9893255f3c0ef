#include "host/CommandLauncher.h"

#include "classlib/Boundary.h"

namespace {

TCommandErrorHandler gCommandErrorHandler = nullptr;

const char* TextOrEmpty(const char* text) { return text ? text : ""; }

}  // namespace

TCommandErrorHandler SetCommandErrorHandler(TCommandErrorHandler handler) {
  TCommandErrorHandler previous = gCommandErrorHandler;
  gCommandErrorHandler = handler;
  return previous;
}

TCommandLauncher::TCommandLauncher() : FCommands(std::make_unique<TStringList>()) {
  FCommands->SetCaseSensitive(false);
  FCommands->SetDuplicates(dupIgnore);
  FCommands->SetSorted(true);
}

TCommandLauncher::~TCommandLauncher() {
  for (int i = 0; i < FCommands->GetCount(); ++i)
    delete FCommands->GetObject(i);
}

TCommandHandler* TCommandLauncher::FindHandler(const std::string& name) const {
  int index = -1;
  if (!FCommands->Find(name, index))
    return nullptr;
  return static_cast<TCommandHandler*>(FCommands->GetObject(index));
}

int32_t TCommandLauncher::RunCommand(const char* command, const char* parameters,
                                     IUnknown* context) {
  TCommandHandler* handler = FindHandler(TextOrEmpty(command));
  if (!handler || !handler->Handler)
    return 0;  // an unregistered command is not an error
  return handler->Handler(context, TextOrEmpty(parameters));
}

// Keeps the message and shows it; the host only sees the command answer 0.
void TCommandLauncher::CommandFailed(const char* command, const std::string& message) {
  FLastCommandError = message;
  if (gCommandErrorHandler) {
    GuardBoundary("command error handler", [&] { gCommandErrorHandler(message); });
    return;
  }
  ReportBoundaryException(command);
}

int32_t TCommandLauncher::LaunchCommand(const char* command, const char* parameters,
                                        int32_t ignored, IUnknown* context) {
  try {
    return RunCommand(command, parameters, context);
  } catch (const std::exception& error) {
    CommandFailed(TextOrEmpty(command), error.what());
  } catch (...) {
    CommandFailed(TextOrEmpty(command), std::string("Command ") + TextOrEmpty(command) + " failed");
  }
  return 0;
}

void TCommandLauncher::GetCommandState(const char* command, const char* parameters,
                                       IUnknown* context, int32_t* value1, int32_t* value2,
                                       int32_t* value3, TBoolByte* flag1, TBoolByte* flag2) {
  int32_t v1 = -1, v2 = 0, v3 = -1;
  bool f1 = false, f2 = false;
  GuardBoundary("GetCommandState", [&] {
    TCommandHandler* handler = FindHandler(TextOrEmpty(command));
    if (handler && handler->StateProc)
      handler->StateProc(context, TextOrEmpty(parameters), v1, v2, v3, f1, f2);
  });
  if (value1)
    *value1 = v1;
  if (value2)
    *value2 = v2;
  if (value3)
    *value3 = v3;
  if (flag1)
    *flag1 = f1 ? 1 : 0;
  if (flag2)
    *flag2 = f2 ? 1 : 0;
}

void RegisterCommand(TCommandLauncher& launcher, const std::string& name,
                     TServerCommandProc handler, TCommandStateProc stateProc) {
  if (launcher.FindHandler(name))
    return;  // the first registration stays in force
  auto entry = std::make_unique<TCommandHandler>(handler, stateProc);
  launcher.GetCommands().AddObject(name, entry.get());
  entry.release();
}

TServerCommandProc FindCommandHandler(const TCommandLauncher& launcher, const std::string& name) {
  TCommandHandler* handler = launcher.FindHandler(name);
  return handler ? handler->Handler : nullptr;
}

TCommandStateProc FindCommandStateProc(const TCommandLauncher& launcher, const std::string& name) {
  TCommandHandler* handler = launcher.FindHandler(name);
  return handler ? handler->StateProc : nullptr;
}
