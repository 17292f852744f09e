#include "listing.h"

#include "compile_state.h"

#include <string>

namespace kmp {
namespace {

void Append(const std::string& line, int sourceLine) {
    ListingView->AppendLine(line);
    Places.result.listingSourceLines.push_back(sourceLine);
}

}  // namespace

void StartListing(std::uint32_t color) {
    ListingView->Clear();
    Places.result.listingSourceLines.clear();
    ListingView->SetColor(color);
    std::string line = "0: ";
    for (int i = 0; i < 4; ++i) {
        line += std::to_string(CodeImage[i]);
        line += ' ';
    }
    Append(line, Places.programLine);
}

void SetHeaderSourceLine(int sourceLine) {
    Places.programLine = sourceLine;
    std::vector<int>& lines = Places.result.listingSourceLines;
    if (!lines.empty()) lines.front() = sourceLine;
}

void AppendLabelLine(int address, std::string_view name, int sourceLine) {
    std::string line = std::to_string(address);
    line += ": ";
    line += name;
    Append(line, sourceLine);
}

void AppendInstructionLine(int address, std::uint8_t low, std::uint8_t high, bool trailingSpace,
                           int sourceLine) {
    std::string line = std::to_string(address);
    line += ": ";
    line += std::to_string(low);
    line += ' ';
    line += std::to_string(high);
    if (trailingSpace) line += ' ';
    Append(line, sourceLine);
}

void WriteFinalListing(int endAddress) {
    StartListing(kColorLime);
    for (int a = 4; a <= endAddress && a < kCodeImageSize; a += 2) {
        if (!LabelAtAddress[a].empty())
            AppendLabelLine(a, LabelAtAddress[a], Places.labelLineAt[a]);
        AppendInstructionLine(a, CodeImage[a], CodeImage[a + 1], false,
                              Places.instructionLineAt[a]);
    }
}

}  // namespace kmp
