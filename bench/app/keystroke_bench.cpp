// The main thread's cost of one keystroke in the editor holding a 5,000-line
// program (offscreen): the key events, the editor's reactions and
// highlighting, and the repaint that follows.
#include "TForm1.h"
#include "program_editor.h"
#include "scripted_dialogs.h"
#include "studio_application.h"
#include "ui_TForm1.h"

#include <benchmark/benchmark.h>

#include <QKeyEvent>
#include <QStringList>
#include <QTextBlock>

namespace {

QString Program(int lines) {
    const QStringList statements = {
        QStringLiteral("VYSTUP(1,0,0) CAS 10"), QStringLiteral("// komentár k riadku"),
        QStringLiteral("Moj cyklus:"), QStringLiteral("ROTUJ STALE DOPRAVA, ROZBEH 2 CAS 200"),
        QStringLiteral("OPAKUJ Moj cyklus: 100")};
    QStringList text = {QStringLiteral("PROGRAM velky:")};
    while (text.size() < lines - 1) text << statements[text.size() % statements.size()];
    text << QStringLiteral("KONIEC");
    return text.join(QLatin1Char('\n'));
}

void SendKey(QWidget& target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
    QApplication::sendEvent(&target, &release);
}

// Each iteration types one letter in the middle of the program and repaints;
// every second one removes it again, so the text keeps its size. Arguments:
// the program's line count, and 1 with highlighting or 0 without.
void BM_Keystroke(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    kmp::ScriptedDialogs dialogs;
    kmp::TForm1 form(dialogs);
    form.show();
    kmp::TProgramEditor& editor = *form.Controls().RichEdit1;
    editor.SetHighlighting(state.range(1) != 0);
    editor.setPlainText(Program(lines));
    editor.setFocus();
    QTextCursor cursor(editor.document()->findBlockByNumber(lines / 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor.setTextCursor(cursor);
    QApplication::processEvents();
    bool typed = false;
    for (auto _ : state) {
        if (typed) {
            SendKey(editor, Qt::Key_Backspace, QString());
        } else {
            SendKey(editor, Qt::Key_A, QStringLiteral("A"));
        }
        typed = !typed;
        QApplication::processEvents();
    }
    if (editor.document()->blockCount() != lines) state.SkipWithError("the program lost lines");
}

BENCHMARK(BM_Keystroke)
    ->ArgNames({"lines", "highlighting"})
    ->Args({5000, 1})
    ->Args({5000, 0})
    ->Args({500, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    kmp::StudioApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
