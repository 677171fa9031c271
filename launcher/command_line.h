#ifndef LAUNCHER_COMMAND_LINE_H
#define LAUNCHER_COMMAND_LINE_H

namespace launcher {

/// The argument in a whole process command line: what follows the program's name and the bytes
/// from 1 to 32 after it, verbatim. The name ends at the first byte from 1 to 32 outside double
/// quotes; a quote that is never closed makes the whole line the name. Points into command_line.
const char* CommandLineArgument(const char* command_line);

}  // namespace launcher

#endif
