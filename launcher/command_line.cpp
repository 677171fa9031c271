#include "command_line.h"

namespace launcher {

namespace {

// Bytes are compared unsigned, so that those from 128 up never count as blanks.
bool IsBlankOrControl(unsigned char byte) { return byte >= 1 && byte <= 32; }

}  // namespace

const char* CommandLineArgument(const char* command_line) {
    const char* at = command_line;
    bool quoted = false;
    while (*at != '\0') {
        const unsigned char byte = static_cast<unsigned char>(*at);
        if (byte == '"') {
            quoted = !quoted;
        } else if (!quoted && IsBlankOrControl(byte)) {
            break;
        }
        ++at;
    }
    // An unclosed quote has run to the end of the line, which leaves the argument empty.
    while (IsBlankOrControl(static_cast<unsigned char>(*at))) ++at;
    return at;
}

}  // namespace launcher
