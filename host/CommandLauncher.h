// The command table of a server module: named commands the host runs with a parameter
// string, each with an optional procedure that reports the command's state.
//
// Names compare without regard to case; a second registration under a name already
// present leaves the first in force. A command that raises is stopped at the launcher:
// its message is kept (GetLastCommandError), shown through the command-error handler
// when one is installed, and the host gets 0. Nothing ever unwinds into the host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Interfaces.h"
#include "classlib/StringList.h"
#include "host/HostInterfaces.h"

// The procedure a command runs: (context from the host, parameter string) → result.
using TServerCommandProc = int32_t (*)(IUnknown* context, const char* parameters);
// Reports a command's state; it may change any of the five values.
using TCommandStateProc = void (*)(IUnknown* context, const char* parameters, int32_t& value1,
                                   int32_t& value2, int32_t& value3, bool& flag1, bool& flag2);

// Shows the message of a command that failed to the user.
using TCommandErrorHandler = void (*)(const std::string& message);
// Installs the handler (null: failures go to the process's boundary handler) and
// returns the previous one.
TCommandErrorHandler SetCommandErrorHandler(TCommandErrorHandler handler);

class TCommandHandler : public TObject {
  KIVO_CLASS(TCommandHandler, TObject)

 public:
  TCommandHandler(TServerCommandProc handler, TCommandStateProc stateProc)
      : Handler(handler), StateProc(stateProc) {}

  TServerCommandProc Handler;
  TCommandStateProc StateProc;  // may be null
};

class TCommandLauncher : public TImplements<TInterfacedObjectNoRef, ICommandLauncherIntf> {
  KIVO_CLASS(TCommandLauncher, TInterfacedObjectNoRef)

 public:
  TCommandLauncher();
  ~TCommandLauncher() override;

  // ICommandLauncherIntf.
  int32_t __stdcall LaunchCommand(const char* command, const char* parameters, int32_t ignored,
                                  IUnknown* context) override;
  void __stdcall GetCommandState(const char* command, const char* parameters, IUnknown* context,
                                 int32_t* value1, int32_t* value2, int32_t* value3,
                                 TBoolByte* flag1, TBoolByte* flag2) override;

  // Sorted, without regard to case, duplicates ignored; each item's object is its
  // TCommandHandler, owned by the launcher.
  TStringList& GetCommands() { return *FCommands; }
  // The handler registered under `name`, or null.
  TCommandHandler* FindHandler(const std::string& name) const;
  // The message of the last command that raised; empty when none has.
  const std::string& GetLastCommandError() const { return FLastCommandError; }

 private:
  int32_t RunCommand(const char* command, const char* parameters, IUnknown* context);
  void CommandFailed(const char* command, const std::string& message);

  std::unique_ptr<TStringList> FCommands;
  std::string FLastCommandError;
};

// Registers `name` with its procedures; a name already present keeps its first handler.
void RegisterCommand(TCommandLauncher& launcher, const std::string& name,
                     TServerCommandProc handler, TCommandStateProc stateProc);
TServerCommandProc FindCommandHandler(const TCommandLauncher& launcher, const std::string& name);
TCommandStateProc FindCommandStateProc(const TCommandLauncher& launcher, const std::string& name);
