#ifndef LAUNCHER_INSTALL_RUN_H
#define LAUNCHER_INSTALL_RUN_H

#include "platform.h"

namespace launcher {

/// One whole run of the launcher with the argument of its command line: find the Application
/// Manager, minimise the setup window, run the manager on the INI file beside the launcher, wait
/// for it, restore the window and hold when the INI file and the window call for it. The
/// launcher's exit code is 0 whatever happens here.
void RunInstall(Platform& platform, const Unit* argument);

}  // namespace launcher

#endif
