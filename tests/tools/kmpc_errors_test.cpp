// kmpc --errors gnu and --errors json: the lines an editor reads, the JSON a
// script reads, and that both leave the exit status and listing as they are.
#include "json_text.h"
#include "run_process.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

namespace fs = std::filesystem;

ProcessResult Kmpc(std::vector<std::string> args, const std::string& input = {}) {
    args.insert(args.begin(), KMPC_PATH);
    return RunProcess(args, input, {"LC_ALL=C"});
}

// A program file in a fresh folder, with a name that has a space and a colon.
class KmpcErrors : public TempFolderTest {};

// UTF-8 text, LF line ends; "ž" is one character of the editor's text.
const std::string kFaulty =
    "PROGRAM p:\n"
    "VYSTUP(0,0,0)CAS 1\n"
    "  moj cyklus :\n"
    "Moj:\n"
    "Moj:\n"
    " AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK Dalej:\n"
    "  RESET ž\n"
    "KONIEC\n";

struct Expected {
    int line, column;
    std::string token;  // what stands at the column
    std::string message;
};

const std::vector<Expected> kFaultyErrors = {
    {2, 14, "CAS", "očakávala sa medzera"},
    {3, 14, ":", "očakávalo sa veľké, malé písmeno alebo číslica"},
    {5, 1, "Moj", "názvy návestí sa nesmú opakovať, duplicitný názov návestia: Moj"},
    {7, 9, "ž", "očakával sa nový riadok"},
    {7, 9, "ž", "očakával sa príkaz KONIEC alebo iné platné príkazy"},
    {6, 40, "Dalej", "neznáme návestie: Dalej"},
};

// The characters of a UTF-8 line, one string each.
std::vector<std::string> Characters(const std::string& line) {
    std::vector<std::string> chars;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t n = 1;
        const auto lead = static_cast<unsigned char>(line[i]);
        if (lead >= 0xF0)
            n = 4;
        else if (lead >= 0xE0)
            n = 3;
        else if (lead >= 0xC0)
            n = 2;
        chars.push_back(line.substr(i, n));
        i += n;
    }
    return chars;
}

// The text at 1-based `line` and `column` (in characters), `length` characters long.
std::string TextAt(const std::string& text, int line, int column, std::size_t length) {
    const std::vector<std::string> lines = SplitLines(text);
    if (line < 1 || line > static_cast<int>(lines.size())) return "<no line>";
    const std::vector<std::string> chars = Characters(lines[static_cast<std::size_t>(line - 1)]);
    std::string at;
    for (std::size_t i = static_cast<std::size_t>(column - 1); i < chars.size() && length > 0;
         ++i, --length) {
        at += chars[i];
    }
    return at;
}

TEST_F(KmpcErrors, GnuLinesReadByTheEditorsRule) {
    const std::string file = Write("dva riadky:chyby.txt", kFaulty);
    const ProcessResult r = Kmpc({"--errors", "gnu", file});
    EXPECT_EQ(r.status, 1);
    // vim's "%f:%l:%c: %m": the shortest file name after which the rest fits.
    const std::regex rule("(.+?):([0-9]+):([0-9]+): (.*)");
    const std::vector<std::string> lines = SplitLines(r.err);
    ASSERT_EQ(lines.size(), kFaultyErrors.size()) << r.err;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, rule));
        const Expected& e = kFaultyErrors[i];
        EXPECT_EQ(m[1], file);
        EXPECT_EQ(std::stoi(m[2]), e.line);
        EXPECT_EQ(std::stoi(m[3]), e.column);
        EXPECT_EQ(m[4], "error: " + e.message);
        EXPECT_EQ(TextAt(kFaulty, e.line, e.column, Characters(e.token).size()), e.token);
    }
    EXPECT_EQ(r.out, Kmpc({file}).out) << "the listing stays on standard output";
}

