// The page's calls into the project's C++ (embind): the compile run, the
// program files, the upload's frame and lines, and the system texts. The
// page keeps none of these rules of its own.
#include "compile_run.h"

#include <announcements.h>
#include <app_texts.h>
#include <board_line.h>
#include <board_reply.h>
#include <editor_text.h>
#include <file_error.h>
#include <display_text.h>
#include <error_hints.h>
#include <example_program.h>
#include <kmp_version.h>
#include <language_help.h>
#include <permission_hint.h>
#include <program_link.h>
#include <program_spans.h>
#include <program_text.h>
#include <returned_bytes.h>
#include <send_lines.h>
#include <upload_frame.h>
#include <upload_texts.h>
#include <usb_adapters.h>
#include <ComTypes.h>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

using emscripten::val;

namespace kmp::web {
namespace {

// The bytes of a Uint8Array (copied in one call).
std::string BytesOf(const val& array) {
    std::string bytes(array["length"].as<std::size_t>(), '\0');
    val view(
        emscripten::typed_memory_view(bytes.size(), reinterpret_cast<std::uint8_t*>(bytes.data())));
    view.call<void>("set", array);
    return bytes;
}

// A new Uint8Array holding `bytes`.
template <typename Bytes>
val Uint8ArrayOf(const Bytes& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return val::global("Uint8Array").new_(emscripten::typed_memory_view(bytes.size(), data));
}

val StringArray(const std::vector<std::string>& lines) {
    val array = val::array();
    for (const std::string& line : lines) array.call<void>("push", line);
    return array;
}

val PlaceObject(const ErrorPlace& place) {
    val object = val::object();
    object.set("line", place.line);
    object.set("column", place.column);
    object.set("length", place.length);
    object.set("printedLine", place.printedLine);
    object.set("printedPosition", place.printedPosition);
    object.set("number", place.number);
    object.set("message", place.message);
    object.set("logLine", place.logLine);
    object.set("hint", place.hint);
    object.set("tooltip", MarkTooltip(place));
    return object;
}

val PaneObject(const PaneLines& pane) {
    val object = val::object();
    object.set("lines", StringArray(pane.lines));
    object.set("color", pane.color);
    return object;
}

// compile(text, period, delay, prescaler, timeText): { ok, log, listing,
// listingSourceLines, errors, failure, failedStatement, image }
val Compile(const std::string& text, int period, int delay, int prescaler,
            const std::string& timeText) {
    const PageCompile run = CompileEditorText(text, {period, delay, prescaler}, timeText);
    val object = val::object();
    object.set("ok", run.ok);
    object.set("log", PaneObject(run.log));
    object.set("listing", PaneObject(run.listing));
    val sourceLines = val::array();
    for (const int line : run.result.listingSourceLines) sourceLines.call<void>("push", line);
    object.set("listingSourceLines", sourceLines);
    val errors = val::array();
    for (const ErrorPlace& place : run.result.errorPlaces)
        errors.call<void>("push", PlaceObject(place));
    object.set("errors", errors);
    object.set("failure", run.failure);
    object.set("failedStatement",
               run.failure.empty() ? val::null() : PlaceObject(run.failedStatement));
    object.set("image", Uint8ArrayOf(run.result.image));
    return object;
}

val CompileState() {
    val object = val::object();
    object.set("programChanged", ProgramChanged);
    return object;
}

// The editor's text after opening a file of these bytes.
// The fragment (without "#") that carries the editor text and the bars'
// values: period, delay, prescaler.
std::string ProgramLink(const std::string& text, int period, int delay, int prescaler) {
    TimingSettings timing;
    timing.period = period;
    timing.delay = delay;
    timing.prescaler = prescaler;
    return ProgramLinkFragment(text, timing);
}

// {ok, text, values: [period, delay, prescaler]} or {ok: false, message}.
val ReadLink(const std::string& link) {
    const LinkReading reading = ReadProgramLink(link);
    val object = val::object();
    object.set("ok", reading.program.has_value());
    if (!reading.program) {
        object.set("message", reading.message);
        return object;
    }
    const TimingSettings& timing = reading.program->timing;
    object.set("text", reading.program->text);
    val values = val::array();
    for (const int value : {timing.period, timing.delay, timing.prescaler})
        values.call<void>("push", value);
    object.set("values", values);
    return object;
}

std::string OpenedText(const val& bytes) {
    return EditorHeldText(ProgramTextFromFileBytes(BytesOf(bytes)));
}

val ProgramFileBytes(const std::string& text) {
    return Uint8ArrayOf(ProgramFileBytesFromText(text));
}

val FrameOf(const val& imageBytes) {
    ProgramImage image{};
    const std::string bytes = BytesOf(imageBytes);
    std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());
    return Uint8ArrayOf(UploadFrame(image));
}

class LinesLog final : public UploadLog {
public:
    void AppendLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// returnedByteLines(bytes): the log lines of returned bytes.
val ReturnedByteLines(const val& bytes) {
    LinesLog log;
    LogReturnedBytes(BytesOf(bytes), log);
    return StringArray(log.lines);
}

TWriteEnd WriteEndNamed(const std::string& name) {
    if (name == "cancelled") return weCancelled;
    if (name == "timedOut") return weTimedOut;
    if (name == "failed") return weFailed;
    return weCompleted;
}

std::string EndLine(int written, int total, const std::string& end, bool handshake) {
    return SendEndLine({written, total, WriteEndNamed(end), nullptr}, handshake);
}

// progressText(written, total, running, heldMs): the bar's text; heldMs is
// how long CTS has held the send back (0: not held).
std::string ProgressTextOf(int written, int total, bool running, int heldMs) {
    const auto now = WriteStatus::Clock::now();
    const WriteStatus status{running, written, total, heldMs > 0,
                             now - std::chrono::milliseconds(heldMs)};
    return ProgressText(ProgressOf(status, now));
}

// The open options and the signals of the board's line, as Web Serial
// takes them.
val LineSettings() {
    val options = val::object();
    options.set("baudRate", kBoardBaudRate);
    options.set("dataBits", kBoardDataBits);
    options.set("parity", std::string("none"));
    options.set("stopBits", kBoardStopBits);
    options.set("flowControl", std::string("none"));
    val signals = val::object();
    signals.set("requestToSend", kBoardRtsOn);
    signals.set("dataTerminalReady", kBoardDtrOn);
    val settings = val::object();
    settings.set("open", options);
    settings.set("signals", signals);
    return settings;
}

// The general error display's text for a file that the page could not
// read (`tooLarge`: past the size limit) or write; `reason` is the name of
// the browser's error.
int ErrorNumberOf(const std::string& reason) {
    if (reason == "tooLarge") return EFBIG;
    if (reason == "NotAllowedError" || reason == "SecurityError") return EACCES;
    if (reason == "QuotaExceededError") return ENOSPC;
    if (reason == "NotFoundError") return ENOENT;
    return EIO;
}

std::string OpenFailureText(const std::string& name, const std::string& reason) {
    return DisplayedErrorText(CannotOpenMessage(name, ErrorNumberOf(reason)));
}

std::string SaveFailureText(const std::string& name, const std::string& reason) {
    return DisplayedErrorText(CannotCreateMessage(name, ErrorNumberOf(reason)));
}

// The returned bytes of a send against its frame (see EchoCheck).
void StartEcho(EchoCheck& check, const val& frame) {
    const std::string sent = BytesOf(frame);
    check.Start({sent.begin(), sent.end()});
}

bool TakeEcho(EchoCheck& check, const val& bytes) {
    return check.Take(BytesOf(bytes));
}

val LineSpans(const std::string& latin1Line) {
    val spans = val::array();
    for (const ProgramSpanAt& span : ProgramTextSpans(latin1Line)) {
        val object = val::object();
        object.set("start", span.start);
        object.set("length", span.length);
        object.set("kind", static_cast<int>(span.kind));
        spans.call<void>("push", object);
    }
    return spans;
}

// The fixed texts that the page shows, by name.
val Texts() {
    val texts = val::object();
    const std::pair<const char*, const char*> all[] = {
        {"applicationTitle", kApplicationTitle},
        {"windowCaption", kWindowCaption},
        {"contactAddress", kContactAddress},
        {"contactSubject", kContactSubject},
        {"contactBody", kContactBody},
        {"unsavedCaption", kUnsavedCaption},
        {"unsavedText", kUnsavedText},
        {"programFileExtension", kProgramFileExtension},
        {"programFileFilter", kProgramFileFilter},
        {"programOpenFilter", kProgramOpenFilter},
        {"errorCaption", kErrorCaption},
        {"cannotConnectText", kCannotConnectText},
        {"cannotConnectTextEnd", kCannotConnectTextEnd},
        {"lineOpenLampTip", kLineOpenLampTip},
        {"boardReadyLampTip", kBoardReadyLampTip},
        {"lineClosedLampName", kLineClosedLampName},
        {"sendDone", kSendDoneAnnouncement},
        {"boardNotReadyLampName", kBoardNotReadyLampName},
        {"connectCaption", kConnectCaption},
        {"disconnectCaption", kDisconnectCaption},
        {"changedCaption", kChangedCaption},
        {"changedText", kChangedText},
        {"notCompiledCaption", kNotCompiledCaption},
        {"notCompiledText", kNotCompiledText},
        {"sendingLine", kSendingLine},
        {"sendEndLine", kSendEndLine},
        {"lineLostPrefix", kLineLostPrefix},
        {"lineLostEnd", kLineLostEnd},
        {"version", KMP_VERSION},
    };
    for (const auto& [name, text] : all) texts.set(name, std::string(text));
    return texts;
}

HelpLanguage HelpIn(bool english) {
    return english ? HelpLanguage::English : HelpLanguage::Slovak;
}

// offeredTemplates(lineBeforeCursor, asked): { typed, templates }; the line
// a byte a character, as lineSpans takes it.
val Offered(const std::string& latin1Before, bool asked) {
    const TemplateOffer offer = OfferedTemplates(latin1Before, asked);
    val object = val::object();
    object.set("typed", std::string(offer.typed));
    object.set("templates", StringArray(std::vector<std::string>(offer.templates.begin(),
                                                                 offer.templates.end())));
    return object;
}

// firstTemplateValue(template): { start, length }
val FirstValue(const std::string& statementTemplate) {
    const TemplateValue value = FirstTemplateValue(statementTemplate);
    val object = val::object();
    object.set("start", static_cast<int>(value.start));
    object.set("length", static_cast<int>(value.length));
    return object;
}

void BindLanguageHelp() {
    emscripten::function(
        "referenceMarkdown",
        +[](bool english) { return std::string(ReferenceMarkdown(HelpIn(english))); });
    emscripten::function(
        "referenceSection", +[](const std::string& keyword, bool english) {
            return LanguageReference::Of(HelpIn(english)).SectionOf(keyword);
        });
    emscripten::function(
        "keywordForm", +[](const std::string& keyword, bool english) {
            return LanguageReference::Of(HelpIn(english)).FormOf(keyword);
        });
    emscripten::function(
        "keywordAt", +[](const std::string& latin1Line, int column) {
            return std::string(KeywordAt(latin1Line, static_cast<std::size_t>(column)));
        });
    emscripten::function(
        "statementKeyword",
        +[](const std::string& latin1Line) { return std::string(StatementKeyword(latin1Line)); });
    emscripten::function(
        "statementTemplates", +[] {
            const auto all = StatementTemplates();
            return StringArray(std::vector<std::string>(all.begin(), all.end()));
        });
    emscripten::function("offeredTemplates", &Offered);
    emscripten::function("firstTemplateValue", &FirstValue);
}

}  // namespace
}  // namespace kmp::web

