// Shared set-up of the window tests: one application object, a fresh window
// with scripted dialogs and a fixed clock per test, and typing helpers.
#pragma once

#include "TForm1.h"
#include "scripted_dialogs.h"
#include "ui_TForm1.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

#include <ostream>

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace kmp::testing {

class FixedClock final : public Clock {
public:
    std::string LongTimeText() const override { return "12:34:56"; }
};

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    Ui::TForm1& ui() { return form->Controls(); }

    // The lines of a pane or of the editor.
    static QStringList Lines(const QPlainTextEdit& edit);
    // The editor text as a source for the compiler would see it: UTF-8.
    QString EditorText() const;

    // The controls that a user must be able to bring into view.
    QList<QWidget*> ReachableControls();

    void ClickButton(QWidget& button);
    // Types `text` as key events, one per character, non-ASCII letters
    // included; a line end is the Return key.
    void TypeText(QWidget& target, const QString& text);
    void PressKey(QWidget& target, Qt::Key key);

    ScriptedDialogs dialogs;
    FixedClock clock;
    std::unique_ptr<TForm1> form;
};

}  // namespace kmp::testing