// vim itself reads the lines into its quickfix list where it is installed:
// with the errorformat that the manual gives (any file name), and with its
// default one (a file name without a colon).
TEST_F(KmpcErrors, VimQuickfixList) {
    if (!fs::exists("/usr/bin/vim")) GTEST_SKIP() << "vim is not installed";
    struct Run {
        std::string fileName;
        std::string errorformat;  // empty: vim's default
    };
    for (const Run& run :
         {Run{"dva riadky:chyby.txt", "%f:%l:%c:\\ error:\\ %m"}, Run{"dva riadky.txt", ""}}) {
        SCOPED_TRACE(run.fileName);
        const std::string file = Write(run.fileName, kFaulty);
        const std::string errors = Write("errors.txt", Kmpc({"--errors", "gnu", file}).err);
        const std::string list = (dir_ / "quickfix.txt").string();
        std::vector<std::string> vim = {"/usr/bin/vim", "-es", "-N", "-u", "NONE", "-i", "NONE"};
        if (!run.errorformat.empty()) vim.insert(vim.end(), {"-c", "set efm=" + run.errorformat});
        vim.insert(vim.end(),
                   {"-c", "cgetfile " + errors, "-c",
                    "call writefile(map(getqflist(), {_, e -> bufname(e.bufnr) . '|' . e.lnum . "
                    "'|' . e.col . '|' . e.valid . '|' . e.text}), '" +
                        list + "')",
                    "-c", "qa!"});
        ASSERT_EQ(RunProcess(vim).status, 0);
        std::ifstream in(list);
        std::vector<std::string> expected;
        for (const Expected& e : kFaultyErrors) {
            expected.push_back(file + "|" + std::to_string(e.line) + "|" +
                               std::to_string(e.column) + "|1|" +
                               (run.errorformat.empty() ? " error: " : "") + e.message);
        }
        EXPECT_EQ(
            SplitLines({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}),
            expected);
    }
}

struct GnuCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string err;
};

class KmpcGnuLines : public testing::TestWithParam<GnuCase> {};

TEST_P(KmpcGnuLines, OneLinePerError) {
    const ProcessResult r = Kmpc(GetParam().args, GetParam().input);
    EXPECT_EQ(r.err, GetParam().err);
}

std::string TooLong() {
    std::string text = "PROGRAM p:\n";
    for (int i = 0; i < 63; ++i) text += "RESET\n";
    return text + "KONIEC\n";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KmpcGnuLines,
    testing::Values(
        GnuCase{"StandardInput",
                {"--errors=gnu", "-"},
                "PROGRAM p:\r\nRESET",
                "<stdin>:2:6: error: očakával sa nový riadok\n"
                "<stdin>:2:6: error: očakával sa príkaz KONIEC alebo iné platné príkazy\n"
                "<stdin>:2:6: note: Program musí končiť príkazom KONIEC.\n"},
        GnuCase{"NoteAfterItsError",
                {"--errors", "gnu", "-"},
                "PROGRAM p:\nVYSTUP(1,0,0)  CAS 10\nKONIEC\n",
                "<stdin>:2:15: error: očakával sa príkaz CAS\n"
                "<stdin>:2:15: note: Na tomto mieste má byť práve jedna medzera (nie tabulátor).\n"
                "<stdin>:2:16: error: očakávala sa celočíselna konštanta\n"
                "<stdin>:2:16: error: očakával sa nový riadok\n"
                "<stdin>:2:16: error: očakával sa príkaz KONIEC alebo iné platné príkazy\n"},
        GnuCase{"Success", {"--errors", "gnu", "-"}, "PROGRAM p:\nKONIEC\n", ""},
        GnuCase{"EmptyText",
                {"--errors", "gnu", "-"},
                "",
                "<stdin>:1:1: error: ! chyba: nie je tu žiadny program na preloženie\n"},
        GnuCase{"Abandoned",
                {"--errors", "gnu", "-"},
                TooLong(),
                "<stdin>:64:1: error: Range check error.\n"
                "<stdin>:64:1: note: Program môže mať najviac 62 príkazov.\n"}),
    [](const testing::TestParamInfo<GnuCase>& param) { return std::string(param.param.name); });

// Runs python's json module over `json`; prints what `script` makes of it.
ProcessResult Python(const std::string& json, const std::string& script) {
    return RunProcess(
        {"/usr/bin/python3", "-c", "import json, sys\nd = json.load(sys.stdin)\n" + script}, json);
}

