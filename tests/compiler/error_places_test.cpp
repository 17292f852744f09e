// Where each error's token really stands in the text (the run's error
// places), and the source line of each listing line.
#include "compiler_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kmp::test {
namespace {

std::string Printed(const ErrorPlace& p) {
    return std::to_string(p.printedLine) +
           ". riadok, pozícia:" + std::to_string(p.printedPosition) + "  ! Chyba č. " +
           std::to_string(p.number) + p.message;
}

struct PlaceCase {
    const char* name;
    std::string source;  // exact bytes
    std::size_t index;   // which error of the run
    int line, column, length;
    int printedLine, printedPosition;
    const char* message;
};

const std::string kJump = "AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK ";

const PlaceCase kPlaceCases[] = {
    {"FirstLine", "PROGRAMx:\r\nKONIEC", 0, 0, 7, 1, 1, 7, " : očakávala sa medzera"},
    {"FirstTokenIsTheError", "RESET\r\nKONIEC", 0, 0, 0, 5, 1, 0, " : očakával sa príkaz PROGRAM"},
    {"KeywordLineAfterLineFeed", "PROGRAM p:\r\nVYSTUP(0,0,0)CAS 1\r\nKONIEC", 0, 1, 13, 3, 2, 13,
     " : očakávala sa medzera"},
    {"LineStartingWithBlanks", "PROGRAM p:\r\n  VYSTUP(0,0,0)CAS 1\r\nKONIEC", 0, 1, 15, 3, 2, 16,
     " : očakávala sa medzera"},
    {"LowercaseLabelLine", "PROGRAM p:\r\nmoj cyklus :\r\nKONIEC", 0, 1, 11, 1, 2, 12,
     " : očakávalo sa veľké, malé písmeno alebo číslica"},
    {"CommentEndingTheLine", "PROGRAM p:\r\nVYSTUP(0,0/ pozor\r\nKONIEC", 0, 1, 10, 7, 2, 0,
     " : očakávala sa čiarka \",\""},
    {"CommentAfterLaterLines", "// a\r\n\r\nPROGRAM p:\r\n\r\nRESETX / b\r\nKONIEC", 0, 4, 5, 1, 5,
     5, " : očakával sa nový riadok"},
    {"EndOfTextWithoutLineBreak", "PROGRAM p:\r\nRESET", 0, 1, 5, 0, 2, 5,
     " : očakával sa nový riadok"},
    {"AfterTheLastLine", "PROGRAM p:\r\nRESET\r\n", 0, 2, 0, 0, 3, 1,
     " : očakával sa príkaz KONIEC alebo iné platné príkazy"},
    {"BareLineFeeds", "PROGRAM p:\nKONIEC", 0, 1, 0, 6, 2, 0, " : očakával sa nový riadok"},
    {"LoneCarriageReturns", "PROGRAM p:\rRESETX\rKONIEC", 0, 1, 5, 1, 1, 16,
     " : očakával sa nový riadok"},
    {"Windows1250Byte", "PROGRAM p:\r\nRESET \x9a\r\nKONIEC", 0, 1, 6, 1, 2, 6,
     " : očakával sa nový riadok"},
    {"UnknownLabelIsTheTargetName", "PROGRAM p:\r\n" + kJump + "Dalej:\r\n\r\nKONIEC", 0, 1, 38, 5,
     4, 0, " : neznáme návestie: Dalej"},
    {"UnknownLoopTarget", "PROGRAM p:\r\n OPAKUJ Moj  cyklus: 5\r\nKONIEC", 0, 1, 8, 11, 2, 21,
     " : neznáme návestie: Moj  cyklus Návestie musí byť pred cyklom!"},
    {"DuplicateLabel", "PROGRAM p:\r\nMoj cyklus:\r\nRESET\r\n  Moj cyklus:\r\nKONIEC", 0, 3, 2, 10,
     4, 14, " : názvy návestí sa nesmú opakovať, duplicitný názov návestia: Moj cyklus"},
    {"SecondErrorOfALine", "PROGRAM p:\r\nVYSTUP(0,0,0)CAS1\r\nKONIEC", 1, 1, 16, 1, 2, 16,
     " : očakávala sa medzera"},
};

class ErrorPlaceTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(ErrorPlaceTest, RecordsTheTokenBesideItsErrorLine) {
    const PlaceCase& c = GetParam();
    const RunResult r = CompileBytes(c.source);
    const std::vector<ErrorPlace>& places = r.result.errorPlaces;
    ASSERT_GT(places.size(), c.index);
    const ErrorPlace& p = places[c.index];
    EXPECT_EQ(p.line, c.line);
    EXPECT_EQ(p.column, c.column);
    EXPECT_EQ(p.length, c.length);
    EXPECT_EQ(p.printedLine, c.printedLine);
    EXPECT_EQ(p.printedPosition, c.printedPosition);
    EXPECT_EQ(p.number, static_cast<int>(c.index) + 1);
    EXPECT_EQ(p.message, c.message);
    // Every error line of the log has its place, in order, printing the same.
    std::vector<std::string> printed;
    for (const ErrorPlace& e : places) {
        printed.push_back(Printed(e));
        // The place names the log line that reports it.
        ASSERT_LT(static_cast<std::size_t>(e.logLine), r.log.size());
        EXPECT_EQ(r.log[static_cast<std::size_t>(e.logLine)], Printed(e));
    }
    std::vector<std::string> errorLines;
    for (const std::string& line : ErrorLines(r)) {
        if (line.find("  ! Chyba č. ") != std::string::npos) errorLines.push_back(line);
    }
    EXPECT_EQ(printed, errorLines);
}

INSTANTIATE_TEST_SUITE_P(Cases, ErrorPlaceTest, testing::ValuesIn(kPlaceCases),
                         [](const testing::TestParamInfo<PlaceCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(ErrorPlaces, EmptyTextAndCleanRunHaveNone) {
    ASSERT_EQ(Compile("PROGRAM p:\nA:\nA:\nKONIEC").result.errorPlaces.size(), 1u);
    EXPECT_TRUE(CompileBytes("").result.errorPlaces.empty());
    EXPECT_TRUE(Compile("PROGRAM p:\nRESET\nKONIEC").result.errorPlaces.empty());
}

class KeptPlaces final : public ErrorPlaceSink {
public:
    void TakeErrorPlace(const ErrorPlace& place) override { numbers.push_back(place.number); }
    std::vector<int> numbers;
};

TEST(ErrorPlaces, DroppedOrHandedToASink) {
    const RunResult r = CompileBytes(CrLf("PROGRAM p:\nA:\nA:\nKONIEC"), {}, PlaceRecording::Drop);
    EXPECT_TRUE(r.result.errorPlaces.empty());
    EXPECT_EQ(ErrorLines(r).size(), 2u) << "the log is the same";
    KeptPlaces sink;
    CompileBytes(CrLf("PROGRAM p:\nA:\nA:\nB:\nB:\nKONIEC"), {}, PlaceRecording::Drop, &sink);
    EXPECT_EQ(sink.numbers, (std::vector<int>{1, 2}));
}

// The place walk runs once over a long text: the last of many errors of a
// 1 MB text still stands on its own line.
TEST(ErrorPlaces, LongTextWithManyErrors) {
    std::string source = "PROGRAM p:\r\nA:\r\n";
    int lines = 2;
    while (source.size() < 1'000'000) {
        source += "  A:\r\n";
        ++lines;
    }
    source += "KONIEC";
    const RunResult r = CompileBytes(source);
    const std::vector<ErrorPlace>& places = r.result.errorPlaces;
    ASSERT_EQ(places.size(), static_cast<std::size_t>(lines - 2));
    EXPECT_EQ(places.back().line, lines - 1);
    EXPECT_EQ(places.back().column, 2);
    EXPECT_EQ(places.back().length, 1);
    EXPECT_EQ(places.back().printedLine, lines);
    EXPECT_EQ(r.log.size(), places.size() + 3);
}

struct ListingCase {
    const char* name;
    std::string text;  // LF line ends
    std::vector<int> sourceLines;
};

const ListingCase kListingCases[] = {
    // Failed run: the lines written during the parse.
    {"FailedRun",
     "// hlavicka\n\nPROGRAM p:\nRESET\nMoj:\n  VYSTUP(0,0,0)CAS 1\nA:\nA:\nKONIEC",
     {2, 3, 4, 5, 6, 7}},
    // Successful run: labels and instructions of the final listing; the
    // filler pair after the last instruction has no source line.
    {"FinalListing",
     "PROGRAM p:\nRESET\n\nMoj:\n  RESET / x\nKoniec:\nKONIEC",
     {0, 1, 3, 4, 5, -1}},
    {"NoHeader", "RESET\nKONIEC", {-1, 0}},
    {"EmptyText", "", {-1}},
};

class ListingSourceLineTest : public testing::TestWithParam<ListingCase> {};

TEST_P(ListingSourceLineTest, OneSourceLinePerListingLine) {
    const ListingCase& c = GetParam();
    const RunResult r = Compile(c.text);
    EXPECT_EQ(r.result.listingSourceLines, c.sourceLines);
    EXPECT_EQ(r.result.listingSourceLines.size(), r.listing.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, ListingSourceLineTest, testing::ValuesIn(kListingCases),
                         [](const testing::TestParamInfo<ListingCase>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
}  // namespace kmp::test
