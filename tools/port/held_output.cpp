#include "held_output.h"

#include "modes.h"
#include "run.h"

#include <algorithm>
#include <cstdlib>

namespace kmpc {
namespace {

// Less than any buffer of standard output: each piece stays in the buffer
// until its flush, and a failed write shows at that flush.
constexpr std::size_t kPiece = 1024;

}  // namespace

HeldOutput::Memory::Memory() : stream(open_memstream(&text, &size)) {}

HeldOutput::Memory::~Memory() {
    Close();
    std::free(text);
}

void HeldOutput::Memory::Close() {
    if (stream != nullptr) std::fclose(stream);
    stream = nullptr;
}

HeldOutput::HeldOutput() = default;
HeldOutput::~HeldOutput() = default;

int HeldOutput::Release() {
    out_.Close();
    err_.Close();
    int status = kExitOk;
    for (std::size_t at = 0; at < out_.size && status == kExitOk; at += kPiece) {
        std::fwrite(out_.text + at, 1, std::min(kPiece, out_.size - at), stdout);
        status = FinishOutput(kExitOk);
    }
    if (err_.size > 0) std::fwrite(err_.text, 1, err_.size, stderr);
    return status;
}

}  // namespace kmpc
