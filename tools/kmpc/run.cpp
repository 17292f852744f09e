#include "run.h"

#include "atomic_file.h"
#include "display_text.h"
#include "editor_text.h"
#include "error_formats.h"
#include "input_file.h"
#include "printable_name.h"
#include "program_file.h"
#include "text_encoding.h"
#include "text_panes.h"
#include "upload_frame.h"

#include <cstring>
#include <stdexcept>
#include <vector>

namespace kmpc {
namespace {

// "kmpc: NAME: REASON" on standard error.
int FileFailure(std::FILE* err, const std::string& name, const std::string& reason) {
    std::fprintf(err, "kmpc: %s: %s\n", PrintableName(name).c_str(), reason.c_str());
    return kExitUsage;
}

// Writes `bytes` to `path` when one is given; false after a message.
bool WriteOutput(const std::string& path, std::string_view bytes, std::FILE* err) {
    if (path.empty()) return true;
    if (const int writeError = kmp::WriteFileReplacing(path, bytes); writeError != 0) {
        FileFailure(err, path, std::strerror(writeError));
        return false;
    }
    return true;
}

}  // namespace

int Run(const Options& options, const kmp::Clock& clock, std::FILE* out, std::FILE* err,
        kmp::ProgramImage* compiledImage) {
    std::string bytes;
    if (std::string reason; !ReadInputBytes(options.inputPath, bytes, reason)) {
        return FileFailure(err, options.inputPath, reason);
    }
    // The window compiles what its editor holds after opening the file.
    const std::string source =
        kmp::EditorTextToSource(kmp::EditorHeldText(kmp::ProgramTextFromFileBytes(bytes)));
    bytes.clear();
    StreamPane log(err);
    // An --errors format takes the log's place; it, too, is written as the
    // run goes, and no run keeps its errors in memory, however many.
    const std::unique_ptr<ErrorReport> report =
        options.errorFormat == ErrorFormat::Log
            ? nullptr
            : MakeErrorReport(options.errorFormat, options.inputPath, out, err);
    kmp::Pane& logPane = report ? static_cast<kmp::Pane&>(*report) : log;
    TextPane listing;
    kmp::CompileResult result;
    kmp::ErrorPlace abandonedAt;
    std::string abandoned;
    int status = kExitOk;
    try {
        result = kmp::CompileProgram(source, options.timing, logPane, listing, clock,
                                     kmp::PlaceRecording::Drop, report.get());
        if (!result.ok) status = kExitCompileFailed;
    } catch (const kmp::RangeCheckError& e) {
        result = e.partial;
        abandonedAt = e.statement;
        abandoned = kmp::DisplayedErrorText(e.what());
        logPane.AppendLine(abandoned);
        status = kExitCompileFailed;
    } catch (const std::length_error& e) {
        return FileFailure(err, options.inputPath, e.what());
    }
    // JSON holds the listing; the GNU lines take the log's place.
    if (options.errorFormat != ErrorFormat::Json) {
        std::fwrite(listing.Text().data(), 1, listing.Text().size(), out);
    }
    if (report)
        report->Finish({listing.Text(), &result.listingSourceLines, abandoned, &abandonedAt,
                        result.ok, &result.image});
    log.Flush();
    if (status != kExitOk) return status;
    if (compiledImage) *compiledImage = result.image;
    std::fflush(out);  // the listing comes first when IMAGE or FRAME is standard output
    const std::string_view image(reinterpret_cast<const char*>(result.image.data()),
                                 result.image.size());
    if (!WriteOutput(options.imagePath, image, err)) return kExitUsage;
    const std::vector<std::uint8_t> frame = kmp::UploadFrame(result.image);
    if (!WriteOutput(options.framePath, {reinterpret_cast<const char*>(frame.data()), frame.size()},
                     err))
        return kExitUsage;
    return status;
}

}  // namespace kmpc
