// kmpc --text, --to-kmp and --from-link: a program text printed or saved.
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

// Writes the program of the link in `options.inputPath` to the output file
// as the page's save does, then prints the link's values as kmpc options.
// A link that cannot be read is a failed run (status 1) with its reason.
int SaveLinkedProgram(const Options& options, std::FILE* out, std::FILE* err);

}  // namespace kmpc
