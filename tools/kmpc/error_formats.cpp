#include "error_formats.h"

#include "json_text.h"
#include "printable_name.h"

#include <cstddef>

namespace kmpc {
namespace {

// Text written to a stream through a buffer of 64 KiB.
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

    void Flush() {
        if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stream_);
        buffer_.clear();
    }

private:
    std::FILE* stream_;
    std::string buffer_;
};

// A message without the " : " that every compiler message begins with.
std::string_view BareMessage(std::string_view message) {
    if (message.starts_with(" : ")) message.remove_prefix(3);
    return message;
}

// The failure line's text of a failed run without an error line: the
// message of an abandoned run, or the log's last line ("! chyba: ...").
std::string_view FailureText(const CompileOutcome& outcome, int errors,
                             std::string_view lastLogLine) {
    if (outcome.ok) return {};
    if (!outcome.abandoned.empty()) return outcome.abandoned;
    if (errors > 0) return {};
    return lastLogLine;
}

class GnuReport final : public ErrorReport {
public:
    GnuReport(std::string_view fileName, std::FILE* err)
        : file_(ShownFileName(fileName)), err_(err) {}

    void AppendLine(std::string_view line) override { lastLine_.assign(line); }
    void TakeErrorPlace(const kmp::ErrorPlace& e) override {
        ++errors_;
        Line(e.line, e.column, "error", BareMessage(e.message));
        if (!e.hint.empty()) Line(e.line, e.column, "note", e.hint);
    }
    void Finish(const CompileOutcome& outcome) override {
        if (const std::string_view failure = FailureText(outcome, errors_, lastLine_);
            !failure.empty()) {
            // Every failure has a place, for editors' problem matchers.
            const kmp::ErrorPlace* at = outcome.abandonedAt;
            if (at && !outcome.abandoned.empty()) {
                Line(at->line, at->column, "error", failure);
                if (!at->hint.empty()) Line(at->line, at->column, "note", at->hint);
            } else {
                Line(0, 0, "error", failure);
            }
        }
        err_.Flush();
    }

private:
    // "FILE:LINE:COLUMN: KIND: TEXT" of a 0-based line and column.
    void Line(int line, int column, std::string_view kind, std::string_view text) {
        err_ << file_ << ":" << line + 1 << ":" << column + 1 << ": " << kind << ": " << text
             << "\n";
    }

    const std::string file_;
    Writer err_;
    int errors_ = 0;
    std::string lastLine_;
};

// One array's items until the object is written: in an anonymous temporary
// file, so that memory holds none of them (in memory only when no such file
// can be made).
class Spill {
public:
    Spill() : file_(std::tmpfile()) {}
    ~Spill() {
        if (file_) std::fclose(file_);
    }
    Spill(const Spill&) = delete;
    Spill& operator=(const Spill&) = delete;

    // Items one a line, as the object shows them.
    Spill& NextItem() { return *this << (items_++ == 0 ? "\n    " : ",\n    "); }
    Spill& operator<<(std::string_view text) {
        pending_ += text;
        if (file_ && pending_.size() >= 65536) Flush();
        return *this;
    }
    Spill& operator<<(int number) { return *this << std::string_view(std::to_string(number)); }

    // The array, brackets included.
    void CopyTo(Writer& out) {
        out << "[";
        Flush();
        if (file_) {
            std::rewind(file_);
            char chunk[65536];
            for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file_)) > 0;)
                out << std::string_view(chunk, n);
        }
        out << pending_ << (items_ == 0 ? "]" : "\n  ]");
    }

private:
    void Flush() {
        if (!file_ || pending_.empty()) return;
        std::fwrite(pending_.data(), 1, pending_.size(), file_);
        pending_.clear();
    }

    std::FILE* file_;
    std::string pending_;
    std::size_t items_ = 0;
};

class JsonReport final : public ErrorReport {
public:
    JsonReport(std::string_view fileName, std::FILE* out)
        // JSON can carry every character of the name itself.
        : file_(fileName == "-" ? "<stdin>" : fileName), out_(out) {}

    void AppendLine(std::string_view line) override {
        log_.NextItem() << JsonString(line);
        lastLine_.assign(line);
    }
    void TakeErrorPlace(const kmp::ErrorPlace& e) override {
        ++errors_;
        errorItems_.NextItem() << "{\"line\": " << e.line + 1 << ", \"column\": " << e.column + 1
                               << ", \"length\": " << e.length
                               << ", \"printed_line\": " << e.printedLine
                               << ", \"printed_position\": " << e.printedPosition
                               << ", \"number\": " << e.number
                               << ", \"message\": " << JsonString(BareMessage(e.message))
                               << ", \"hint\": "
                               << (e.hint.empty() ? std::string("null") : JsonString(e.hint))
                               << "}";
    }
    void Finish(const CompileOutcome& outcome) override {
        const std::string_view failure = FailureText(outcome, errors_, lastLine_);
        Writer out(out_);
        out << "{\n  \"file\": " << JsonString(file_);
        out << ",\n  \"success\": " << (outcome.ok ? "true" : "false");
        out << ",\n  \"errors\": ";
        errorItems_.CopyTo(out);
        out << ",\n  \"failure\": "
            << (failure.empty() ? std::string("null") : JsonString(failure));
        out << ",\n  \"log\": ";
        log_.CopyTo(out);
        out << ",\n  \"listing\": ";
        WriteListing(out, outcome);
        out << ",\n  \"image\": ";
        WriteImage(out, outcome);
        out << "\n}\n";
    }

private:
    static void WriteListing(Writer& out, const CompileOutcome& outcome) {
        out << "[";
        std::string_view text = outcome.listing;
        for (std::size_t i = 0; !text.empty(); ++i) {
            const std::size_t end = text.find('\n');
            const std::vector<int>& sources = *outcome.listingSourceLines;
            const int source = i < sources.size() ? sources[i] : -1;
            out << (i == 0 ? "\n    " : ",\n    ")
                << "{\"text\": " << JsonString(text.substr(0, end)) << ", \"source_line\": ";
            if (source < 0) {
                out << "null}";
            } else {
                out << source + 1 << "}";
            }
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        }
        out << (outcome.listing.empty() ? "]" : "\n  ]");
    }
    static void WriteImage(Writer& out, const CompileOutcome& outcome) {
        if (!outcome.ok || !outcome.image) {
            out << "null";
            return;
        }
        const kmp::ProgramImage& image = *outcome.image;
        out << "[";
        for (std::size_t i = 0; i < image.size(); ++i) {
            if (i > 0) out << (i % 16 == 0 ? ",\n    " : ", ");
            out << image[i];
        }
        out << "]";
    }

    const std::string file_;
    std::FILE* out_;
    Spill errorItems_;
    Spill log_;
    int errors_ = 0;
    std::string lastLine_;
};

}  // namespace

ErrorFormat ParseErrorFormat(std::string_view text) {
    if (text == "gnu") return ErrorFormat::Gnu;
    if (text == "json") return ErrorFormat::Json;
    throw UsageError("invalid value '" + std::string(text) + "' for --errors (allowed gnu, json)");
}

std::string ShownFileName(std::string_view fileName) {
    return fileName == "-" ? std::string("<stdin>") : PrintableName(fileName);
}

std::unique_ptr<ErrorReport> MakeErrorReport(ErrorFormat format, std::string_view fileName,
                                             std::FILE* out, std::FILE* err) {
    if (format == ErrorFormat::Json) return std::make_unique<JsonReport>(fileName, out);
    return std::make_unique<GnuReport>(fileName, err);
}

}  // namespace kmpc