TEST_F(KmpcErrors, JsonParsesAndMatchesTheLog) {
    const std::string file = Write("chyby.txt", kFaulty);
    const ProcessResult json = Kmpc({"--errors", "json", file});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.err, "");
    // Each error as its log line would print it, then its true place.
    const ProcessResult py =
        Python(json.out,
               "assert d['success'] is False and d['image'] is None and d['failure'] is None\n"
               "for e in d['errors']:\n"
               "    print('%d. riadok, pozícia:%d  ! Chyba č. %d : %s' % (e['printed_line'],"
               " e['printed_position'], e['number'], e['message']))\n"
               "for e in d['errors']:\n"
               "    print(e['line'], e['column'], e['length'])\n"
               "print(len(d['listing']), d['listing'][1]['source_line'])\n");
    ASSERT_EQ(py.status, 0) << py.err << json.out;
    std::vector<std::string> logErrors;
    for (const std::string& line : SplitLines(Kmpc({file}).err)) {
        if (line.find("  ! Chyba č. ") != std::string::npos) logErrors.push_back(line);
    }
    ASSERT_EQ(logErrors.size(), kFaultyErrors.size());
    std::vector<std::string> expected = logErrors;
    for (const Expected& e : kFaultyErrors) {
        expected.push_back(std::to_string(e.line) + " " + std::to_string(e.column) + " " +
                           std::to_string(Characters(e.token).size()));
    }
    expected.push_back("7 2");  // header, VYSTUP (line 2), moj cyklus, Moj, Moj, AK, RESET
    EXPECT_EQ(SplitLines(py.out), expected);
}

