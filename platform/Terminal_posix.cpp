#include <unistd.h>

#include "platform/Terminal.h"

namespace qv::platform {

bool isTerminal(Stream stream) {
    const int fd = stream == Stream::Input    ? STDIN_FILENO
                   : stream == Stream::Output ? STDOUT_FILENO
                                              : STDERR_FILENO;
    return ::isatty(fd) != 0;
}

// A terminal here takes the locale's encoding, UTF-8 wherever our texts can show.
void useUtf8Terminal() {}

}  // namespace qv::platform
