#include "error_formats.h"

#include "json_text.h"
#include "printable_name.h"

#include <cstddef>
#include <vector>

namespace kmpc {
namespace {

// The lines of a text whose lines all end with LF.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// A message without the " : " that every compiler message begins with.
std::string_view BareMessage(std::string_view message) {
    if (message.starts_with(" : ")) message.remove_prefix(3);
    return message;
}

// The text that tells why a failed run without an error line failed: the
// message of an abandoned run, or the log's last line ("! chyba: ...").
std::string_view FailureText(const CompileOutcome& outcome) {
    if (kmp::CompiledOk) return {};
    if (!outcome.abandoned.empty()) return outcome.abandoned;
    if (!kmp::ErrorPlaces.empty()) return {};
    const std::vector<std::string_view> log = Lines(outcome.log);
    return log.empty() ? std::string_view() : log.back();
}

std::string ErrorObject(const kmp::ErrorPlace& e) {
    std::string json = "{\"line\": " + std::to_string(e.line + 1);
    json += ", \"column\": " + std::to_string(e.column + 1);
    json += ", \"length\": " + std::to_string(e.length);
    json += ", \"printed_line\": " + std::to_string(e.printedLine);
    json += ", \"printed_position\": " + std::to_string(e.printedPosition);
    json += ", \"number\": " + std::to_string(e.number);
    json += ", \"message\": " + JsonString(BareMessage(e.message)) + "}";
    return json;
}

// A JSON array of `items`, one a line.
std::string Array(const std::vector<std::string>& items) {
    if (items.empty()) return "[]";
    std::string json = "[\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        json += "    " + items[i];
        json += i + 1 < items.size() ? ",\n" : "\n";
    }
    return json + "  ]";
}

std::string ListingArray(std::string_view listing) {
    std::vector<std::string> items;
    const std::vector<std::string_view> lines = Lines(listing);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int source = i < kmp::ListingSourceLines.size() ? kmp::ListingSourceLines[i] : -1;
        items.push_back("{\"text\": " + JsonString(lines[i]) + ", \"source_line\": " +
                        (source < 0 ? std::string("null") : std::to_string(source + 1)) + "}");
    }
    return Array(items);
}

std::string ImageArray() {
    if (!kmp::CompiledOk) return "null";
    std::string json = "[";
    for (std::size_t i = 0; i < kmp::CodeImage.size(); ++i) {
        if (i > 0) json += i % 16 == 0 ? ",\n    " : ", ";
        json += std::to_string(kmp::CodeImage[i]);
    }
    return json + "]";
}

}  // namespace

ErrorFormat ParseErrorFormat(std::string_view text) {
    if (text == "gnu") return ErrorFormat::Gnu;
    if (text == "json") return ErrorFormat::Json;
    throw UsageError("invalid value '" + std::string(text) + "' for --errors (allowed gnu, json)");
}

std::string ShownFileName(std::string_view fileName) {
    return fileName == "-" ? std::string("<stdin>") : PrintableName(fileName);
}

std::string GnuErrors(const CompileOutcome& outcome) {
    const std::string file = ShownFileName(outcome.fileName);
    std::string text;
    for (const kmp::ErrorPlace& e : kmp::ErrorPlaces) {
        text += file + ':' + std::to_string(e.line + 1) + ':' + std::to_string(e.column + 1) +
                ": error: ";
        text += BareMessage(e.message);
        text += '\n';
    }
    if (const std::string_view failure = FailureText(outcome); !failure.empty()) {
        text += file + ": error: ";
        text += failure;
        text += '\n';
    }
    return text;
}

std::string JsonReport(const CompileOutcome& outcome) {
    std::vector<std::string> errors;
    for (const kmp::ErrorPlace& e : kmp::ErrorPlaces) errors.push_back(ErrorObject(e));
    std::vector<std::string> log;
    for (const std::string_view line : Lines(outcome.log)) log.push_back(JsonString(line));
    const std::string_view failure = FailureText(outcome);
    // JSON can carry every character of the name itself.
    const std::string_view file = outcome.fileName == "-" ? "<stdin>" : outcome.fileName;
    std::string json = "{\n  \"file\": " + JsonString(file);
    json += ",\n  \"success\": ";
    json += kmp::CompiledOk ? "true" : "false";
    json += ",\n  \"errors\": " + Array(errors);
    json += ",\n  \"failure\": " + (failure.empty() ? std::string("null") : JsonString(failure));
    json += ",\n  \"log\": " + Array(log);
    json += ",\n  \"listing\": " + ListingArray(outcome.listing);
    json += ",\n  \"image\": " + ImageArray();
    return json + "\n}\n";
}

void WriteErrorReport(ErrorFormat format, const CompileOutcome& outcome, std::FILE* out,
                      std::FILE* err) {
    const std::string text = format == ErrorFormat::Json ? JsonReport(outcome) : GnuErrors(outcome);
    std::FILE* stream = format == ErrorFormat::Json ? out : err;
    std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace kmpc
