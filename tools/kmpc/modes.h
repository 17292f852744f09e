// The runs of kmpc that need no serial port: compile, --text and --to-kmp.
#pragma once

#include "compiler.h"
#include "options.h"

#include <cstdio>
#include <optional>

namespace kmpc {

// Does what the mode of `options` asks (the compile run without its upload).
// Returns the exit status.
int RunWithoutPort(const Options& options, const kmp::Clock& clock, std::FILE* out, std::FILE* err,
                   kmp::ProgramImage* image = nullptr);

// Flushes standard output; a failed write turns `status` into a usage
// failure with a message.
int FinishOutput(int status);

// --help and --version, for kmpc and kmpc-port alike: prints the text and
// returns the exit status, or returns nothing when neither was asked for.
std::optional<int> AnswerHelpOrVersion(const Options& options);

}  // namespace kmpc
