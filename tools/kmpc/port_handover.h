// Hand-over to kmpc-port, the part of kmpc that talks to serial ports. It
// links Qt and the serial layer, so kmpc itself stays quick to start.
#pragma once

namespace kmpc {

// The name of the program beside kmpc that does the port work.
inline constexpr const char* kPortProgramName = "kmpc-port";

// Replaces this process with kmpc-port from the folder of this program,
// passing `argv` on unchanged. Returns only when that fails, with the
// system's error number.
int ExecPortProgram(char** argv);

}  // namespace kmpc
