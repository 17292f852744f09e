#include "labels.h"

#include "compile_state.h"
#include "error_report.h"
#include "listing.h"
#include "literal_readers.h"
#include "messages.h"

#include <string>

namespace kmp {

bool LabelExists(std::string_view name) {
    for (const std::string& label : LabelAtAddress) {
        if (label == name) return true;
    }
    return false;
}

std::uint8_t LabelAddress(std::string_view name) {
    for (std::size_t a = 0; a < LabelAtAddress.size(); ++a) {
        if (LabelAtAddress[a] == name) return static_cast<std::uint8_t>(a);
    }
    return 4;
}

// label = labelname
void DefineLabel() {
    std::string name = ReadLabelName();
    const bool duplicate = LabelExists(name);
    if (duplicate) ReportLabelError(Places.name, msg::kDuplicateLabel, name);
    if (WritePos >= kCodeImageSize) throw RangeCheckError();
    // A label already at this address is replaced; the earlier name is gone.
    if (!duplicate) {
        LabelAtAddress[WritePos] = std::move(name);
        Places.labelLineAt[WritePos] = Places.name.line;
    }
    AppendLabelLine(WritePos, LabelAtAddress[WritePos], Places.name.line);
}

void ResolveJumps() {
    for (std::size_t i = 0; i < JumpTargetAt.size(); ++i) {
        const std::string& target = JumpTargetAt[i];
        if (target.empty()) continue;
        if (LabelExists(target)) {
            CodeImage[i] = LabelAddress(target);
        } else {
            ReportLabelError(Places.jumpTargetSpanAt[i], msg::kUnknownLabel, target);
        }
    }
}

}  // namespace kmp
