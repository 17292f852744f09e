#include "qt_dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace kmp {

namespace {

// The text in the user's language, through the installed translators; the
// Slovak text itself is the key.
QString Translated(const QString& text) {
    return QCoreApplication::translate("kmp", text.toUtf8().constData());
}

QMessageBox::StandardButton ToStandardButton(Answer answer) {
    switch (answer) {
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    case Answer::Ok: break;
    }
    return QMessageBox::Ok;
}

Answer FromStandardButton(int button) {
    if (button == QMessageBox::Yes) return Answer::Yes;
    if (button == QMessageBox::No) return Answer::No;
    return Answer::Ok;
}

std::optional<QString> RunFileDialog(QFileDialog& dialog, const QString& filter) {
    const QStringList filters = QtNameFilters(filter);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

}  // namespace

QStringList QtNameFilters(const QString& storedFilter) {
    const QStringList parts = storedFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = Translated(parts[i]);
        if (!description.endsWith(QLatin1Char(' '))) description += QLatin1Char(' ');
        filters << description + QLatin1Char('(') + parts[i + 1] + QLatin1Char(')');
    }
    return filters;
}

Answer QtDialogs::MessageBox(const QString& caption, const QString& text, BoxIcon icon,
                             BoxButtons buttons, Answer defaultButton) {
    QMessageBox box(icon == BoxIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    Translated(caption), Translated(text),
                    buttons == BoxButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                 : QMessageBox::StandardButtons(QMessageBox::Ok));
    box.setDefaultButton(ToStandardButton(defaultButton));
    return FromStandardButton(box.exec());
}

std::optional<QString> QtDialogs::OpenFileName(const QString& filter) {
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return RunFileDialog(dialog, filter);
}

std::optional<QString> QtDialogs::SaveFileName(const QString& filter,
                                               const QString& defaultSuffix) {
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    return RunFileDialog(dialog, filter);
}

}  // namespace kmp
