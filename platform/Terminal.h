#pragma once

// The standard streams of a program run from a terminal: Terminal_posix.cpp and
// Terminal_windows.cpp implement them.

namespace qv::platform {

enum class Stream { Input, Output, Error };

// Whether the stream is a terminal (a console on Windows) rather than a file or a pipe.
bool isTerminal(Stream stream);

// Our texts are UTF-8: a Windows console is told so, as it would read them in its own code page
// (a Chinese message or file name would come out garbled).
void useUtf8Terminal();

}  // namespace qv::platform