EMSCRIPTEN_BINDINGS(kmp_core) {
    using namespace kmp;
    using namespace kmp::web;
    emscripten::function("compile", &Compile);
    emscripten::function("compileState", &CompileState);
    emscripten::function("noteProgramChange", &NoteProgramChange);
    emscripten::function("openedText", &OpenedText);
    emscripten::function("programFileBytes", &ProgramFileBytes);
    emscripten::function("programLink", &ProgramLink);
    emscripten::function("readProgramLink", &ReadLink);
    emscripten::function(
        "isProgramLink", +[](const std::string& link) { return IsProgramLink(link); });
    emscripten::function(
        "exampleProgram", +[] { return std::string(kExampleProgram); });
    emscripten::function("uploadFrame", &FrameOf);
    emscripten::function("returnedByteLines", &ReturnedByteLines);
    emscripten::function("sendEndLine", &EndLine);
    emscripten::function("progressText", &ProgressTextOf);
    emscripten::function(
        "compileAnnouncement",
        +[](bool ok, int errorCount) { return std::string(CompileAnnouncement(ok, errorCount)); });
    emscripten::class_<EchoCheck>("EchoCheck")
        .constructor<>()
        .function("start", &StartEcho)
        .function("take", &TakeEcho)
        .function("line", &EchoCheck::Line);
    emscripten::function("lineSettings", &LineSettings);
    emscripten::function(
        "writeLimitMs",
        +[](int total) { return kWriteLimitConstantMs + kWriteLimitPerByteMs * total; });
    emscripten::function("openFailureText", &OpenFailureText);
    emscripten::function("saveFailureText", &SaveFailureText);
    emscripten::function(
        "dsrOffLine", +[](const std::string& port, int ms) { return DsrOffLine(port, ms); });
    emscripten::function(
        "noPermissionHint", +[](const std::string& device, const std::string& group) {
            return NoPermissionHint(device, group);
        });
    emscripten::function(
        "adapterLine", +[](int vendorId, int productId) {
            return AdapterLine(static_cast<std::uint16_t>(vendorId),
                               static_cast<std::uint16_t>(productId));
        });
    emscripten::function("lineSpans", &LineSpans);
    emscripten::function(
        "programName",
        +[](const std::string& latin1Text) { return std::string(ProgramNameOf(latin1Text)); });
    emscripten::function("texts", &Texts);
    BindLanguageHelp();
    emscripten::constant("maxProgramFileBytes", static_cast<double>(kMaxProgramFileBytes));
    emscripten::constant("dsrWaitMs", kDsrWaitMs);
    emscripten::constant("replyQuietMs", kReplyQuietMs);
    emscripten::constant("lineByteMs",
                         std::chrono::duration<double, std::milli>(kLineByteTime).count());
}
