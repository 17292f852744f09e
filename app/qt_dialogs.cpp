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
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Ok: break;
    }
    return QMessageBox::Ok;
}

Answer FromStandardButton(int button) {
    if (button == QMessageBox::Yes) return Answer::Yes;
    if (button == QMessageBox::No) return Answer::No;
    if (button == QMessageBox::Cancel) return Answer::Cancel;
    return Answer::Ok;
}

QMessageBox::Icon ToMessageBoxIcon(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Error: return QMessageBox::Critical;
    case BoxIcon::Question: return QMessageBox::Question;
    case BoxIcon::Information: break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons ToStandardButtons(BoxButtons buttons) {
    switch (buttons) {
    case BoxButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case BoxButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case BoxButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

std::optional<QString> RunFileDialog(QFileDialog& dialog, const QString& filter,
                                     const QString& folder) {
    const QStringList filters = QtNameFilters(filter);
    if (!folder.isEmpty()) dialog.setDirectory(folder);
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
    QMessageBox box(ToMessageBoxIcon(icon), Translated(caption), Translated(text),
                    ToStandardButtons(buttons));
    box.setDefaultButton(ToStandardButton(defaultButton));
    return FromStandardButton(box.exec());
}

std::optional<QString> QtDialogs::OpenFileName(const QString& filter, const QString& folder) {
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return RunFileDialog(dialog, filter, folder);
}

std::optional<QString> QtDialogs::SaveFileName(const QString& filter, const QString& defaultSuffix,
                                               const QString& folder) {
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    return RunFileDialog(dialog, filter, folder);
}

}  // namespace kmp
