// The compiler of the control language: public interface.
//
// The compiler is a plain library without Qt. The window, the command line
// and the tests all drive it through this header: they hand it the program
// text as Windows-1250 bytes with CR LF line ends and the three timing values,
// and give it two panes to write into and a clock for the time line.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kmp {

// Pane text colours: 24-bit values with red in the lowest byte.
inline constexpr std::uint32_t kColorRed = 255;
inline constexpr std::uint32_t kColorYellow = 65535;
inline constexpr std::uint32_t kColorLime = 65280;

// A read-only text pane with one text colour for all of its lines.
// Lines are UTF-8 text.
class Pane {
public:
    virtual ~Pane() = default;
    virtual void Clear() = 0;
    virtual void AppendLine(std::string_view line) = 0;
    virtual void SetColor(std::uint32_t color) = 0;
};

// Gives the time line of the compile log.
class Clock {
public:
    virtual ~Clock() = default;
    // The current local time in the locale's long time format.
    virtual std::string LongTimeText() const = 0;
};

// The real clock: local time formatted with the LC_TIME locale's "%X".
class SystemClock final : public Clock {
public:
    std::string LongTimeText() const override;
};

// The ranges of the three timing track bars.
inline constexpr int kPeriodMin = 1;
inline constexpr int kPeriodMax = 253;
inline constexpr int kDelayMin = 1;
inline constexpr int kDelayMax = 65535;
inline constexpr int kPrescalerMin = 0;
inline constexpr int kPrescalerMax = 7;

// Positions of the three timing track bars.
struct TimingSettings {
    int period = 200;   // TrackBar1, 1..253
    int delay = 1;      // TrackBar2, 1..65535
    int prescaler = 3;  // TrackBar3, 0..7
};

inline constexpr int kCodeImageSize = 128;
// The program image: the timing header, then two bytes an instruction.
using ProgramImage = std::array<std::uint8_t, kCodeImageSize>;

// The part of the compile state that the upload and the window read.
extern ProgramImage CodeImage;
extern bool CompiledOk;
extern bool ProgramChanged;

// Where the token of one error stands in the editor's text (the program text
// with CR LF or LF line ends), beside what its error line prints.
struct ErrorPlace {
    int line = 0;             // 0-based line
    int column = 0;           // 0-based, in characters (one a Windows-1250 byte)
    int length = 0;           // characters; 0 at a line end, the text's end, or unknown
    int printedLine = 0;      // the line number that the error line shows
    int printedPosition = 0;  // the position that the error line shows
    int number = 0;           // the error's number in the run, from 1
    std::string message;      // the message as printed (UTF-8), beginning with " : "
    int logLine = 0;          // the 0-based line of the compile log that reports it
    // What the commonest slip behind the error would be (UTF-8); empty when
    // none fits. Shown beside the error, never in place of it.
    std::string hint;
};

// What a run gives back besides the panes and the compile state.
struct CompileResult {
    // One place for each error line of the log, in order (kept only with
    // PlaceRecording::Keep).
    std::vector<ErrorPlace> errorPlaces;
    // For each line of the listing pane, the 0-based source line of the
    // statement or label that produced it; the header line has the PROGRAM
    // line, and a line that no source line produced (a header without
    // PROGRAM, a filler pair) -1.
    std::vector<int> listingSourceLines;
    // Whether the run ended without an error, and the image it made (the
    // bytes CodeImage holds after it).
    bool ok = false;
    ProgramImage image{};
};

// Thrown when a program is too long: something would be stored at address 128.
// The message is "Range check error". `partial` holds what the run had found
// until then.
class RangeCheckError : public std::runtime_error {
public:
    RangeCheckError() : std::runtime_error("Range check error") {}
    CompileResult partial;
    // Where the statement that no longer fits begins, with the hint that
    // says why (number 0: no error line of the log reports it).
    ErrorPlace statement;
};

// Takes the place of each error as the run reports it.
class ErrorPlaceSink {
public:
    virtual ~ErrorPlaceSink() = default;
    virtual void TakeErrorPlace(const ErrorPlace& place) = 0;
};

// Whether the result keeps the error places. A caller that reads none (or
// takes them through a sink) drops them, so that a run with millions of
// errors keeps none of them.
enum class PlaceRecording { Keep, Drop };

// One compile run over `source` (Windows-1250 bytes, CR LF line ends).
// Writes `compileLog` and `listingView`, fills CodeImage and sets the flags;
// hands each error's place to `sink` when given. Throws RangeCheckError
// when the program does not fit into the image.
CompileResult CompileProgram(std::string_view source, const TimingSettings& timing,
                             Pane& compileLog, Pane& listingView, const Clock& clock,
                             PlaceRecording recording = PlaceRecording::Keep,
                             ErrorPlaceSink* sink = nullptr);

// The editor text or a timing value changed: marks a compiled program as changed.
void NoteProgramChange();

}  // namespace kmp
