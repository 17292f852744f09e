// Help on the language where programs are written, for the window and the
// page alike: the reference (docs/jazyk.md, in English docs/language.md,
// built in), its statement sections and their form paragraphs, the
// statement templates and the keyword under a position.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kmp {

enum class HelpLanguage { Slovak, English };

// The whole reference in Markdown.
std::string_view ReferenceMarkdown(HelpLanguage language);

// One statement's template as Ctrl+Space offers it, sorted as offered.
std::span<const std::string_view> StatementTemplates();

// Where a template's first value (its first lone 0) lies, to be selected
// after the insertion; {size, 0} when it has none (the cursor goes to the
// end, where OPAKUJ and AK take their label).
struct TemplateValue {
    std::size_t start;
    std::size_t length;
};
TemplateValue FirstTemplateValue(std::string_view statementTemplate);

// What the text of a line before the cursor offers: the upper-case letters
// just before the cursor (`typed`, which the chosen template replaces) and
// the templates that begin with them. Asked for (Ctrl+Space), every such
// template; while typing, only where a statement begins (blanks before),
// from two letters on, and not once they are a whole statement (KONIEC).
struct TemplateOffer {
    std::string_view typed;
    std::vector<std::string_view> templates;
};
TemplateOffer OfferedTemplates(std::string_view lineBeforeCursor, bool asked);

// The language keyword that the word at byte `column` of `line` is (also
// with the column just after it), or empty.
std::string_view KeywordAt(std::string_view line, std::size_t column);

// The keyword that begins the statement of `line` (its first word), or empty.
std::string_view StatementKeyword(std::string_view line);

// The reference's statement sections ("### VYSTUP" and the paragraph of
// its form below).
class LanguageReference {
public:
    explicit LanguageReference(std::string_view markdown);
    // The built-in reference in `language`, read once.
    static const LanguageReference& Of(HelpLanguage language);

    std::string_view Markdown() const { return markdown_; }
    // The heading (without "### ") of the section whose form holds
    // `keyword` as a word, first of all the statement's own ("VYSTUP" for
    // VYSTUP and CAS); empty when none does.
    std::string SectionOf(std::string_view keyword) const;
    // That section's form paragraph on one line, without backquotes.
    std::string FormOf(std::string_view keyword) const;

private:
    struct Section {
        std::string title;
        std::string form;
    };
    const Section* Find(std::string_view keyword) const;

    std::string markdown_;
    std::vector<Section> sections_;
};

}  // namespace kmp
