// kmpc --text and --to-kmp: the program text of a file, printed or saved.
#pragma once

#include "options.h"

#include <cstdio>

namespace kmpc {

// Prints the text that the window's editor shows after opening the input
// file (UTF-8, LF line ends) to `out`. Returns the exit status.
int PrintProgramText(const Options& options, std::FILE* out, std::FILE* err);

// Writes the input file's text to the output file as the window's save does
// (the same RTF, the same atomic replace). Returns the exit status.
int SaveAsProgramFile(const Options& options, std::FILE* err);

}  // namespace kmpc
