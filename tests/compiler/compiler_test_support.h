// In-memory panes, a fixed clock and one-call compile runs for the tests.
#pragma once

#include "compile_state.h"
#include "compiler.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kmp::test {

class RecordingPane final : public Pane {
public:
    void Clear() override { lines.clear(); }
    void AppendLine(std::string_view line) override { lines.emplace_back(line); }
    void SetColor(std::uint32_t c) override { color = c; }

    std::vector<std::string> lines;
    std::uint32_t color = 0;
};

class FixedClock final : public Clock {
public:
    std::string LongTimeText() const override { return "12:34:56"; }
};

// LF line ends become CR LF, the line ends of the editor's text.
inline std::string CrLf(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

struct RunResult {
    std::vector<std::string> log;
    std::uint32_t logColor = 0;
    std::vector<std::string> listing;
    std::uint32_t listingColor = 0;
    bool compiledOk = false;
    bool rangeError = false;
    CompileResult result;  // or the partial one of a range error
};

// Compiles `source` as given (no line-end conversion).
inline RunResult CompileBytes(std::string_view source, const TimingSettings& timing = {},
                              PlaceRecording recording = PlaceRecording::Keep,
                              ErrorPlaceSink* sink = nullptr) {
    RecordingPane log;
    RecordingPane listing;
    RunResult result;
    try {
        result.result = CompileProgram(source, timing, log, listing, FixedClock(), recording, sink);
    } catch (const RangeCheckError& error) {
        result.rangeError = true;
        result.result = error.partial;
    }
    result.log = log.lines;
    result.logColor = log.color;
    result.listing = listing.lines;
    result.listingColor = listing.color;
    result.compiledOk = CompiledOk;
    return result;
}

// Compiles a text written with LF line ends.
inline RunResult Compile(std::string_view text, const TimingSettings& timing = {}) {
    return CompileBytes(CrLf(text), timing);
}

// The error lines of a run: the log without its first two lines.
inline std::vector<std::string> ErrorLines(const RunResult& r) {
    if (r.log.size() < 2) return {};
    return {r.log.begin() + 2, r.log.end()};
}

// Prepares the scanner and a recording log for tests of scanner and readers.
class ScanSeam {
public:
    explicit ScanSeam(std::string_view source) {
        CompileLog = &log;
        ListingView = &listing;
        SourceText.assign(source);
        SourceLength = static_cast<std::int32_t>(source.size());
        SourcePos = 1;
        TokenStart = 1;
        TokenKind = Token::NewLine;
        LineNo = 1;
        ColumnNo = 0;
        ErrorCount = 0;
        ParseStopped = false;
        ResetSpans();
    }
    ~ScanSeam() {
        CompileLog = nullptr;
        ListingView = nullptr;
    }
    ScanSeam(const ScanSeam&) = delete;
    ScanSeam& operator=(const ScanSeam&) = delete;

    RecordingPane log;
    RecordingPane listing;
};

inline constexpr std::string_view kCannotCompile =
    " Nedokážem preložiť zdrojový kód! Opravte chyby a skúste znovu! ";

}  // namespace kmp::test
