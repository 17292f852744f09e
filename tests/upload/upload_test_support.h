// Shared set-up of the upload tests: the real window with scripted dialogs,
// a port list chosen by the test, a virtual controller on "sim", and a
// pseudo-terminal whose far end echoes what it receives.
#pragma once

#include "CPort.h"
#include "TForm1.h"
#include "scripted_dialogs.h"
#include "ui_TForm1.h"
#include "upload_controller.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>
#include <termios.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace kmp::testing {

using Bytes = std::vector<std::uint8_t>;

// A pseudo-terminal: the port opens `Path()`, the test holds the master end.
class PtyLine {
public:
    PtyLine();
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    const QString& Path() const { return path_; }
    // The line settings as the port left them on the terminal.
    struct termios Settings() const;
    // From now on every byte that arrives at the master end is sent back.
    void StartEcho();
    // The bytes that arrived at the master end while echoing.
    Bytes Received() const;
    // Closes the master end, as a pulled adapter: the port's side hangs up.
    void CloseMaster();

private:
    void Echo();
    void StopEcho();

    int master_ = -1;
    int slave_ = -1;
    int stop_ = -1;
    QString path_;
    mutable std::mutex mutex_;
    Bytes received_;
    std::thread echo_;
};

class UploadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Builds the window, lets its port search find `names` (or fail when
    // `searchFails`), attaches `board` to ComPort1 and shows the window.
    void ShowWindow(const QStringList& names, bool searchFails = false);
    // The port search from now on finds `names` (or fails).
    void SetPortList(const QStringList& names, bool searchFails = false);

    Ui::TForm1& ui() { return form->Controls(); }
    UploadController& state() { return form->Upload(); }
    TComPort& port() { return form->Upload().ComPort1; }

    void Click(QWidget& button);
    // The user picks entry `index` of ComboBox1 from its list.
    void ChooseEntry(int index);
    // Connects to the entry `index` of ComboBox1.
    void ConnectTo(int index);
    // Compiles the editor text with the compile button.
    void Compile();
    // Shows the window with "sim", compiles `program` and connects to the
    // board, with the handshake box as given.
    void ConnectWith(const QString& program, bool handshake = false);
    // Waits until a running send has ended.
    bool WaitForSendEnd();
    void SetProgram(const QString& text);
    QStringList LogLines() const;
    // The log lines after the first `skip` ones.
    QStringList LogLinesFrom(qsizetype skip) const;
    // The log lines of a transfer of `frame` that came back in full.
    static QStringList EchoLines(const Bytes& frame);

    ScriptedDialogs dialogs;
    // Receives at 1 ms a byte; a test that needs the real line time makes its own.
    std::shared_ptr<VirtualController> board =
        std::make_shared<VirtualController>(std::chrono::milliseconds(1));
    std::unique_ptr<TForm1> form;
};

// The bytes that the example program's upload sends with the start timing.
Bytes ExampleFrame();

inline constexpr int kLongWaitMs = 20000;

}  // namespace kmp::testing
