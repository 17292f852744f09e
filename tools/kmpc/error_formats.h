// The --errors formats of kmpc: each error as a GNU-style line for editors,
// or the whole run as one JSON object for scripts. Both are written as the
// run goes: a run of millions of errors never holds them, or its log, whole.
#pragma once

#include "options.h"

#include <compiler.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace kmpc {

// "gnu" or "json"; anything else is a usage error naming the option.
ErrorFormat ParseErrorFormat(std::string_view text);

// What a compile run leaves for the report besides what the report took
// during the run.
struct CompileOutcome {
    std::string_view listing;                    // the listing's lines, each ending with LF
    const std::vector<int>* listingSourceLines;  // one a listing line
    std::string_view abandoned;                  // the message of an abandoned run, else empty
    // Where the statement of an abandoned run begins.
    const kmp::ErrorPlace* abandonedAt = nullptr;
    bool ok = false;                           // the run ended without an error
    const kmp::ProgramImage* image = nullptr;  // its image
};

// The name that the GNU lines show for `fileName`: "<stdin>" for "-", other
// names as they are (control characters escaped). JSON shows the name itself.
std::string ShownFileName(std::string_view fileName);

// The report of one run: the run's log pane (whose lines it takes in place
// of printing them) and the sink of its error places.
class ErrorReport : public kmp::Pane, public kmp::ErrorPlaceSink {
public:
    // A run clears its log at its start, before any line.
    void Clear() override {}
    void SetColor(std::uint32_t) override {}
    // Writes what only the run's end tells.
    virtual void Finish(const CompileOutcome& outcome) = 0;
};

// The report of `format` (not Log) for the input `fileName`:
// - gnu: one "FILE:LINE:COLUMN: error: MESSAGE" line per error to `err`
//   (line and column 1-based, the column in characters) as it is found,
//   followed by "FILE:LINE:COLUMN: note: HINT" when the error has a hint;
//   a failed run without such an error gives one such line at the end: an
//   abandoned run at the statement that no longer fits, no program at 1:1;
// - json: the run as one JSON object on `out`, ending with LF; each error
//   has its "hint" (null when none).
std::unique_ptr<ErrorReport> MakeErrorReport(ErrorFormat format, std::string_view fileName,
                                             std::FILE* out, std::FILE* err);

}  // namespace kmpc
