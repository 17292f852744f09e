// Opening and saving program files through the scripted dialogs.
#include "window_test_support.h"

#include "app_texts.h"
#include "example_program.h"
#include "program_file.h"
#include "qt_dialogs.h"
#include "text_encoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QUrl>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace kmp::testing {
namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ToBytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The example program with a Slovak comment line in front of it.
const QString kSlovakProgram =
    QStringLiteral("// príklad: ľščťžýáíé ĽŠČŤŽÝÁÍÉ ôäňď\n") + QString::fromUtf8(kExampleProgram);

class FilesTest : public WindowTest {
protected:
    QString PathOf(const char* name) const {
        return QDir(folder.path()).filePath(QString::fromUtf8(name));
    }

    void Open(const QString& path) {
        dialogs.fileAnswers.push_back(path);
        ClickButton(*ui().Button5);
    }
    void Save(const QString& path) {
        dialogs.fileAnswers.push_back(path);
        ClickButton(*ui().Button6);
    }
    // The listing of the built-in example program.
    QStringList BuiltInListing() {
        ui().RichEdit1->setPlainText(QString::fromUtf8(kExampleProgram));
        ClickButton(*ui().Button1);
        return Lines(*ui().Memo2);
    }

    QTemporaryDir folder;
};

TEST_F(FilesTest, DialogsGetTheFilterAndTheDefaultExtension) {
    ClickButton(*ui().Button5);
    ClickButton(*ui().Button6);
    ASSERT_EQ(dialogs.fileRequests.size(), 2u);
    const QString filter =
        QString::fromUtf8("Krokový Motor Program - kmp |*.kmp|všetky súbory - all|*.*");
    EXPECT_FALSE(dialogs.fileRequests[0].save);
    // The open dialog offers text files too, after program files.
    EXPECT_EQ(dialogs.fileRequests[0].filter,
              QString::fromUtf8("Krokový Motor Program - kmp |*.kmp|Textové súbory - txt "
                                "|*.txt|všetky súbory - all|*.*"));
    EXPECT_TRUE(dialogs.fileRequests[1].save);
    EXPECT_EQ(dialogs.fileRequests[1].filter, filter);
    EXPECT_EQ(dialogs.fileRequests[1].defaultSuffix, "kmp");
    EXPECT_EQ(QtNameFilters(filter),
              (QStringList{QString::fromUtf8("Krokový Motor Program - kmp (*.kmp)"),
                           QString::fromUtf8("všetky súbory - all (*.*)")}));
}

