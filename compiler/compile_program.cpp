// The compile run: sets up the compile state, parses, fixes up the jumps and
// writes the result into the panes and flags; and the clock of its time line.
#include "compile_state.h"
#include "labels.h"
#include "listing.h"
#include "messages.h"
#include "translators.h"

#include <ctime>
#include <limits>
#include <stdexcept>
#include <utility>

namespace kmp {
namespace {

// Header bytes 1 and 2 never hold 254 or 255: those are written as 253.
std::uint8_t HeaderByte(int value) {
    const auto b = static_cast<std::uint8_t>(value & 0xFF);
    return b >= 254 ? 253 : b;
}

void ResetImageAndLabels(const TimingSettings& timing) {
    CodeImage.fill(255);
    for (std::string& label : LabelAtAddress) label.clear();
    for (std::string& target : JumpTargetAt) target.clear();
    Places.instructionLineAt.fill(-1);
    Places.labelLineAt.fill(-1);
    Places.jumpTargetSpanAt.fill({});
    Places.programLine = -1;
    CodeImage[0] = static_cast<std::uint8_t>(timing.period);
    CodeImage[1] = HeaderByte(timing.delay);
    CodeImage[2] = HeaderByte(timing.delay >> 8);
    CodeImage[3] = static_cast<std::uint8_t>(timing.prescaler);
}

void StartLog(const Clock& clock) {
    CompileLog->Clear();
    CompileLog->SetColor(kColorYellow);
    CompileLog->AppendLine(msg::kStart);
    CompileLog->AppendLine(clock.LongTimeText());
}

void StartScanner(std::string_view source) {
    SourceText.assign(source);
    SourceLength = static_cast<std::int32_t>(source.size());
    SourcePos = 1;
    TokenStart = 1;
    ParseStopped = false;
    TokenKind = Token::NewLine;
    Places.name = {};
    ResetSpans();
}

void FinishSuccessfulRun(int endAddress) {
    WriteFinalListing(endAddress);
    CompileLog->AppendLine(msg::kSuccess);
    CompileLog->SetColor(kColorLime);
    CompileLog->AppendLine(msg::kSendNow);
    CompiledOk = true;
    ProgramChanged = false;
}

// The compile log, counting its lines for the error places.
class CountingPane final : public Pane {
public:
    explicit CountingPane(Pane& pane) : pane_(pane) {}
    void Clear() override {
        pane_.Clear();
        Places.logLines = 0;
    }
    void AppendLine(std::string_view line) override {
        pane_.AppendLine(line);
        ++Places.logLines;
    }
    void SetColor(std::uint32_t color) override { pane_.SetColor(color); }

private:
    Pane& pane_;
};

// Binds the panes to the compile state for the length of one run.
class PaneBinding {
public:
    PaneBinding(Pane& compileLog, Pane& listingView) : log_(compileLog) {
        CompileLog = &log_;
        ListingView = &listingView;
    }
    ~PaneBinding() {
        CompileLog = nullptr;
        ListingView = nullptr;
    }
    PaneBinding(const PaneBinding&) = delete;
    PaneBinding& operator=(const PaneBinding&) = delete;

private:
    CountingPane log_;
};

// The run itself; its result stays in Places.result.
void Run(std::string_view source, const TimingSettings& timing, const Clock& clock) {
    ResetImageAndLabels(timing);
    StartListing(kColorRed);
    WritePos = 4;
    ErrorCount = 0;
    LineNo = 1;
    ColumnNo = 0;
    StartLog(clock);
    StartScanner(source);
    if (SourceLength == 0) {
        CompileLog->AppendLine(msg::kNoProgram);
        return;
    }
    NextToken();
    ParseProgram();
    const int endAddress = WritePos;
    ResolveJumps();
    if (!ParseStopped && ErrorCount == 0) FinishSuccessfulRun(endAddress);
}

}  // namespace

CompileResult CompileProgram(std::string_view source, const TimingSettings& timing,
                             Pane& compileLog, Pane& listingView, const Clock& clock,
                             PlaceRecording recording, ErrorPlaceSink* sink) {
    // Positions are 32-bit: a longer text cannot be scanned.
    if (source.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - 1)) {
        throw std::length_error("program text too long");
    }
    CompiledOk = false;
    const PaneBinding panes(compileLog, listingView);
    Places.result = {};
    Places.logLines = 0;
    Places.hintedLine = -1;
    Places.recording = recording;
    Places.sink = sink;
    try {
        Run(source, timing, clock);
    } catch (RangeCheckError& error) {
        error.partial = std::exchange(Places.result, {});
        error.partial.image = CodeImage;
        throw;
    }
    CompileResult result = std::exchange(Places.result, {});
    result.ok = CompiledOk;
    result.image = CodeImage;
    return result;
}

std::string SystemClock::LongTimeText() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%X", &local);
    return std::string(text, length);
}

void NoteProgramChange() {
    if (CompiledOk) ProgramChanged = true;
}

}  // namespace kmp
