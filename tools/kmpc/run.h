// One run of kmpc: read, compile, print the panes, write the image.
#pragma once

#include "compiler.h"
#include "options.h"

#include <cstdio>

namespace kmpc {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitCompileFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitPortFailed = 3;

// Compiles the file of `options`, prints the listing to `out` and the log to
// `err`, writes the image file after a successful run. Returns the exit status.
// `image`, when given, takes the image of a run that succeeded.
int Run(const Options& options, const kmp::Clock& clock, std::FILE* out, std::FILE* err,
        kmp::ProgramImage* image = nullptr);

}  // namespace kmpc
