// The language's help that the window and the page share: the built-in
// reference, its sections and forms, the keyword under a position and the
// statement templates.
#include <language_help.h>
#include <program_spans.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kmp {
namespace {

std::string ReadDoc(const char* name) {
    std::ifstream in(std::string(KMP_SOURCE_DIR "/docs/") + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(LanguageHelp, TheBuiltInReferenceIsTheDocs) {
    EXPECT_EQ(ReferenceMarkdown(HelpLanguage::Slovak), ReadDoc("jazyk.md"));
    EXPECT_EQ(ReferenceMarkdown(HelpLanguage::English), ReadDoc("language.md"));
}

struct OfferCase {
    const char* before;
    bool asked;
    const char* typed;
    std::vector<std::string_view> templates;
};

TEST(LanguageHelp, OfferedTemplates) {
    const auto all = StatementTemplates();
    const std::vector<std::string_view> every(all.begin(), all.end());
    const std::vector<std::string_view> rotations = {
        "ROTUJ DOLAVA, ROZBEH 0 CAS 0", "ROTUJ DOPRAVA, ROZBEH 0 CAS 0",
        "ROTUJ STALE DOLAVA, ROZBEH 0 CAS 0", "ROTUJ STALE DOPRAVA, ROZBEH 0 CAS 0"};
    const OfferCase cases[] = {
        {"", true, "", every},
        {"", false, "", {}},
        {"V", false, "V", {}},
        {"V", true, "V", {"VYSTUP(0,0,0) CAS 0"}},
        {"VY", false, "VY", {"VYSTUP(0,0,0) CAS 0"}},
        {"  \tRO", false, "RO", rotations},
        {"AK",
         false,
         "AK",
         {"AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK ", "AK KOMPARATOR (VSTUP1) AND (VSTUP2) SKOK "}},
        {"KONIEC", false, "KONIEC", {}},
        {"KONIEC", true, "KONIEC", {"KONIEC"}},
        {"RESE", false, "RESE", {"RESET"}},
        {"Z: VY", false, "VY", {}},
        {"Z: VY", true, "VY", {"VYSTUP(0,0,0) CAS 0"}},
        {"vy", true, "", every},
        {"PR", true, "PR", {}},
    };
    for (const OfferCase& c : cases) {
        SCOPED_TRACE(std::string(c.before) + (c.asked ? " (asked)" : ""));
        const TemplateOffer offer = OfferedTemplates(c.before, c.asked);
        EXPECT_EQ(offer.typed, c.typed);
        EXPECT_EQ(offer.templates, c.templates);
    }
    EXPECT_EQ(all.size(), 11u);
}

TEST(LanguageHelp, FirstTemplateValue) {
    const struct {
        std::string_view text;
        std::size_t start, length;
    } cases[] = {
        {"VYSTUP(0,0,0) CAS 0", 7, 1},
        {"CASOVANIE 0, PERIODA 0", 10, 1},
        {"ROTUJ STALE DOLAVA, ROZBEH 0 CAS 0", 27, 1},
        {"OPAKUJ ", 7, 0},
        {"RESET", 5, 0},
        {"AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK ", 38, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        const TemplateValue value = FirstTemplateValue(c.text);
        EXPECT_EQ(value.start, c.start);
        EXPECT_EQ(value.length, c.length);
    }
}

TEST(LanguageHelp, KeywordAtAndStatementKeyword) {
    const struct {
        std::string_view line;
        std::size_t column;
        std::string_view keyword;
    } cases[] = {
        {"  VYSTUP(0,0,0) CAS 1", 2, "VYSTUP"},
        {"  VYSTUP(0,0,0) CAS 1", 5, "VYSTUP"},
        {"  VYSTUP(0,0,0) CAS 1", 8, "VYSTUP"},
        {"  VYSTUP(0,0,0) CAS 1", 17, "CAS"},
        {"  VYSTUP(0,0,0) CAS 1", 20, ""},
        {"  VYSTUP(0,0,0) CAS 1", 0, ""},
        {"VYSTUPY", 3, ""},
        {"vystup", 2, ""},
        {"AK DIGITAL (NEG_VSTUP1)", 14, "NEG_VSTUP1"},
        {"KONIEC", 99, "KONIEC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " @" + std::to_string(c.column));
        EXPECT_EQ(KeywordAt(c.line, c.column), c.keyword);
    }
    EXPECT_EQ(StatementKeyword("\t  ROTUJ STALE DOLAVA"), "ROTUJ");
    EXPECT_EQ(StatementKeyword("Z:"), "");
    EXPECT_EQ(StatementKeyword("   "), "");
}

TEST(LanguageHelp, SectionsAndForms) {
    const struct {
        const char* keyword;
        const char* section;
    } cases[] = {
        {"VYSTUP", "VYSTUP"},     {"CAS", "VYSTUP"},           {"CASOVANIE", "CASOVANIE"},
        {"PERIODA", "CASOVANIE"}, {"RESET", "RESET"},          {"ROZBEH", "ROTUJ"},
        {"STALE", "ROTUJ"},       {"OPAKUJ", "OPAKUJ"},        {"AK", "AK … SKOK"},
        {"SKOK", "AK … SKOK"},    {"NEG_VSTUP2", "AK … SKOK"}, {"", ""},
    };
    for (HelpLanguage language : {HelpLanguage::Slovak, HelpLanguage::English}) {
        const LanguageReference& reference = LanguageReference::Of(language);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.keyword);
            EXPECT_EQ(reference.SectionOf(c.keyword), c.section);
        }
    }
    const LanguageReference& slovak = LanguageReference::Of(HelpLanguage::Slovak);
    const std::string form = slovak.FormOf("CAS");
    EXPECT_TRUE(form.starts_with("Tvar: VYSTUP(a,b,c) CAS t. Nastaví tri výstupy")) << form;
    EXPECT_EQ(form.find('`'), std::string::npos);
    EXPECT_EQ(form.find('\n'), std::string::npos);
    EXPECT_EQ(slovak.FormOf("NIC"), "");
}

// The name a draft is listed by: the word after PROGRAM on the first line
// with a keyword, whatever comes before it.
TEST(ProgramName, IsTheWordAfterProgram) {
    const struct {
        const char* text;
        const char* name;
    } cases[] = {
        {"PROGRAM motor:\nKONIEC\n", "motor"},
        {"// poznamka\n\n  PROGRAM   moj_program:  // x\r\nRESET", "moj_program"},
        {"PROGRAM p?sok:\n", "p?sok"},
        {"PROGRAM\n", ""},
        {"RESET\nPROGRAM neskoro:\n", ""},
        {"program maly:\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramNameOf(c.text), c.name) << c.text;
}

}  // namespace
}  // namespace kmp
