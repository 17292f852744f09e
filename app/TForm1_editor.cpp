// The editor's position display, the window's keyboard shortcuts and the
// opening of dropped program files.
#include "TForm1.h"

#include "announce.h"
#include "announcements.h"
#include "app_texts.h"
#include "error_hints.h"
#include "file_drop.h"
#include "log_navigation.h"
#include "ui_TForm1.h"
#include "window_keys.h"

#include <language_help.h>

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextBlock>

#include <algorithm>

namespace kmp {

namespace {

// The reference in the window's language: English when the window's texts
// are translated, Slovak otherwise.
const LanguageReference& WindowReference() {
    static const bool translated = QCoreApplication::translate("kmp::TForm1", kWindowCaption) !=
                                   QString::fromUtf8(kWindowCaption);
    return LanguageReference::Of(translated ? HelpLanguage::English : HelpLanguage::Slovak);
}

QString FormOfKeyword(const QString& keyword) {
    return QString::fromStdString(WindowReference().FormOf(keyword.toStdString()));
}

}  // namespace

void TForm1::ConnectEditorAndKeys() {
    connect(ui->RichEdit1, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { Run([this] { ShowCursorPosition(); }); });
    ShowCursorPosition();

    AddButtonKeys(*this, *ui->Button5, kOpenKeys);
    AddButtonKeys(*this, *ui->Button6, kSaveAsKeys);
    for (const QKeySequence& key : kSaveKeys) {
        connect(new QShortcut(key, this), &QShortcut::activated, this,
                [this] { Run([this] { SaveProgram(); }); });
    }
    ui->Button6->setToolTip(TooltipWithKeys(ui->Button6->text(), kSaveKeys + kSaveAsKeys));
    AddButtonKeys(*this, *ui->Button1, kCompileKeys);
    AddButtonKeys(*this, *ui->Button4, kSendKeys);
    AddButtonKeys(*this, *ui->Button7, kCancelKeys);
    for (const QKeySequence& key : kCloseKeys)
        connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);
    for (const QKeySequence& key : kReferenceKeys) {
        connect(new QShortcut(key, this), &QShortcut::activated, this,
                [this] { Run([this] { ShowReference(); }); });
    }
    ui->RichEdit1->SetKeywordHelp([](const QString& keyword) { return FormOfKeyword(keyword); });
    ui->RichEdit1->SetWindowKeys(kOpenKeys + kSaveKeys + kSaveAsKeys + kCompileKeys + kSendKeys +
                                 kCloseKeys + kReferenceKeys);

    // A drop opens a program as Button5 does; while a send keeps Button5
    // off, a drop is refused (the drag shows it).
    auto* drop = new ProgramFileDrop([this] { return ui->Button5->isEnabled(); },
                                     [this](const QString& name) { OpenProgramFile(name); }, this);
    drop->Watch(*this);
    drop->Watch(*ui->RichEdit1->viewport());
    ConnectNavigation();
}

void TForm1::ConnectNavigation() {
    using Gesture = PaneLineChoice::Gesture;
    new PaneLineChoice(*ui->Memo1, Gesture::DoubleClickOrEnter,
                       [this](int line) { Run([this, line] { GoToError(line); }); });
    new PaneLineChoice(*ui->Memo2, Gesture::Click,
                       [this](int line) { Run([this, line] { ShowSourceOfListingLine(line); }); });
    connect(ui->RichEdit1, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { ShowListingOfCursorLine(); });
    // An edit shifts the lines: the listing no longer shows this text.
    connect(ui->RichEdit1->document(), &QTextDocument::contentsChanged, this, [this] {
        // New formats of the highlighter come without a new revision.
        if (listingSourceLines_.empty() ||
            ui->RichEdit1->document()->revision() == listingRevision_)
            return;
        listingSourceLines_.clear();
        ui->RichEdit1->HighlightLine(-1);
        ui->Memo2->setExtraSelections({});
    });
}

