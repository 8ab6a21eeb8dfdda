#pragma once
// What a console program needs of the system: UTF-8 on standard output and
// error, whether a stream is a terminal, and Ctrl+C taken as a request to
// stop rather than an instant end, so a download can stop between lines.

namespace platform {

// Windows' console shows UTF-8 from now on; Linux terminals already do.
void UseUtf8Console();

// Whether standard error goes to a terminal (not a file or a pipe).
bool StandardErrorIsTerminal();

// From now on Ctrl+C (SIGINT, SIGTERM; on Windows Ctrl+C and Ctrl+Break)
// only sets the flag that Interrupted() reads.
void CatchInterrupt();
bool Interrupted();

}  // namespace platform
