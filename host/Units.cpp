#include "host/Units.h"

#include "host/ClientApi.h"
#include "host/DialogTheme.h"
#include "host/EDAClientMessageForm.h"
#include "host/ParameterList.h"
#include "host/Utilities.h"

std::span<const TUnitEntry> HostUnits() {
  static const TUnitEntry units[] = {
      // The parameter-string cache.
      {"host.ParameterList", InitializeParameterList, FinalizeParameterList},
      // The host's "ClientApi_" entry points and its IClient.
      {"host.ClientApi", InitializeClientApi, FinalizeClientApi},
      {"host.Utilities", InitializeUtilities, FinalizeUtilities},
      // Failed commands are shown to the user in the host-styled error box.
      {"host.ErrorBox", InitializeErrorBox, FinalizeErrorBox},
      // Every dialog skinned; four class-library routines redirected to the framework's
      // own (not inside the development environment), and given back at shut-down.
      {"host.DialogTheme", InitializeDialogTheme, FinalizeDialogTheme},
  };
  return units;
}
