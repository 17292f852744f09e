// Reactions of the open and save buttons.
#include "TForm1.h"

#include "app_texts.h"
#include "program_file.h"
#include "ui_TForm1.h"

#include <QFile>
#include <QFileInfo>

namespace kmp {

QString WithDefaultSuffix(const QString& name, const QString& suffix) {
    const QString fileName = QFileInfo(name).fileName();
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('.'))) return name;
    return name + QLatin1Char('.') + suffix;
}

void TForm1::Button5Click() {
    const std::optional<QString> name =
        dialogs_.OpenFileName(QString::fromUtf8(kProgramFileFilter));
    if (!name) return;
    LoadProgramFile(*name);
}

void TForm1::OpenProgramFile(const QString& name) {
    Run([this, &name] { LoadProgramFile(name); });
}

void TForm1::LoadProgramFile(const QString& name) {
    const std::string text = ReadProgramFile(QFile::encodeName(name).toStdString());
    // Replacing the text is a change of the editor: RichEdit1Change runs.
    ui->RichEdit1->setPlainText(QString::fromStdString(text));
}

void TForm1::Button6Click() {
    const QString suffix = QString::fromUtf8(kProgramFileExtension);
    const std::optional<QString> name =
        dialogs_.SaveFileName(QString::fromUtf8(kProgramFileFilter), suffix);
    if (!name) return;
    WriteProgramFile(QFile::encodeName(WithDefaultSuffix(*name, suffix)).toStdString(),
                     ui->RichEdit1->toPlainText().toStdString());
}

}  // namespace kmp