TEST_F(FilesTest, SaveThenOpenRestoresTheTextExactly) {
    ui().RichEdit1->setPlainText(QString::fromUtf8(kExampleProgram));
    ui().RichEdit1->moveCursor(QTextCursor::Start);
    TypeText(*ui().RichEdit1, QStringLiteral("// Ďakujem: žltý kôň úpel ďábelské ódy, «€»\t!\n"));
    const QString saved = EditorText();
    Save(PathOf("program.kmp"));
    ASSERT_TRUE(QFile::exists(PathOf("program.kmp")));

    ui().RichEdit1->setPlainText(QStringLiteral("iný text"));
    Open(PathOf("program.kmp"));
    EXPECT_EQ(EditorText(), saved);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(FilesTest, PlainTextFilesOpenAndCompileLikeTheBuiltInText) {
    const QStringList builtIn = BuiltInListing();
    const std::string utf8 = kSlovakProgram.toStdString();
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"cp1250.kmp", ToBytes(Utf8ToCp1250(NormalizeLineEndsCrLf(utf8)))},
        {"utf8.txt", ToBytes(NormalizeLineEndsCrLf(utf8))},
        {"utf8-lf.kmp", ToBytes(utf8)},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        WriteBytes(PathOf(f.name), f.bytes);
        ui().RichEdit1->setPlainText(QString());
        Open(PathOf(f.name));
        EXPECT_EQ(EditorText(), kSlovakProgram);
        ClickButton(*ui().Button1);
        EXPECT_EQ(Lines(*ui().Memo2), builtIn);
        EXPECT_TRUE(CompiledOk);
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(FilesTest, CancelChangesNothing) {
    ClickButton(*ui().Button1);
    const QString before = EditorText();
    ClickButton(*ui().Button5);  // no answer queued: cancel
    ClickButton(*ui().Button6);
    EXPECT_EQ(dialogs.fileRequests.size(), 2u);
    EXPECT_EQ(EditorText(), before);
    EXPECT_TRUE(CompiledOk);
    EXPECT_FALSE(ProgramChanged);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(FilesTest, OpeningIsAChangeOnlyAfterASuccessfulCompile) {
    Save(PathOf("a.kmp"));
    Open(PathOf("a.kmp"));
    EXPECT_FALSE(ProgramChanged);
    ClickButton(*ui().Button1);
    Save(PathOf("b.kmp"));
    EXPECT_TRUE(CompiledOk);
    EXPECT_FALSE(ProgramChanged);  // saving is no change
    Open(PathOf("a.kmp"));
    EXPECT_TRUE(ProgramChanged);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(FilesTest, SaveNameWithoutExtensionGetsKmp) {
    const struct {
        const char* typed;
        const char* written;
    } names[] = {{"bez", "bez.kmp"}, {"s.txt", "s.txt"}, {"dva.kmp", "dva.kmp"}};
    for (const auto& n : names) {
        Save(PathOf(n.typed));
        EXPECT_TRUE(QFile::exists(PathOf(n.written))) << n.written;
    }
    EXPECT_FALSE(QFile::exists(PathOf("bez")));
    EXPECT_EQ(WithDefaultSuffix(QStringLiteral("/tmp/a.b/c"), QStringLiteral("kmp")),
              "/tmp/a.b/c.kmp");
}

TEST_F(FilesTest, UnreadableFileShowsCannotOpenAndKeepsTheText) {
    const QString before = EditorText();
    const QString missing = PathOf("chýba.kmp");
    Open(missing);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, QString::fromUtf8(kApplicationTitle));
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Error);
    EXPECT_EQ(dialogs.boxes[0].text,
              QStringLiteral("Cannot open file \"") + missing + QStringLiteral("\". ") +
                  QString::fromUtf8(std::strerror(ENOENT)) + QLatin1Char('.'));
    Open(folder.path());  // a folder is no file
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(dialogs.boxes[1].text.startsWith(QStringLiteral("Cannot open file \"") +
                                                 folder.path() + QStringLiteral("\". ")));
    // Nothing past 64 MiB is read: a longer file, a device without end.
    const QString huge = PathOf("veľký.kmp");
    WriteBytes(huge, {});
    ASSERT_TRUE(QFile::resize(huge, (qint64{64} << 20) + 1));
    for (const QString& tooLong : {huge, QStringLiteral("/dev/zero")}) {
        Open(tooLong);
        EXPECT_EQ(dialogs.boxes.back().text, QStringLiteral("Cannot open file \"") + tooLong +
                                                 QStringLiteral("\". File too large."));
    }
    EXPECT_EQ(dialogs.boxes.size(), 4u);
    EXPECT_EQ(EditorText(), before);
    EXPECT_FALSE(ProgramChanged);
}

// Makes writes beyond `bytes` fail with EFBIG for the lifetime of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(FilesTest, FailedSaveKeepsTheOldFileByteForByte) {
    const QString path = PathOf("starý.kmp");
    Save(path);
    const QByteArray old = ReadBytes(path);
    ASSERT_FALSE(old.isEmpty());
    ui().RichEdit1->setPlainText(kSlovakProgram + kSlovakProgram);
    {
        FileSizeLimit limit(64);
        Save(path);
    }
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QStringLiteral("Cannot create file \"")))
        << dialogs.boxes[0].text.toStdString();
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("starý.kmp")});
}

TEST_F(FilesTest, SaveIntoAReadOnlyFolderKeepsTheOldFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the size-limit case covers this";
    const QString path = PathOf("starý.kmp");
    Save(path);
    const QByteArray old = ReadBytes(path);
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
    ui().RichEdit1->setPlainText(kSlovakProgram);
    Save(path);
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QStringLiteral("Cannot create file \"")));
    EXPECT_EQ(ReadBytes(path), old);
}

// The question before unsaved text goes, for each way to lose it and each
// answer.
enum class Loss { Close, Open, Drop };
struct GuardCase {
    const char* name;
    Loss loss;
    Answer answer;
    bool saveCancelled;  // the save dialog of Yes is cancelled
};

const GuardCase kGuards[] = {
    {"CloseYes", Loss::Close, Answer::Yes, false},
    {"CloseYesSaveCancelled", Loss::Close, Answer::Yes, true},
    {"CloseNo", Loss::Close, Answer::No, false},
    {"CloseCancel", Loss::Close, Answer::Cancel, false},
    {"OpenYes", Loss::Open, Answer::Yes, false},
    {"OpenYesSaveCancelled", Loss::Open, Answer::Yes, true},
    {"OpenNo", Loss::Open, Answer::No, false},
    {"OpenCancel", Loss::Open, Answer::Cancel, false},
    {"DropYes", Loss::Drop, Answer::Yes, false},
    {"DropNo", Loss::Drop, Answer::No, false},
    {"DropCancel", Loss::Drop, Answer::Cancel, false},
};

class GuardTest : public FilesTest, public ::testing::WithParamInterface<GuardCase> {
protected:
    void Lose(Loss loss, const QString& other) {
        switch (loss) {
        case Loss::Close: form->close(); break;
        case Loss::Open:
            dialogs.fileAnswers.push_back(other);
            ClickButton(*ui().Button5);
            break;
        case Loss::Drop: {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(other)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(form.get(), &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form.get(), &drop);
            break;
        }
        }
    }
};

