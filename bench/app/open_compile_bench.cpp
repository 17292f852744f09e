// Opening a 1 MB program file in the window and compiling it (offscreen).
#include "TForm1.h"
#include "example_program.h"
#include "program_file.h"
#include "scripted_dialogs.h"
#include "studio_application.h"
#include "ui_TForm1.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <string>

namespace {

// The example program with comment lines before KONIEC up to about 1 MB,
// so that the compiler reads all of it.
std::string LargeProgram() {
    std::string text = kmp::kExampleProgram;
    const std::size_t end = text.find("KONIEC");
    std::string comments;
    for (int line = 0; comments.size() < 1'000'000; ++line)
        comments +=
            "// riadok " + std::to_string(line) + ": komentár, žltý kôň úpel ďábelské ódy\n";
    return text.insert(end, comments);
}

void OpenAndCompile(benchmark::State& state, bool rtf) {
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("velky.kmp"));
    const std::string program = LargeProgram();
    if (rtf) {
        kmp::WriteProgramFile(path.toStdString(), program);
    } else {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(program.data(), static_cast<qint64>(program.size()));
    }
    kmp::ScriptedDialogs dialogs;
    kmp::TForm1 form(dialogs);
    for (auto _ : state) {
        dialogs.fileAnswers.push_back(path);
        form.Button5Click();
        form.Button1Click();
    }
    if (!kmp::CompiledOk || !dialogs.boxes.empty())
        state.SkipWithError("the program did not compile");
    state.counters["file_bytes"] = static_cast<double>(QFileInfo(path).size());
}

void BM_OpenAndCompileRtf(benchmark::State& state) {
    OpenAndCompile(state, true);
}
void BM_OpenAndCompilePlainText(benchmark::State& state) {
    OpenAndCompile(state, false);
}

BENCHMARK(BM_OpenAndCompileRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndCompilePlainText)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    kmp::StudioApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
