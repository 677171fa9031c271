#ifndef LAUNCHER_INSTALL_RUN_H
#define LAUNCHER_INSTALL_RUN_H

#include "platform.h"

namespace launcher {

/// The caption of every message box the launcher shows.
extern const Unit kErrorCaption[];
/// Shown when the Application Manager is not registered or cannot be started.
extern const Unit kMissingManagerText[];
/// Shown when the launcher's own folder cannot be told from its module path.
extern const Unit kFolderUnknownText[];
/// Shown when the Application Manager's command line would not fit its buffer.
extern const Unit kPathTooLongText[];

/// One whole run of the launcher with the argument of its command line: find the Application
/// Manager, minimise the setup window, run the manager on the INI file beside the launcher, wait
/// for it, restore the window and hold when the INI file and the window call for it. The
/// launcher's exit code is 0 whatever happens here.
void RunInstall(Platform& platform, const Unit* argument);

}  // namespace launcher

#endif
