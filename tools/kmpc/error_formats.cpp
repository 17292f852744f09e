#include "error_formats.h"

#include "json_text.h"
#include "printable_name.h"

#include <cstddef>

namespace kmpc {
namespace {

// Text written to a stream through a buffer of 64 KiB, so that a report of
// a million errors is never held whole.
class Writer {
public:
    explicit Writer(std::FILE* stream) : stream_(stream) {}
    ~Writer() { Flush(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    Writer& operator<<(std::string_view text) {
        buffer_ += text;
        if (buffer_.size() >= 65536) Flush();
        return *this;
    }
    Writer& operator<<(int number) { return *this << std::string_view(std::to_string(number)); }

private:
    void Flush() {
        if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stream_);
        buffer_.clear();
    }
    std::FILE* stream_;
    std::string buffer_;
};

// Calls `each` with every line of a text whose lines all end with LF.
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
    for (std::size_t i = 0; !text.empty(); ++i) {
        const std::size_t end = text.find('\n');
        each(text.substr(0, end), i);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
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
    std::string_view last;
    ForEachLine(outcome.log, [&last](std::string_view line, std::size_t) { last = line; });
    return last;
}

void WriteError(Writer& out, const kmp::ErrorPlace& e) {
    out << "{\"line\": " << e.line + 1 << ", \"column\": " << e.column + 1
        << ", \"length\": " << e.length << ", \"printed_line\": " << e.printedLine
        << ", \"printed_position\": " << e.printedPosition << ", \"number\": " << e.number
        << ", \"message\": " << JsonString(BareMessage(e.message)) << "}";
}

// Separates the items of an array written one a line.
std::string_view Separator(std::size_t index) {
    return index == 0 ? "\n    " : ",\n    ";
}

void WriteErrors(Writer& out) {
    out << "[";
    for (std::size_t i = 0; i < kmp::ErrorPlaces.size(); ++i) {
        out << Separator(i);
        WriteError(out, kmp::ErrorPlaces[i]);
    }
    out << (kmp::ErrorPlaces.empty() ? "]" : "\n  ]");
}

void WriteLog(Writer& out, std::string_view log) {
    out << "[";
    ForEachLine(log, [&out](std::string_view line, std::size_t i) {
        out << Separator(i) << JsonString(line);
    });
    out << (log.empty() ? "]" : "\n  ]");
}

void WriteListing(Writer& out, std::string_view listing) {
    out << "[";
    ForEachLine(listing, [&out](std::string_view line, std::size_t i) {
        const int source = i < kmp::ListingSourceLines.size() ? kmp::ListingSourceLines[i] : -1;
        out << Separator(i) << "{\"text\": " << JsonString(line) << ", \"source_line\": ";
        if (source < 0) {
            out << "null}";
        } else {
            out << source + 1 << "}";
        }
    });
    out << (listing.empty() ? "]" : "\n  ]");
}

void WriteImage(Writer& out) {
    if (!kmp::CompiledOk) {
        out << "null";
        return;
    }
    out << "[";
    for (std::size_t i = 0; i < kmp::CodeImage.size(); ++i) {
        if (i > 0) out << (i % 16 == 0 ? ",\n    " : ", ");
        out << kmp::CodeImage[i];
    }
    out << "]";
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

void WriteGnuErrors(const CompileOutcome& outcome, std::FILE* stream) {
    const std::string file = ShownFileName(outcome.fileName);
    Writer out(stream);
    for (const kmp::ErrorPlace& e : kmp::ErrorPlaces) {
        out << file << ":" << e.line + 1 << ":" << e.column + 1
            << ": error: " << BareMessage(e.message) << "\n";
    }
    if (const std::string_view failure = FailureText(outcome); !failure.empty()) {
        out << file << ": error: " << failure << "\n";
    }
}

void WriteJsonReport(const CompileOutcome& outcome, std::FILE* stream) {
    // JSON can carry every character of the name itself.
    const std::string_view file = outcome.fileName == "-" ? "<stdin>" : outcome.fileName;
    const std::string_view failure = FailureText(outcome);
    Writer out(stream);
    out << "{\n  \"file\": " << JsonString(file);
    out << ",\n  \"success\": " << (kmp::CompiledOk ? "true" : "false");
    out << ",\n  \"errors\": ";
    WriteErrors(out);
    out << ",\n  \"failure\": " << (failure.empty() ? std::string("null") : JsonString(failure));
    out << ",\n  \"log\": ";
    WriteLog(out, outcome.log);
    out << ",\n  \"listing\": ";
    WriteListing(out, outcome.listing);
    out << ",\n  \"image\": ";
    WriteImage(out);
    out << "\n}\n";
}

void WriteErrorReport(ErrorFormat format, const CompileOutcome& outcome, std::FILE* out,
                      std::FILE* err) {
    if (format == ErrorFormat::Json) {
        WriteJsonReport(outcome, out);
    } else {
        WriteGnuErrors(outcome, err);
    }
}

}  // namespace kmpc