void TForm1::TakeCompileResult(const CompileResult& result, const ErrorPlace* tooLong) {
    listingSourceLines_ = result.listingSourceLines;
    listingRevision_ = ui->RichEdit1->document()->revision();
    errorSpans_.clear();
    errorSpans_.reserve(result.errorPlaces.size());
    errorLogLines_.clear();
    std::vector<TProgramEditor::ErrorMark> marks;
    marks.reserve(result.errorPlaces.size());
    for (const ErrorPlace& e : result.errorPlaces) {
        errorSpans_.push_back(ui->RichEdit1->SpanCursor(e.line, e.column, e.length));
        errorLogLines_.push_back(e.logLine);
        marks.push_back({e.line, e.column, e.length, QString::fromStdString(MarkTooltip(e))});
    }
    // The statement that no longer fits the image.
    if (tooLong) {
        marks.push_back({tooLong->line, tooLong->column, tooLong->length,
                         QString::fromStdString(MarkTooltip(*tooLong))});
    }
    ui->RichEdit1->SetErrorMarks(marks);
    ui->RichEdit1->HighlightLine(-1);
    ShowListingOfCursorLine();
    const int errors = static_cast<int>(marks.size());
    Announce(*ui->Memo1, tr(CompileAnnouncement(result.ok, errors)).arg(std::max(errors, 1)));
}

void TForm1::GoToError(int logLine) {
    const auto error = std::find(errorLogLines_.begin(), errorLogLines_.end(), logLine);
    if (error == errorLogLines_.end() || errorSpans_.empty()) return;
    ui->RichEdit1->SelectCursor(
        errorSpans_[static_cast<std::size_t>(error - errorLogLines_.begin())]);
}

void TForm1::ShowSourceOfListingLine(int listingLine) {
    if (listingLine < 0 || listingLine >= static_cast<int>(listingSourceLines_.size())) return;
    ui->RichEdit1->HighlightLine(listingSourceLines_[static_cast<std::size_t>(listingLine)]);
}

// Lays a light ground on the listing lines of the statement under the
// editor's cursor, and scrolls the first into view.
void TForm1::ShowListingOfCursorLine() {
    if (listingSourceLines_.empty() && ui->Memo2->extraSelections().isEmpty()) return;
    QList<QTextEdit::ExtraSelection> lines;
    const int line = ui->RichEdit1->textCursor().blockNumber();
    QTextDocument& listing = *ui->Memo2->document();
    for (std::size_t i = 0; i < listingSourceLines_.size(); ++i) {
        if (listingSourceLines_[i] != line) continue;
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(listing.findBlockByNumber(static_cast<int>(i)));
        selection.format.setBackground(QColor(255, 248, 200));
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        lines << selection;
    }
    ui->Memo2->setExtraSelections(lines);
    if (!lines.isEmpty()) {
        ui->Memo2->setTextCursor(lines.front().cursor);
        ui->Memo2->ensureCursorVisible();
    }
}

void TForm1::ShowReference() {
    const LanguageReference& reference = WindowReference();
    if (!reference_) {
        const QString markdown = QString::fromUtf8(
            reference.Markdown().data(), static_cast<qsizetype>(reference.Markdown().size()));
        reference_ = new QTextBrowser(this);
        reference_->setWindowFlag(Qt::Window);
        reference_->setObjectName(QStringLiteral("ReferenceView"));
        reference_->setWindowTitle(markdown.section(QLatin1Char('\n'), 0, 0).mid(2));
        reference_->setMarkdown(markdown);
        reference_->resize(600, 660);
    }
    reference_->show();
    reference_->raise();
    // The statement of the cursor's line: its first word.
    const QString line = ui->RichEdit1->textCursor().block().text();
    const QString section = QString::fromStdString(
        reference.SectionOf(StatementKeyword(line.toLatin1().toStdString())));
    QTextDocument& text = *reference_->document();
    // The whole layout, so that the scroll bar reaches every section.
    text.documentLayout()->documentSize();
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        if (block.text() != section || section.isEmpty()) continue;
        const QRectF place = text.documentLayout()->blockBoundingRect(block);
        reference_->verticalScrollBar()->setValue(static_cast<int>(place.top()));
        break;
    }
}

void TForm1::ShowCursorPosition() {
    ui->Label18->setText(ui->RichEdit1->PositionText());
}

}  // namespace kmp
