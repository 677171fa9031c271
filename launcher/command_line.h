#ifndef LAUNCHER_COMMAND_LINE_H
#define LAUNCHER_COMMAND_LINE_H

#include "platform.h"

namespace launcher {

/// The argument in a whole process command line: what follows the program's name and the units
/// from 1 to 32 after it, verbatim. The name ends at the first unit from 1 to 32 outside double
/// quotes; a quote that is never closed makes the whole line the name. Points into command_line.
const Unit* CommandLineArgument(const Unit* command_line);

}  // namespace launcher

#endif
