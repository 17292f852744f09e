// The --errors formats of kmpc: each error as a GNU-style line for editors,
// or the whole run as one JSON object for scripts.
#pragma once

#include "options.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace kmpc {

// "gnu" or "json"; anything else is a usage error naming the option.
ErrorFormat ParseErrorFormat(std::string_view text);

// What a compile run leaves for the formats besides the compile state
// (CompiledOk, CodeImage, ErrorPlaces, ListingSourceLines).
struct CompileOutcome {
    std::string_view fileName;   // as given; "-" is standard input
    std::string_view log;        // the log's lines, each ending with LF
    std::string_view listing;    // the listing's lines, each ending with LF
    std::string_view abandoned;  // the message of an abandoned run, else empty
};

// The name that the GNU lines show for `fileName`: "<stdin>" for "-", other
// names as they are (control characters escaped). JSON shows the name itself.
std::string ShownFileName(std::string_view fileName);

// One "FILE:LINE:COLUMN: error: MESSAGE" line per error (line and column
// 1-based, the column in characters); a failed run without such an error
// (no program, abandoned) gives one "FILE: error: TEXT" line.
void WriteGnuErrors(const CompileOutcome& outcome, std::FILE* stream);

// The run as one JSON object, ending with LF.
void WriteJsonReport(const CompileOutcome& outcome, std::FILE* stream);

// Writes the report of `format` (not Log): GNU lines to `err`, JSON to `out`.
void WriteErrorReport(ErrorFormat format, const CompileOutcome& outcome, std::FILE* out,
                      std::FILE* err);

}  // namespace kmpc
