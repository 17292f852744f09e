#include "listing.h"

#include "compile_state.h"

#include <string>

namespace kmp {

void AppendHeaderLine() {
    std::string line = "0: ";
    for (int i = 0; i < 4; ++i) {
        line += std::to_string(CodeImage[i]);
        line += ' ';
    }
    ListingView->AppendLine(line);
}

void AppendLabelLine(int address, std::string_view name) {
    std::string line = std::to_string(address);
    line += ": ";
    line += name;
    ListingView->AppendLine(line);
}

void AppendInstructionLine(int address, std::uint8_t low, std::uint8_t high, bool trailingSpace) {
    std::string line = std::to_string(address);
    line += ": ";
    line += std::to_string(low);
    line += ' ';
    line += std::to_string(high);
    if (trailingSpace) line += ' ';
    ListingView->AppendLine(line);
}

void WriteFinalListing(int endAddress) {
    ListingView->Clear();
    ListingView->SetColor(kColorLime);
    AppendHeaderLine();
    for (int a = 4; a <= endAddress && a < kCodeImageSize; a += 2) {
        if (!LabelAtAddress[a].empty()) AppendLabelLine(a, LabelAtAddress[a]);
        AppendInstructionLine(a, CodeImage[a], CodeImage[a + 1], false);
    }
}

}  // namespace kmp
