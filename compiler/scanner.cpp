#include "scanner.h"

#include "compile_state.h"

#include <cstring>
#include <span>
#include <string_view>

namespace kmp {
namespace {

struct Keyword {
    std::string_view text;
    Token kind;
};

// Candidate keywords of each letter, in the order in which they are tried.
// Longer keywords come before their prefixes (CASOVANIE before CAS).
constexpr Keyword kA[] = {{"AK", Token::AK}, {"AND", Token::AND}};
constexpr Keyword kC[] = {{"CASOVANIE", Token::CASOVANIE}, {"CAS", Token::CAS}};
constexpr Keyword kD[] = {
    {"DOLAVA", Token::DOLAVA}, {"DOPRAVA", Token::DOPRAVA}, {"DIGITAL", Token::DIGITAL}};
constexpr Keyword kK[] = {{"KOMPARATOR", Token::KOMPARATOR}, {"KONIEC", Token::KONIEC}};
constexpr Keyword kN[] = {{"NOR", Token::NOR},
                          {"NAND", Token::NAND},
                          {"NEG_VSTUP2", Token::NEG_VSTUP2},
                          {"NEG_VSTUP1", Token::NEG_VSTUP1}};
constexpr Keyword kO[] = {{"OPAKUJ", Token::OPAKUJ}, {"OR", Token::OR}};
constexpr Keyword kP[] = {{"PERIODA", Token::PERIODA}, {"PROGRAM", Token::PROGRAM}};
constexpr Keyword kR[] = {
    {"RESET", Token::RESET}, {"ROTUJ", Token::ROTUJ}, {"ROZBEH", Token::ROZBEH}};
constexpr Keyword kS[] = {{"STALE", Token::STALE}, {"SKOK", Token::SKOK}};
constexpr Keyword kV[] = {
    {"VSTUP1", Token::VSTUP1}, {"VSTUP2", Token::VSTUP2}, {"VYSTUP", Token::VYSTUP}};

// The candidates of a letter; empty for a letter that begins no keyword.
std::span<const Keyword> CandidatesOf(char letter) {
    switch (letter) {
    case 'A': return kA;
    case 'C': return kC;
    case 'D': return kD;
    case 'K': return kK;
    case 'N': return kN;
    case 'O': return kO;
    case 'P': return kP;
    case 'R': return kR;
    case 'S': return kS;
    case 'V': return kV;
    default: return {};
    }
}

}  // namespace

std::vector<std::string_view> LanguageKeywords() {
    std::vector<std::string_view> keywords;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        for (const Keyword& keyword : CandidatesOf(letter)) keywords.push_back(keyword.text);
    return keywords;
}

namespace {

// The character at a 1-based position inside the text.
char CharAt(std::int32_t pos) {
    return SourceText[static_cast<std::size_t>(pos - 1)];
}

// Compares the keyword with the text at SourcePos, advancing SourcePos over
// every equal character. The end of the text counts as a difference.
bool MatchKeyword(std::string_view keyword) {
    for (char expected : keyword) {
        if (SourcePos > SourceLength || CharAt(SourcePos) != expected) return false;
        ++SourcePos;
    }
    return true;
}

// Keyword matching at an uppercase letter that may begin a keyword: the first
// candidate whose characters all match is the token, else the letter itself.
void ScanKeywordOrLetter(char letter, std::span<const Keyword> candidates) {
    TokenStart = SourcePos;
    for (const Keyword& candidate : candidates) {
        if (MatchKeyword(candidate.text)) {
            TokenKind = candidate.kind;
            return;
        }
        SourcePos = TokenStart;
    }
    TokenKind = Token::UpperLetter;
    CurrentChar = letter;
    SourcePos = TokenStart + 1;
}

// Passes a comment: from the "/" up to the next CR or the end of the text.
void SkipComment() {
    TokenKind = Token::NewLine;
    const auto from = static_cast<std::size_t>(SourcePos);  // just after the "/"
    const auto left = static_cast<std::size_t>(SourceLength) - from;
    const void* cr = left == 0 ? nullptr : std::memchr(SourceText.data() + from, '\r', left);
    if (cr == nullptr) {
        SourcePos = SourceLength + 1;
        ParseStopped = true;
    } else {
        SourcePos = static_cast<std::int32_t>(static_cast<const char*>(cr) - SourceText.data()) + 1;
    }
    ColumnNo = 0;
}

// A single-character token that ends the scan.
void Single(Token kind) {
    TokenKind = kind;
    ++SourcePos;
}

}  // namespace

std::size_t KeywordLengthAt(std::string_view text) {
    if (text.empty()) return 0;
    for (const Keyword& candidate : CandidatesOf(text.front())) {
        if (text.starts_with(candidate.text)) return candidate.text.size();
    }
    return 0;
}

void NextToken() {
    ColumnNo += SourcePos - TokenStart;
    TokenStart = SourcePos;
    if (SourcePos > SourceLength) {
        ParseStopped = true;
        return;
    }
    while (SourcePos <= SourceLength) {
        const char c = CharAt(SourcePos);
        CurrentChar = c;
        switch (c) {
        case '\n':
            TokenKind = Token::NewLine;
            ++SourcePos;
            ++LineNo;
            ColumnNo = 0;
            continue;
        case '\r': return Single(Token::NewLine);
        case ' ': return Single(Token::Space);
        case '(': return Single(Token::LeftParen);
        case ')': return Single(Token::RightParen);
        case ',': return Single(Token::Comma);
        case ':': return Single(Token::Colon);
        case '/': SkipComment(); continue;
        default: break;
        }
        if (const auto candidates = CandidatesOf(c); !candidates.empty()) {
            return ScanKeywordOrLetter(c, candidates);
        }
        if (c >= '0' && c <= '9') return Single(Token::Digit);
        if (c >= 'a' && c <= 'z') return Single(Token::LowerLetter);
        if (c >= 'A' && c <= 'Z') return Single(Token::UpperLetter);
        ParseStopped = true;
        return Single(Token::BadChar);
    }
}

namespace {

bool IsKeyword(Token kind) {
    switch (kind) {
    case Token::NewLine:
    case Token::LeftParen:
    case Token::RightParen:
    case Token::UpperLetter:
    case Token::LowerLetter:
    case Token::Digit:
    case Token::Space:
    case Token::Colon:
    case Token::BadChar:
    case Token::Comma: return false;
    default: return true;
    }
}

// The NewLine that ends at the 0-based `lineEnd` (its CR, or the end of the
// text): the comment that the scan passed on the way, from its "/" to the end
// of its line, or else the line end alone. Only line feeds and a comment lie
// between TokenStart and the line end, so the first "/" there begins it.
TokenExtent LineEndExtent(std::int32_t lineEnd) {
    const char* const text = SourceText.data();
    const std::int32_t from = TokenStart - 1;
    const void* slash = std::memchr(text + from, '/', static_cast<std::size_t>(lineEnd - from));
    if (slash == nullptr) return {lineEnd, 0};
    const auto start = static_cast<std::int32_t>(static_cast<const char*>(slash) - text);
    // In a text with bare LF line ends a comment runs over them; its token
    // ends with its own line.
    const void* lf = std::memchr(text + start, '\n', static_cast<std::size_t>(lineEnd - start));
    const std::int32_t end =
        lf != nullptr ? static_cast<std::int32_t>(static_cast<const char*>(lf) - text) : lineEnd;
    return {start, end - start};
}

}  // namespace

// Worked out from the scanner state when asked, so that the scan itself
// pays nothing for it.
TokenExtent CurrentTokenExtent() {
    // The scan was asked for a token after the end of the text.
    if (TokenStart > SourceLength) return {SourceLength, 0};
    if (TokenKind != Token::NewLine) {
        if (IsKeyword(TokenKind)) return {TokenStart - 1, SourcePos - TokenStart};
        return {SourcePos - 2, 1};
    }
    // A NewLine is a CR that the scan returned at once, or the end of the text.
    if (SourcePos >= 2 && CharAt(SourcePos - 1) == '\r') return LineEndExtent(SourcePos - 2);
    return LineEndExtent(SourceLength);
}

}  // namespace kmp
