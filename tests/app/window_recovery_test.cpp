// The copy of unsaved text: a window killed after an edit leaves it and the
// next start offers it back; a save, a close answered No and a clean end
// remove it.
#include "window_test_support.h"

#include "app_texts.h"
#include "recovery_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>

namespace kmp::testing {
namespace {

constexpr char kChildFolder[] = "KMP_RECOVERY_FOLDER";
constexpr char kChildProgram[] = "KMP_RECOVERY_PROGRAM";
const QString kProgram = QStringLiteral("PROGRAM x:\nKONIEC\n");
const QString kTyped = QStringLiteral("// úprava\n");

QString RecoveryPath(const QString& folder, qint64 pid) {
    return QDir(folder).filePath(QStringLiteral("recovery-%1.txt").arg(pid));
}

void WriteText(const QString& path, const QString& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

class RecoveryTest : public WindowTest {
public:
    using WindowTest::dialogs;
    using WindowTest::form;
    QTemporaryDir folder;
};

// Run in a child process by KilledWindowIsOfferedBack: opens a file, types,
// waits for the copy that the window writes 5 s later, and dies by SIGKILL.
TEST_F(RecoveryTest, ChildEditsAndIsKilled) {
    const QString childFolder = qEnvironmentVariable(kChildFolder);
    if (childFolder.isEmpty()) GTEST_SKIP() << "run by KilledWindowIsOfferedBack";
    form->KeepRecoveryIn(childFolder);
    form->OpenProgramFile(qEnvironmentVariable(kChildProgram));
    TypeText(*ui().RichEdit1, kTyped);
    const QString copy = RecoveryPath(childFolder, QCoreApplication::applicationPid());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(copy); }, 20000));
    std::raise(SIGKILL);
}

TEST_F(RecoveryTest, KilledWindowIsOfferedBack) {
    const QString program = QDir(folder.path()).filePath(QStringLiteral("motor.txt"));
    WriteText(program, kProgram);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromUtf8(kChildFolder), folder.path());
    environment.insert(QString::fromUtf8(kChildProgram), program);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=RecoveryTest.ChildEditsAndIsKilled")});
    ASSERT_TRUE(child.waitForFinished(60000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit)
        << child.readAllStandardOutput().toStdString();

    const std::optional<LeftText> left = FindLeftText(folder.path());
    ASSERT_TRUE(left);
    dialogs.boxAnswers = {Answer::Yes};
    form->KeepRecoveryIn(folder.path());
    form->OfferRecovery();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("Obnoviť neuložený program z %1?")
                                         .arg(left->time.toString(QStringLiteral("HH:mm"))));
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Question);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(ui().RichEdit1->toPlainText(), kTyped + kProgram);
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("motor.txt* – ") + QString::fromUtf8(kWindowCaption));
    EXPECT_FALSE(QFileInfo::exists(left->path));
    // Asked once: a second start finds nothing.
    form->OfferRecovery();
    EXPECT_EQ(dialogs.boxes.size(), 1u);
}

TEST_F(RecoveryTest, NoLeavesTheTextAndForgetsTheCopy) {
    WriteText(RecoveryPath(folder.path(), 999999999), QStringLiteral("kmp recovery 1\n\nRESET\n"));
    const QString before = ui().RichEdit1->toPlainText();
    dialogs.boxAnswers = {Answer::No};
    form->KeepRecoveryIn(folder.path());
    form->OfferRecovery();
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(ui().RichEdit1->toPlainText(), before);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(RecoveryTest, RunningWindowsCopyIsNotOffered) {
    WriteText(RecoveryPath(folder.path(), QCoreApplication::applicationPid()),
              QStringLiteral("kmp recovery 1\n\nRESET\n"));
    form->KeepRecoveryIn(folder.path());
    EXPECT_FALSE(FindLeftText(folder.path()));
}

// Each way the text is saved or let go removes the copy.
struct Ending {
    const char* name;
    std::function<void(RecoveryTest&)> act;
};

class RecoveryEndingTest : public RecoveryTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(RecoveryEndingTest, RemovesTheCopy) {
    form->KeepRecoveryIn(folder.path(), 20);
    TypeText(*ui().RichEdit1, QStringLiteral("RESET\n"));
    const QString copy = RecoveryPath(folder.path(), QCoreApplication::applicationPid());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(copy); }, 5000));
    GetParam().act(*this);
    EXPECT_FALSE(QFileInfo::exists(copy));
}

INSTANTIATE_TEST_SUITE_P(
    Endings, RecoveryEndingTest,
    ::testing::Values(Ending{"Saved",
                             [](RecoveryTest& test) {
                                 test.dialogs.fileAnswers = {
                                     QDir(test.folder.path()).filePath(QStringLiteral("a.kmp"))};
                                 test.form->SaveProgram();
                             }},
                      Ending{"ClosedAnsweringNo",
                             [](RecoveryTest& test) {
                                 test.dialogs.boxAnswers = {Answer::No};
                                 test.form->close();
                             }},
                      Ending{"WindowEnded", [](RecoveryTest& test) { test.form.reset(); }}),
    [](const ::testing::TestParamInfo<Ending>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kmp::testing