TEST_F(KmpcErrors, JsonOfASuccessfulRun) {
    const std::string file = Write("p.txt", "PROGRAM x:\nRESET\nKONIEC\n");
    const std::string image = (dir_ / "p.bin").string();
    const ProcessResult json = Kmpc({"--errors", "json", "-o", image, file});
    EXPECT_EQ(json.status, 0);
    const ProcessResult py =
        Python(json.out,
               "assert d['success'] is True and d['errors'] == [] and d['failure'] is None\n"
               "print(bytes(d['image']).hex())\n"
               "print('|'.join('%s=%s' % (l['text'], l['source_line']) for l in d['listing']))\n"
               "print(d['log'][0], d['log'][-1][:6])\n");
    ASSERT_EQ(py.status, 0) << py.err << json.out;
    std::ifstream in(image, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string hex;
    for (const char c : bytes) {
        static constexpr char kHex[] = "0123456789abcdef";
        hex += kHex[static_cast<unsigned char>(c) >> 4];
        hex += kHex[static_cast<unsigned char>(c) & 0xF];
    }
    EXPECT_EQ(SplitLines(py.out),
              (std::vector<std::string>{hex, "0: 200 1 0 3 =1|4: 255 255=2|6: 255 255=None",
                                        "Začínam prekladať... Môžete"}));
}

// A file name with a quote, a backslash and a tab reaches the script as it is.
TEST_F(KmpcErrors, JsonFileNameIsEscaped) {
    const std::string file = Write("a\"b\\c\td.txt", "PROGRAM x:\nKONIEC\n");
    const ProcessResult json = Kmpc({"--errors", "json", file});
    const ProcessResult py = Python(json.out, "sys.stdout.write(d['file'])\n");
    ASSERT_EQ(py.status, 0) << py.err << json.out;
    EXPECT_EQ(py.out, file);
}

// Two million errors: both formats are written as the run goes, so the run
// fits into 300 MB of address space (keeping them took about 650 MB).
TEST_F(KmpcErrors, MillionsOfErrorsInBoundedMemory) {
    const fs::path file = dir_ / "chyby.txt";
    const fs::path out = dir_ / "out", err = dir_ / "err";
    {
        std::ofstream text(file, std::ios::binary);
        text << "PROGRAM p:\n";
        for (int i = 0; i < 1'000'000; ++i) text << "12\n";
        text << "KONIEC\n";
    }
    for (const char* format : {"gnu", "json"}) {
        SCOPED_TRACE(format);
        // The ends of what it wrote, and its own exit status.
        const ProcessResult r = RunProcess(
            {"/bin/sh", "-c",
             std::string("ulimit -v 300000; \"$0\" --errors ") + format +
                 " \"$1\" >\"$2\" 2>\"$3\"; s=$?; tail -c 300 \"$2\"; tail -c 300 \"$3\" >&2; "
                 "exit $s",
             KMPC_PATH, file.string(), out.string(), err.string()},
            {}, {"LC_ALL=C"});
        EXPECT_EQ(r.status, 1) << r.err;
        if (std::string(format) == "gnu") {
            EXPECT_NE(r.err.find("názvy návestí sa nesmú opakovať"), std::string::npos);
        } else {
            EXPECT_TRUE(r.out.ends_with("\"image\": null\n}\n")) << r.out;
        }
    }
}

struct StatusCase {
    const char* name;
    std::string input;
    int status;
};

class KmpcErrorsStatus : public testing::TestWithParam<StatusCase> {};

// The exit status is the same in every format; gnu keeps the listing.
TEST_P(KmpcErrorsStatus, SameAsTheLog) {
    const StatusCase& c = GetParam();
    const ProcessResult log = Kmpc({"-"}, c.input);
    const ProcessResult gnu = Kmpc({"--errors", "gnu", "-"}, c.input);
    const ProcessResult json = Kmpc({"--errors", "json", "-"}, c.input);
    EXPECT_EQ(log.status, c.status);
    EXPECT_EQ(gnu.status, c.status);
    EXPECT_EQ(json.status, c.status);
    EXPECT_EQ(gnu.out, log.out);
    const ProcessResult py =
        Python(json.out, "print(d['success'], len(d['errors']), len(d['log']))\n");
    int errorLines = 0;
    for (const std::string& line : SplitLines(log.err))
        errorLines += line.find("  ! Chyba č. ") != std::string::npos ? 1 : 0;
    EXPECT_EQ(py.out, std::string(c.status == 0 ? "True " : "False ") + std::to_string(errorLines) +
                          " " + std::to_string(SplitLines(log.err).size()) + "\n")
        << json.out;
}

INSTANTIATE_TEST_SUITE_P(Cases, KmpcErrorsStatus,
                         testing::Values(StatusCase{"Compiles", "PROGRAM x:\nRESET\nKONIEC\n", 0},
                                         StatusCase{"Errors", kFaulty, 1},
                                         StatusCase{"Empty", "", 1},
                                         StatusCase{"TooLong", TooLong(), 1}),
                         [](const testing::TestParamInfo<StatusCase>& param) {
                             return std::string(param.param.name);
                         });

struct JsonStringCase {
    const char* name;
    std::string text;
    std::string json;
};

class JsonStrings : public testing::TestWithParam<JsonStringCase> {};

TEST_P(JsonStrings, EscapedAndValidUtf8) {
    EXPECT_EQ(kmpc::JsonString(GetParam().text), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonStrings,
    testing::Values(
        JsonStringCase{"Plain", "0: 200 1 0 3 ", "\"0: 200 1 0 3 \""},
        JsonStringCase{"QuoteAndBackslash", "\":\" a\\b", "\"\\\":\\\" a\\\\b\""},
        JsonStringCase{"ControlCharacters", std::string("\n\r\t\b\f\x01\x1f\x7f", 8) + '\0',
                       "\"\\n\\r\\t\\b\\f\\u0001\\u001f\\u007f\\u0000\""},
        JsonStringCase{"Utf8Kept", "očakávala ľ €𝄞", "\"očakávala ľ €𝄞\""},
        JsonStringCase{"Windows1250Byte",
                       "\x9a"
                       "a",
                       "\"\xEF\xBF\xBD"
                       "a\""},
        JsonStringCase{"CutSequence", "\xC5", "\"\xEF\xBF\xBD\""},
        JsonStringCase{"Overlong", "\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
        JsonStringCase{"Surrogate", "\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""}),
    [](const testing::TestParamInfo<JsonStringCase>& param) {
        return std::string(param.param.name);
    });

}  // namespace
}  // namespace kmp::test
