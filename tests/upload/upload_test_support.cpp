#include "upload_test_support.h"

#include "studio_application.h"

#include <QApplication>
#include <QComboBox>

#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <stdexcept>

namespace kmp::testing {

PtyLine::PtyLine() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    path_ = QString::fromLocal8Bit(name);
    termios raw{};
    tcgetattr(master_, &raw);
    cfmakeraw(&raw);
    tcsetattr(master_, TCSANOW, &raw);
    stop_ = eventfd(0, EFD_CLOEXEC);
}

PtyLine::~PtyLine() {
    StopEcho();
    close(stop_);
    if (master_ >= 0) close(master_);
    close(slave_);
}

void PtyLine::StopEcho() {
    if (!echo_.joinable()) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = write(stop_, &one, sizeof one);
    echo_.join();
}

void PtyLine::CloseMaster() {
    StopEcho();
    close(master_);
    master_ = -1;
}

termios PtyLine::Settings() const {
    termios settings{};
    tcgetattr(slave_, &settings);
    return settings;
}

void PtyLine::StartEcho() {
    echo_ = std::thread([this] { Echo(); });
}

Bytes PtyLine::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

void PtyLine::Echo() {
    std::uint8_t buffer[256];
    for (;;) {
        pollfd fds[2] = {{stop_, POLLIN, 0}, {master_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 || fds[0].revents) return;
        if (fds[1].revents & (POLLHUP | POLLERR)) return;
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) return;
        {
            std::lock_guard lock(mutex_);
            received_.insert(received_.end(), buffer, buffer + n);
        }
        [[maybe_unused]] const auto written = write(master_, buffer, static_cast<std::size_t>(n));
    }
}

void UploadTest::SetUpTestSuite() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "upload_test";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends, as in the program itself.
    new StudioApplication(argc, argv);
}

void UploadTest::SetUp() {
    CompiledOk = false;
    ProgramChanged = false;
    static_cast<StudioApplication*>(QApplication::instance())->SetErrorDialogs(&dialogs);
}

void UploadTest::TearDown() {
    form.reset();
    static_cast<StudioApplication*>(QApplication::instance())->SetErrorDialogs(nullptr);
}

void UploadTest::SetPortList(const QStringList& names, bool searchFails) {
    state().ListPorts = [names, searchFails](QStringList& list) {
        if (searchFails) throw EComPort(CError_RegError, 2);
        list = names;
    };
}

void UploadTest::ShowWindow(const QStringList& names, bool searchFails) {
    form = std::make_unique<TForm1>(dialogs);
    SetPortList(names, searchFails);
    port().SetVirtualController(board);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

void UploadTest::Click(QWidget& button) {
    QTest::mouseClick(&button, Qt::LeftButton);
}

void UploadTest::ChooseEntry(int index) {
    ui().ComboBox1->setCurrentIndex(index);
    emit ui().ComboBox1->activated(index);
}

void UploadTest::ConnectTo(int index) {
    ChooseEntry(index);
    Click(*ui().Button2);
}

void UploadTest::Compile() {
    Click(*ui().Button1);
}

void UploadTest::ConnectWith(const QString& program, bool handshake) {
    ShowWindow({"sim"});
    ui().CheckBox1->setChecked(handshake);
    SetProgram(program);
    Compile();
    ASSERT_TRUE(CompiledOk);
    Click(*ui().Button2);
    ASSERT_TRUE(port().Connected());
}

bool UploadTest::WaitForSendEnd() {
    return QTest::qWaitFor([&] { return !state().Sending(); }, kLongWaitMs);
}

void UploadTest::SetProgram(const QString& text) {
    ui().RichEdit1->setPlainText(text);
}

QStringList UploadTest::LogLines() const {
    const QPlainTextEdit& log = *form->Controls().Memo1;
    if (log.document()->isEmpty()) return {};
    return log.toPlainText().split(QLatin1Char('\n'));
}

QStringList UploadTest::LogLinesFrom(qsizetype skip) const {
    return LogLines().mid(skip);
}

QStringList UploadTest::EchoLines(const Bytes& frame) {
    QStringList lines{QString::fromUtf8(" Odosielam dáta...")};
    for (const std::uint8_t byte : frame) {
        lines << QStringLiteral("Odosielam : %1").arg(byte);
        if (byte == 255) lines << QStringLiteral("Koniec odosielania!");
    }
    // The whole frame back: the check says so.
    return lines << QString::fromUtf8("Overenie: doska vrátila presne odoslané bajty (%1).")
                        .arg(frame.size());
}

Bytes ExampleFrame() {
    return {128, 254, 200, 1,   0,   3,  0,  120, 66,  200, 50,  200, 4,
            10,  2,   20,  138, 100, 16, 18, 1,   200, 12,  120, 255};
}

}  // namespace kmp::testing
