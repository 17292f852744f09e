#include "language_help.h"

#include "reference_markdown.h"
#include "scanner.h"

#include <algorithm>
#include <array>

namespace kmp {

namespace {

constexpr std::array<std::string_view, 11> kStatementTemplates = {
    "AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK ",
    "AK KOMPARATOR (VSTUP1) AND (VSTUP2) SKOK ",
    "CASOVANIE 0, PERIODA 0",
    "KONIEC",
    "OPAKUJ ",
    "RESET",
    "ROTUJ DOLAVA, ROZBEH 0 CAS 0",
    "ROTUJ DOPRAVA, ROZBEH 0 CAS 0",
    "ROTUJ STALE DOLAVA, ROZBEH 0 CAS 0",
    "ROTUJ STALE DOPRAVA, ROZBEH 0 CAS 0",
    "VYSTUP(0,0,0) CAS 0",
};

// The letters of keywords and label names; a byte of a UTF-8 letter counts
// too, so that a keyword inside a longer Slovak word is no word of its own.
bool InWord(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool IsKeyword(std::string_view word) {
    const std::vector<std::string_view> keywords = LanguageKeywords();
    return std::find(keywords.begin(), keywords.end(), word) != keywords.end();
}

bool ContainsWord(std::string_view text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        const bool startsWord = at == 0 || !InWord(text[at - 1]);
        const std::size_t end = at + word.size();
        if (startsWord && (end == text.size() || !InWord(text[end]))) return true;
    }
    return false;
}

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string_view ReferenceMarkdown(HelpLanguage language) {
    return language == HelpLanguage::English ? kReferenceEnglish : kReferenceSlovak;
}

std::span<const std::string_view> StatementTemplates() {
    return kStatementTemplates;
}

TemplateValue FirstTemplateValue(std::string_view statementTemplate) {
    for (std::size_t i = 0; i < statementTemplate.size(); ++i) {
        if (statementTemplate[i] != '0') continue;
        const bool alone = (i == 0 || !InWord(statementTemplate[i - 1])) &&
                           (i + 1 == statementTemplate.size() || !InWord(statementTemplate[i + 1]));
        if (alone) return {i, 1};
    }
    return {statementTemplate.size(), 0};
}

TemplateOffer OfferedTemplates(std::string_view lineBeforeCursor, bool asked) {
    std::size_t start = lineBeforeCursor.size();
    while (start > 0 && lineBeforeCursor[start - 1] >= 'A' && lineBeforeCursor[start - 1] <= 'Z')
        --start;
    TemplateOffer offer{lineBeforeCursor.substr(start), {}};
    for (const std::string_view text : kStatementTemplates)
        if (text.starts_with(offer.typed)) offer.templates.push_back(text);
    // A statement that the typed keyword already is whole (KONIEC, RESET).
    const bool whole = offer.templates.size() == 1 && offer.templates.front() == offer.typed;
    const bool statementStart = TrimBlanks(lineBeforeCursor.substr(0, start)).empty();
    if (!asked && (offer.typed.size() < 2 || !statementStart || whole)) offer.templates.clear();
    return offer;
}

std::string_view KeywordAt(std::string_view line, std::size_t column) {
    const auto keywordLetter = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    };
    std::size_t start = std::min(column, line.size()), end = start;
    while (start > 0 && keywordLetter(line[start - 1])) --start;
    while (end < line.size() && keywordLetter(line[end])) ++end;
    const std::string_view word = line.substr(start, end - start);
    return IsKeyword(word) ? word : std::string_view();
}

std::string_view StatementKeyword(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : KeywordAt(line, first);
}

LanguageReference::LanguageReference(std::string_view markdown) : markdown_(markdown) {
    // A statement section: its "### " heading, then paragraphs; the one of
    // its form is the first after the heading.
    std::vector<std::string_view> lines;
    const std::string_view text = markdown_;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].starts_with("### ")) continue;
        Section section{std::string(TrimBlanks(lines[i].substr(4))), {}};
        std::size_t j = i + 1;
        while (j < lines.size() && TrimBlanks(lines[j]).empty()) ++j;
        for (; j < lines.size() && !TrimBlanks(lines[j]).empty(); ++j) {
            if (!section.form.empty()) section.form += ' ';
            section.form += lines[j];
        }
        sections_.push_back(std::move(section));
    }
}

const LanguageReference& LanguageReference::Of(HelpLanguage language) {
    static const LanguageReference slovak(ReferenceMarkdown(HelpLanguage::Slovak));
    static const LanguageReference english(ReferenceMarkdown(HelpLanguage::English));
    return language == HelpLanguage::English ? english : slovak;
}

const LanguageReference::Section* LanguageReference::Find(std::string_view keyword) const {
    if (keyword.empty()) return nullptr;
    for (const Section& section : sections_) {
        const std::string_view title = section.title;
        if (title == keyword || (title.starts_with(keyword) && title.size() > keyword.size() &&
                                 title[keyword.size()] == ' '))
            return &section;
    }
    for (const Section& section : sections_)
        if (ContainsWord(section.form, keyword)) return &section;
    return nullptr;
}

std::string LanguageReference::SectionOf(std::string_view keyword) const {
    const Section* section = Find(keyword);
    return section ? section->title : std::string();
}

std::string LanguageReference::FormOf(std::string_view keyword) const {
    const Section* section = Find(keyword);
    if (!section) return {};
    std::string form = section->form;
    std::erase(form, '`');
    return form;
}

}  // namespace kmp
