// The upload core without the window: the reads of returned bytes at the
// 128-byte boundary, the error display's text rule without Qt, and the
// simulator choice from the environment.
#include "VirtualController.h"
#include "board_reply.h"
#include "display_text.h"
#include "returned_bytes.h"
#include "simulator_choice.h"
#include "upload_port.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace kmp {
namespace {

class LinesLog final : public UploadLog {
public:
    void AppendLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

std::vector<std::string> ByteLines(std::size_t count, int value) {
    return std::vector<std::string>(count, "Odosielam : " + std::to_string(value));
}

// A read finds only what has arrived; with nothing waiting it would wait for
// the read time limit (minutes). Exactly 128 waiting take one read, 130 two.
TEST(ReadReturnedBytes, TakesWhatWaitsAndNoMore) {
    for (const std::size_t waiting : {std::size_t{128}, std::size_t{130}}) {
        SCOPED_TRACE(waiting);
        auto board = std::make_shared<VirtualController>();
        board->SetEcho(false);
        TComPort port;
        port.SetVirtualController(board);
        DescribeComPort1(port);
        ConnectPort(port, "sim", false);
        board->Send(std::vector<std::uint8_t>(waiting, 7));
        LinesLog log;
        EXPECT_FALSE(ReadReturnedBytes(port, log));
        EXPECT_EQ(log.lines, ByteLines(waiting, 7));
        EXPECT_EQ(port.BytesWaiting(), 0);
        port.Close();
    }
}

TEST(DisplayedErrorText, FullStopAfterCharactersAboveIt) {
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {{"Range check error", "Range check error."},
                 {"ends with a dash -", "ends with a dash -"},
                 {"končí písmenom č", "končí písmenom č."},
                 {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(DisplayedErrorText(c.message), c.shown) << c.message;
}

// The one line of a send that ended short, for each way it can end.
TEST(SendEndLine, SaysHowManyBytesOfHowManyAndWhy) {
    const struct {
        TWriteEnd end;
        bool handshake;
        const char* line;
    } cases[] = {
        {weCompleted, false, ""},
        {weCancelled, true, "Odosielanie zrušené: odoslaných bolo 37 z 132 bajtov."},
        {weTimedOut, true,
         "Odoslaných bolo len 37 z 132 bajtov: doska v čase odosielania nepustila dáta (CTS)."},
        {weTimedOut, false,
         "Odoslaných bolo len 37 z 132 bajtov: linka neprevzala dáta v časovom limite zápisu."},
        {weFailed, false, "Odoslaných bolo len 37 z 132 bajtov: linka zlyhala."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SendEndLine({37, 132, c.end, nullptr}, c.handshake), c.line);
    }
}

TEST(ProgressText, CountsTimeLeftAndTheBoardThatHoldsBack) {
    const auto now = WriteStatus::Clock::now();
    const WriteStatus running{true, 37, 132, false, {}};
    EXPECT_EQ(ProgressText(ProgressOf(running, now)), "37 z 132 bajtov, zostáva 3,5 s");
    EXPECT_EQ(ProgressOf(running, now).percent, 28);
    const WriteStatus justHeld{true, 37, 132, true, now - std::chrono::milliseconds(900)};
    EXPECT_FALSE(ProgressOf(justHeld, now).boardNotReady);
    const WriteStatus held{true, 37, 132, true, now - std::chrono::milliseconds(1100)};
    EXPECT_EQ(ProgressText(ProgressOf(held, now)),
              "Doska nie je pripravená (CTS vypnuté): 37 z 132 bajtov");
    EXPECT_EQ(ProgressText(ProgressOf({false, 132, 132, false, {}}, now)), "132 z 132 bajtov");
}

// The returned bytes against the frame {128, 254, 200, 1, 0, 3, 255}: each
// form of the check line, bytes in decimal and counted from 1.
TEST(EchoCheck, ComparesTheReturnedBytesWithTheFrame) {
    const std::vector<std::uint8_t> frame = {128, 254, 200, 1, 0, 3, 255};
    const struct {
        std::string returned;
        bool complete, exact;
        const char* line;
    } cases[] = {
        {std::string("\x80\xFE\xC8\x01\x00\x03\xFF", 7), true, true,
         "Overenie: doska vrátila presne odoslané bajty (7)."},
        // Bytes beyond the frame's length are not compared.
        {std::string("\x80\xFE\xC8\x01\x00\x03\xFF\x07", 8), true, true,
         "Overenie: doska vrátila presne odoslané bajty (7)."},
        {std::string("\x80\xFE\xC8\x01\x00\x63\xFF", 7), true, false,
         "Overenie: doska vrátila iné bajty, ako sa odoslali – prvý rozdiel na bajte 6: "
         "odoslaný 3, vrátený 99."},
        {std::string("\xFF", 1), false, false,
         "Overenie: doska vrátila iné bajty, ako sa odoslali – prvý rozdiel na bajte 1: "
         "odoslaný 128, vrátený 255."},
        {std::string("\x80\xFE\xC8", 3), false, false, "Overenie: doska vrátila len 3 z 7 bajtov."},
        {std::string(), false, false, "Doska neodpovedá: po odoslaní sa nevrátil žiadny bajt."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EchoCheck check;
        check.Start(frame);
        // In two pieces, as reads return them.
        check.Take(std::string_view(c.returned).substr(0, 2));
        EXPECT_EQ(
            check.Take(
                std::string_view(c.returned).substr(std::min<std::size_t>(2, c.returned.size()))),
            c.complete);
        EXPECT_EQ(check.Exact(), c.exact);
        EXPECT_EQ(check.Line(), c.line);
    }
}

TEST(DsrOffLine, NamesThePortAndTheTimeInSlovak) {
    EXPECT_EQ(DsrOffLine("ttyUSB0", 1000),
              "Doska na porte ttyUSB0 nezapla signál DSR do 1 s: nie je pripojená, zapnutá alebo "
              "pripravená.");
    EXPECT_EQ(SlovakSeconds(1250), "1,25");
}

TEST(SimulatorChosen, OptionOrTheVariableSetToOne) {
    const struct {
        bool option;
        const char* variable;  // nullptr: not set
        bool chosen;
    } cases[] = {{false, nullptr, false}, {false, "1", true},    {false, "0", false},
                 {false, "", false},      {true, nullptr, true}, {true, "0", true}};
    for (const auto& c : cases) {
        if (c.variable)
            setenv("KMP_SIMULATOR", c.variable, 1);
        else
            unsetenv("KMP_SIMULATOR");
        EXPECT_EQ(SimulatorChosen(c.option), c.chosen)
            << c.option << " " << (c.variable ? c.variable : "unset");
    }
    unsetenv("KMP_SIMULATOR");
}

}  // namespace
}  // namespace kmp