TEST_P(GuardTest, AsksBeforeUnsavedTextGoes) {
    const GuardCase& c = GetParam();
    const QString other = PathOf("iny.kmp");
    WriteProgramFile(other.toStdString(), "PROGRAM iny:\nKONIEC");
    const QString saved = PathOf("ulozeny.kmp");
    ui().RichEdit1->moveCursor(QTextCursor::End);
    TypeText(*ui().RichEdit1, "\n/ úprava");
    const QString edited = EditorText();
    dialogs.boxAnswers.push_back(c.answer);
    if (c.answer == Answer::Yes)
        dialogs.fileAnswers.push_back(c.saveCancelled ? std::nullopt : std::optional(saved));
    Lose(c.loss, other);

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, QString::fromUtf8("Program nie je uložený"));
    EXPECT_EQ(dialogs.boxes[0].text,
              QString::fromUtf8("Program sa od posledného uloženia zmenil. Chcete ho uložiť?"));
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Question);
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::YesNoCancel);
    EXPECT_EQ(dialogs.boxes[0].defaultButton, Answer::Yes);
    const bool goesOn = c.answer == Answer::No || (c.answer == Answer::Yes && !c.saveCancelled);
    if (c.answer == Answer::Yes && !c.saveCancelled) {
        EXPECT_EQ(ReadProgramFile(saved.toStdString()), edited.toStdString());
    } else {
        EXPECT_FALSE(QFile::exists(saved));
    }
    if (c.loss == Loss::Close) {
        EXPECT_EQ(form->isVisible(), !goesOn);
    } else {
        EXPECT_EQ(EditorText(), goesOn ? QStringLiteral("PROGRAM iny:\nKONIEC") : edited);
    }
}

INSTANTIATE_TEST_SUITE_P(Losses, GuardTest, ::testing::ValuesIn(kGuards),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(FilesTest, UntouchedOrSavedTextAsksNothing) {
    form->close();
    EXPECT_FALSE(form->isVisible());
    form->show();
    ui().RichEdit1->moveCursor(QTextCursor::End);
    TypeText(*ui().RichEdit1, "\n");
    Save(PathOf("a.kmp"));
    Open(PathOf("a.kmp"));
    form->close();
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FilesTest, OpenIsOneUndoStep) {
    const QString before = EditorText();
    const QString path = PathOf("p.kmp");
    WriteProgramFile(path.toStdString(), "PROGRAM p:\nKONIEC");
    Open(path);
    ASSERT_EQ(EditorText(), "PROGRAM p:\nKONIEC");
    ui().RichEdit1->setFocus();
    QTest::keyClick(ui().RichEdit1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(EditorText(), before);
}

// The title names the file and shows a change; Ctrl+S writes a program file
// again without a dialog, a text file through it; Ctrl+Shift+S always asks;
// the dialogs start where the last file was.
TEST_F(FilesTest, CurrentFileInTheTitleAndCtrlS) {
    const QString caption =
        QString::fromUtf8("Prekladač programu na riadenie krokového motorčeka z HDD.");
    const QString path = PathOf("priklad.kmp");
    WriteProgramFile(path.toStdString(), "PROGRAM p:\nKONIEC");
    Open(path);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("priklad.kmp – ") + caption);
    ui().RichEdit1->moveCursor(QTextCursor::End);
    TypeText(*ui().RichEdit1, "\n");
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("priklad.kmp* – ") + caption);
    ui().RichEdit1->setFocus();
    QTest::keyClick(ui().RichEdit1, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.fileRequests.size(), 1u);  // the open only
    EXPECT_EQ(ReadProgramFile(path.toStdString()), "PROGRAM p:\nKONIEC\n");
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("priklad.kmp – ") + caption);

    QTest::keyClick(ui().RichEdit1, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(dialogs.fileRequests.size(), 2u);
    EXPECT_TRUE(dialogs.fileRequests[1].save);
    EXPECT_EQ(dialogs.fileRequests[1].folder, QFileInfo(path).absolutePath());

    const QString text = PathOf("prenos.txt");
    WriteBytes(text, "PROGRAM t:\r\nKONIEC\r\n");
    Open(text);
    EXPECT_EQ(dialogs.fileRequests[2].folder, QFileInfo(path).absolutePath());
    QTest::keyClick(ui().RichEdit1, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileRequests.size(), 4u);
    EXPECT_TRUE(dialogs.fileRequests[3].save);
    EXPECT_EQ(ReadBytes(text), "PROGRAM t:\r\nKONIEC\r\n");
}

// Two blanks and a tab are shown on a tinted ground; the text and the saved
// file keep them exactly.
TEST_F(FilesTest, VisibleBlanksAreDisplayOnly) {
    const QString text =
        QStringLiteral("PROGRAM p:\nVYSTUP(1,0,0)  CAS 10\nVYSTUP(1,0,0)\tCAS 1\nKONIEC");
    ui().RichEdit1->setPlainText(text);
    QApplication::processEvents();
    for (const int line : {1, 2}) {
        const QTextBlock block = ui().RichEdit1->document()->findBlockByNumber(line);
        bool tinted = false;
        for (const QTextLayout::FormatRange& range : block.layout()->formats())
            tinted |= range.start == 13 && range.format.background().style() != Qt::NoBrush;
        EXPECT_TRUE(tinted) << line;
    }
    const QString path = PathOf("medzery.kmp");
    Save(path);
    EXPECT_EQ(QString::fromStdString(ReadProgramFile(path.toStdString())), text);
    EXPECT_EQ(EditorText(), text);
}

}  // namespace
}  // namespace kmp::testing
