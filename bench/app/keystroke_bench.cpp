// The main thread's cost of one keystroke in the editor holding a 5,000-line
// program (offscreen): the key events, the editor's reactions and
// highlighting, the error marks, and the repaint that follows; and the cost
// of marking the 1,000 errors of a compile run.
#include "TForm1.h"
#include "program_editor.h"
#include "scripted_dialogs.h"
#include "studio_application.h"
#include "text_encoding.h"
#include "ui_TForm1.h"

#include <benchmark/benchmark.h>

#include <QKeyEvent>
#include <QStringList>
#include <QTextBlock>

#include <vector>

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

// `lines` lines whose first `errors` + 1 after the header define the same
// label: `errors` errors, no code.
QString FaultyProgram(int lines, int errors) {
    QStringList text = {QStringLiteral("PROGRAM velky:")};
    while (text.size() <= errors + 1) text << QStringLiteral("Moj:");
    while (text.size() < lines - 1) text << QStringLiteral("// komentár k riadku");
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
// the program's line count, 1 with highlighting or 0 without, and the number
// of error marks that a compile run left (on lines before the one typed in).
void BM_Keystroke(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    const int errors = static_cast<int>(state.range(2));
    kmp::ScriptedDialogs dialogs;
    kmp::TForm1 form(dialogs);
    form.show();
    kmp::TProgramEditor& editor = *form.Controls().RichEdit1;
    editor.SetHighlighting(state.range(1) != 0);
    editor.setPlainText(errors > 0 ? FaultyProgram(lines, errors) : Program(lines));
    if (errors > 0) form.Button1Click();
    if (editor.ErrorMarkCount() != errors) state.SkipWithError("the marks are missing");
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
    ->ArgNames({"lines", "highlighting", "marks"})
    ->Args({5000, 1, 0})
    ->Args({5000, 0, 0})
    ->Args({500, 1, 0})
    ->Args({5000, 1, 1000})
    ->Unit(benchmark::kMicrosecond);

class NullPane final : public kmp::Pane {
public:
    void Clear() override {}
    void AppendLine(std::string_view) override {}
    void SetColor(std::uint32_t) override {}
};

// A compile run of a 5,000-line program with 1,000 errors, and the marking
// of its errors alone (target: under 50 ms), each with the repaint after it.
void BM_CompileWithErrors(benchmark::State& state) {
    const bool markOnly = state.range(0) != 0;
    kmp::ScriptedDialogs dialogs;
    kmp::TForm1 form(dialogs);
    form.show();
    kmp::TProgramEditor& editor = *form.Controls().RichEdit1;
    editor.setPlainText(FaultyProgram(5000, 1000));
    form.Button1Click();
    QApplication::processEvents();
    NullPane log, listing;
    const kmp::CompileResult result =
        kmp::CompileProgram(kmp::EditorTextToSource(editor.toPlainText().toStdString()), {}, log,
                            listing, kmp::SystemClock());
    std::vector<kmp::TProgramEditor::ErrorMark> marks;
    for (const kmp::ErrorPlace& e : result.errorPlaces)
        marks.push_back({e.line, e.column, e.length, QString::fromStdString(e.message)});
    for (auto _ : state) {
        if (markOnly) {
            editor.SetErrorMarks(marks);
        } else {
            form.Button1Click();
        }
        QApplication::processEvents();
    }
    if (editor.ErrorMarkCount() != 1000) state.SkipWithError("the marks are missing");
}

BENCHMARK(BM_CompileWithErrors)
    ->ArgNames({"mark_only"})
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    kmp::StudioApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
