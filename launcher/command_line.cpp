#include "command_line.h"

namespace launcher {

namespace {

// Units are unsigned, so that every one from 128 up stays in the name, blanks of other scripts
// included.
bool IsBlankOrControl(Unit unit) { return unit >= 1 && unit <= 32; }

}  // namespace

const Unit* CommandLineArgument(const Unit* command_line) {
    const Unit* at = command_line;
    bool quoted = false;
    while (*at != 0) {
        if (*at == u'"') {
            quoted = !quoted;
        } else if (!quoted && IsBlankOrControl(*at)) {
            break;
        }
        ++at;
    }
    // An unclosed quote has run to the end of the line, which leaves the argument empty.
    while (IsBlankOrControl(*at)) ++at;
    return at;
}

}  // namespace launcher
