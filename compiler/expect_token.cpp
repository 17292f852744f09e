#include "error_report.h"
#include "scanner.h"
#include "translators.h"

namespace kmp {

void ExpectToken(Token kind, std::string_view message) {
    if (TokenKind == kind) {
        NextToken();
    } else {
        ReportError(message);
    }
}

}  // namespace kmp
