#include "error_hints.h"

#include "messages.h"

#include <cctype>

namespace kmp {
namespace {

// The keywords that begin a statement, and KONIEC that ends the program.
constexpr std::string_view kStatementKeywords[] = {"VYSTUP", "CASOVANIE", "RESET", "ROTUJ",
                                                   "OPAKUJ", "AK",        "KONIEC"};

// A Windows-1250 letter in upper case without its diacritic mark; 0 for a
// byte that is no letter.
char PlainUpper(unsigned char c) {
    if (std::isalpha(c)) return static_cast<char>(std::toupper(c));
    struct Plain {
        unsigned char byte;
        char plain;
    };
    static constexpr Plain kMarked[] = {
        {0xE1, 'A'}, {0xE4, 'A'}, {0xC1, 'A'}, {0xC4, 'A'}, {0xE8, 'C'}, {0xC8, 'C'},
        {0xEF, 'D'}, {0xCF, 'D'}, {0xE9, 'E'}, {0xC9, 'E'}, {0xED, 'I'}, {0xCD, 'I'},
        {0xE5, 'L'}, {0xC5, 'L'}, {0xBE, 'L'}, {0xBC, 'L'}, {0xF2, 'N'}, {0xD2, 'N'},
        {0xF3, 'O'}, {0xD3, 'O'}, {0xF4, 'O'}, {0xD4, 'O'}, {0xE0, 'R'}, {0xC0, 'R'},
        {0x9A, 'S'}, {0x8A, 'S'}, {0x9D, 'T'}, {0x8D, 'T'}, {0xFA, 'U'}, {0xDA, 'U'},
        {0xF9, 'U'}, {0xD9, 'U'}, {0xFD, 'Y'}, {0xDD, 'Y'}, {0x9E, 'Z'}, {0x8E, 'Z'}};
    for (const Plain& m : kMarked)
        if (m.byte == c) return m.plain;
    return 0;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The byte offset where the line of `offset` begins.
std::int32_t LineStart(std::int32_t offset) {
    while (offset > 0 && SourceText[static_cast<std::size_t>(offset - 1)] != '\n' &&
           SourceText[static_cast<std::size_t>(offset - 1)] != '\r')
        --offset;
    return offset;
}

// The keyword meant by the first word of the line of `offset`, when that
// word is one written in lower case or with diacritics; else empty.
std::string_view MisspelledKeyword(std::int32_t offset) {
    std::int32_t at = LineStart(offset);
    while (at < SourceLength && IsBlank(SourceText[static_cast<std::size_t>(at)])) ++at;
    std::string written, plain;
    for (; at < SourceLength; ++at) {
        const auto c = static_cast<unsigned char>(SourceText[static_cast<std::size_t>(at)]);
        const char upper = PlainUpper(c);
        if (upper == 0) break;
        written += static_cast<char>(c);
        plain += upper;
    }
    for (const std::string_view keyword : kStatementKeywords)
        if (plain == keyword && written != keyword) return keyword;
    return {};
}

// A tab, or a blank after a blank inside the line's statement.
bool ExtraBlank(std::int32_t offset) {
    if (offset >= SourceLength) return false;
    const char c = SourceText[static_cast<std::size_t>(offset)];
    if (c == '\t') return true;
    if (c != ' ' || offset == 0 || !IsBlank(SourceText[static_cast<std::size_t>(offset - 1)]))
        return false;
    // Blanks that only indent the line are no slip.
    for (std::int32_t i = LineStart(offset); i < offset; ++i)
        if (!IsBlank(SourceText[static_cast<std::size_t>(i)])) return true;
    return false;
}

// `name` without blanks, in upper case.
std::string Folded(std::string_view name) {
    std::string folded;
    for (const char c : name)
        if (!IsBlank(c)) folded += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return folded;
}

// "Podobné návestie „NAME“ je na riadku N." for a defined label that
// differs from `target` only in blanks or letter case.
std::string SimilarLabel(std::string_view target) {
    const std::string folded = Folded(target);
    for (std::size_t a = 0; a < LabelAtAddress.size(); ++a) {
        const std::string& label = LabelAtAddress[a];
        if (label.empty() || label == target || Folded(label) != folded) continue;
        return "Podobné návestie „" + label + "“ je na riadku " +
               std::to_string(Places.labelLineAt[a] + 1) + ".";
    }
    return {};
}

}  // namespace

std::string ErrorHint(std::string_view message, const TextSpan& at, std::string_view label) {
    if (message == msg::kUnknownLabel) return SimilarLabel(label);
    if (message == msg::kExpectedEnd && at.offset >= SourceLength)
        return "Program musí končiť príkazom KONIEC.";
    // The slips of a statement's words are told once, at its first error.
    if (at.line == Places.hintedLine) return {};
    std::string hint;
    if (const std::string_view keyword = MisspelledKeyword(at.offset); !keyword.empty()) {
        hint = "Kľúčové slová sa píšu veľkými písmenami bez diakritiky, napríklad " +
               std::string(keyword) + ".";
    } else if (ExtraBlank(at.offset)) {
        hint = "Na tomto mieste má byť práve jedna medzera (nie tabulátor).";
    }
    if (!hint.empty()) Places.hintedLine = at.line;
    return hint;
}

std::string MarkTooltip(const ErrorPlace& place) {
    std::string_view message = place.message;
    if (message.starts_with(" : ")) message.remove_prefix(3);
    std::string tooltip(message);
    if (!place.hint.empty()) tooltip += '\n' + place.hint;
    return tooltip;
}

}  // namespace kmp
