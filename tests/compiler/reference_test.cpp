// The language reference (docs/jazyk.md and its English docs/language.md):
// every program example compiles, every keyword of the language is in it,
// and both versions have the same structure.
#include "compiler_test_support.h"
#include "scanner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kmp::test {
namespace {

std::string ReadDoc(const std::string& name) {
    std::ifstream in(std::string(KMP_SOURCE_DIR "/docs/") + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The program examples: the blocks fenced as kmp.
std::vector<std::string> Examples(const std::string& doc) {
    std::vector<std::string> examples;
    for (std::size_t at = doc.find("```kmp\n"); at != std::string::npos;
         at = doc.find("```kmp\n", at)) {
        at += 7;
        const std::size_t end = doc.find("```", at);
        examples.push_back(doc.substr(at, end - at));
        at = end + 3;
    }
    return examples;
}

// The headings, by their level only.
std::string Outline(const std::string& doc) {
    std::string outline;
    std::istringstream lines(doc);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("#")) outline += line.substr(0, line.find(' ')) + "\n";
    return outline;
}

class ReferenceTest : public testing::TestWithParam<const char*> {};

TEST_P(ReferenceTest, ExamplesCompileAndEveryKeywordIsThere) {
    const std::string doc = ReadDoc(GetParam());
    ASSERT_FALSE(doc.empty());
    const std::vector<std::string> examples = Examples(doc);
    EXPECT_EQ(examples.size(), 7u);
    for (const std::string& example : examples) {
        SCOPED_TRACE(example);
        const RunResult r = Compile(example);
        EXPECT_TRUE(r.compiledOk) << (r.log.empty() ? "" : r.log.back());
    }
    for (const std::string_view keyword : LanguageKeywords())
        EXPECT_NE(doc.find(keyword), std::string::npos) << keyword;
    EXPECT_NE(doc.find("62"), std::string::npos);
    EXPECT_EQ(Outline(doc), Outline(ReadDoc("jazyk.md")));
}

INSTANTIATE_TEST_SUITE_P(
    Docs, ReferenceTest, testing::Values("jazyk.md", "language.md"), [](const auto& param) {
        return std::string(param.param).substr(0, std::string(param.param).find('.'));
    });

}  // namespace
}  // namespace kmp::test
