#include "program_editor.h"

#include "program_highlighter.h"

#include <language_help.h>

#include <QAbstractItemView>
#include <QCompleter>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QToolTip>
#include <algorithm>

namespace kmp {

class LineNumberGutter final : public QWidget {
public:
    explicit LineNumberGutter(TProgramEditor& editor) : QWidget(&editor), editor_(editor) {
        setObjectName(QStringLiteral("RichEdit1Gutter"));
    }

protected:
    void paintEvent(QPaintEvent* event) override { editor_.PaintGutter(*event); }

private:
    TProgramEditor& editor_;
};

namespace {

constexpr int kGutterPadding = 3;
constexpr int kMinimumDigits = 3;
const QColor kMarkGround(255, 224, 224);

// The statements with their exact blanks, from the language's help.
QStringList StatementTemplateList() {
    QStringList list;
    for (const std::string_view text : StatementTemplates())
        list << QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    return list;
}

// A line as the language's help reads it: one byte per character, with
// '?' for a letter beyond Latin-1 (keywords are ASCII).
std::string HelpLine(const QString& line) {
    return line.toLatin1().toStdString();
}

const QColor kLinkedLineGround(255, 248, 200);

// A cursor over `length` characters from `column` of `block`, both clamped;
// an empty span covers the character there, or the one before a line end.
QTextCursor CursorOver(const QTextBlock& block, int column, int length, bool widenEmpty) {
    const int lineLength = block.length() - 1;  // without the line end
    int start = std::clamp(column, 0, lineLength);
    int end = std::clamp(start + std::max(length, 0), start, lineLength);
    if (widenEmpty && end == start) {
        if (end < lineLength)
            ++end;
        else if (start > 0)
            --start;
    }
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + start);
    cursor.setPosition(block.position() + end, QTextCursor::KeepAnchor);
    return cursor;
}

// A mark on an empty line (at the end of the text, where the statements
// ended) stands on the last character before it that is not blank.
QTextCursor MarkOnEmptyLine(const QTextBlock& block) {
    QTextCursor cursor(block);
    const QTextDocument& document = *block.document();
    int end = block.position();
    while (end > 0 && document.characterAt(end - 1).isSpace()) --end;
    if (end == 0) return cursor;
    cursor.setPosition(end - 1);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    return cursor;
}

}  // namespace

TProgramEditor::TProgramEditor(QWidget* parent)
    : QPlainTextEdit(parent),
      gutter_(new LineNumberGutter(*this)),
      highlighter_(new TProgramHighlighter(this)),
      templates_(new QCompleter(StatementTemplateList(), this)) {
    templates_->setWidget(this);
    templates_->setCaseSensitivity(Qt::CaseSensitive);
    templates_->setCompletionMode(QCompleter::PopupCompletion);
    connect(templates_, qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& text) { InsertTemplate(text); });
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { UpdateGutterWidth(); });
    connect(this, &QPlainTextEdit::updateRequest, this,
            [this](const QRect& rect, int dy) { UpdateGutter(rect, dy); });
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { DropMarksOfEditedLines(position, added); });
    UpdateGutterWidth();
    SetHighlighting(true);
}

void TProgramEditor::SetHighlighting(bool on) {
    // The highlighter brackets its work in an edit block, whose end would
    // announce a change of the text; the text stays as it is.
    const QSignalBlocker quiet(document());
    highlighter_->setDocument(on ? document() : nullptr);
    if (on) highlighter_->rehighlight();
    viewport()->update();
}

bool TProgramEditor::Highlighting() const {
    return highlighter_->document() != nullptr;
}

int TProgramEditor::CurrentLine() const {
    return textCursor().blockNumber() + 1;
}

int TProgramEditor::CurrentPosition() const {
    return textCursor().positionInBlock() + 1;
}

QString TProgramEditor::PositionText() const {
    return QString::number(CurrentLine()) + QLatin1Char(':') + QString::number(CurrentPosition());
}

void TProgramEditor::MoveCursorTo(int line, int position) {
    const int lineIndex = std::clamp(line - 1, 0, blockCount() - 1);
    const QTextBlock block = document()->findBlockByNumber(lineIndex);
    const int column = std::clamp(position - 1, 0, block.length() - 1);
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + column);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void TProgramEditor::SelectSpan(int line, int column, int length) {
    SelectCursor(SpanCursor(line, column, length));
}

QTextCursor TProgramEditor::SpanCursor(int line, int column, int length) const {
    const QTextBlock block = document()->findBlockByNumber(std::clamp(line, 0, blockCount() - 1));
    return CursorOver(block, column, length, false);
}

void TProgramEditor::SelectCursor(const QTextCursor& span) {
    setTextCursor(span);
    ensureCursorVisible();
    setFocus(Qt::OtherFocusReason);
}

void TProgramEditor::SetErrorMarks(const std::vector<ErrorMark>& marks) {
    marks_.clear();
    marks_.reserve(marks.size());
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(Qt::red);
    format.setBackground(kMarkGround);
    for (const ErrorMark& mark : marks) {
        if (mark.line < 0 || mark.line >= blockCount()) continue;
        const QTextBlock block = document()->findBlockByNumber(mark.line);
        QTextEdit::ExtraSelection selection{CursorOver(block, mark.column, mark.length, true),
                                            format};
        if (!selection.cursor.hasSelection()) selection.cursor = MarkOnEmptyLine(block);
        if (!selection.cursor.hasSelection()) {
            // An empty text: the line's whole width.
            selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        }
        marks_.push_back({selection, mark.message});
    }
    markedRevision_ = document()->revision();
    ShowSelections();
}

QString TProgramEditor::ErrorMessageAt(int position) const {
    QStringList messages;
    for (const Mark& mark : marks_) {
        const QTextCursor& c = mark.selection.cursor;
        const bool inside = c.hasSelection()
                                ? position >= c.selectionStart() && position < c.selectionEnd()
                                : c.block().contains(position);
        if (inside) messages << mark.message;
    }
    return messages.join(QLatin1Char('\n'));
}

void TProgramEditor::HighlightLine(int line) {
    highlightedLine_ = line >= 0 && line < blockCount() ? line : -1;
    ShowSelections();
    if (highlightedLine_ >= 0) ScrollIntoView(document()->findBlockByNumber(highlightedLine_));
}

// Scrolls so that `block` stands in the middle when any of it is hidden.
void TProgramEditor::ScrollIntoView(const QTextBlock& block) {
    const QRectF place = blockBoundingGeometry(block).translated(contentOffset());
    if (place.top() >= 0 && place.bottom() <= viewport()->height()) return;
    // The vertical scroll bar counts layout lines.
    const int linesInView = std::max(1, viewport()->height() / fontMetrics().height());
    verticalScrollBar()->setValue(block.firstLineNumber() - linesInView / 2);
}

void TProgramEditor::DropMarksOfEditedLines(int position, int added) {
    // The highlighter's new formats announce a change too, without a new
    // revision of the text.
    if (marks_.empty() || document()->revision() == markedRevision_) return;
    markedRevision_ = document()->revision();
    const int first = document()->findBlock(position).blockNumber();
    const int last = document()->findBlock(position + added).blockNumber();
    const auto edited = [&](const Mark& mark) {
        const int line = mark.selection.cursor.block().blockNumber();
        return line >= first && line <= last;
    };
    const auto gone = std::remove_if(marks_.begin(), marks_.end(), edited);
    if (gone == marks_.end()) return;
    marks_.erase(gone, marks_.end());
    ShowSelections();
}

void TProgramEditor::ShowSelections() {
    QList<QTextEdit::ExtraSelection> selections;
    if (highlightedLine_ >= 0) {
        QTextEdit::ExtraSelection line;
        line.cursor = QTextCursor(document()->findBlockByNumber(highlightedLine_));
        line.format.setBackground(kLinkedLineGround);
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        selections << line;
    }
    for (const Mark& mark : marks_) selections << mark.selection;
    setExtraSelections(selections);
}

QString TProgramEditor::KeywordAt(int position) const {
    const QTextBlock block = document()->findBlock(position);
    const std::string line = HelpLine(block.text());
    const std::string_view keyword =
        kmp::KeywordAt(line, static_cast<std::size_t>(position - block.position()));
    return QString::fromLatin1(keyword.data(), static_cast<qsizetype>(keyword.size()));
}

QString TProgramEditor::ToolTipAt(int position) const {
    const QString message = ErrorMessageAt(position);
    if (!message.isEmpty() || !keywordHelp_) return message;
    const QString keyword = KeywordAt(position);
    return keyword.isEmpty() ? QString() : keywordHelp_(keyword);
}

// Ctrl+Space offers every template that the word before the cursor begins;
// typing offers them where a statement begins, from two letters on, until
// a whole keyword stands there.
void TProgramEditor::OfferTemplates(bool asked) {
    const QTextCursor cursor = textCursor();
    const std::string before = HelpLine(cursor.block().text().left(cursor.positionInBlock()));
    const TemplateOffer offer = OfferedTemplates(before, asked);
    if (offer.templates.empty()) {
        templates_->popup()->hide();
        return;
    }
    templates_->setCompletionPrefix(
        QString::fromLatin1(offer.typed.data(), static_cast<qsizetype>(offer.typed.size())));
    templates_->popup()->setCurrentIndex(templates_->completionModel()->index(0, 0));
    QRect place = cursorRect();
    place.setWidth(templates_->popup()->sizeHintForColumn(0) + 24);
    templates_->complete(place);
}

// The rest of the template goes in, and its first value is selected, ready
// to be written over.
void TProgramEditor::InsertTemplate(const QString& text) {
    QTextCursor cursor = textCursor();
    const int start = cursor.position() - static_cast<int>(templates_->completionPrefix().size());
    cursor.insertText(text.mid(templates_->completionPrefix().size()));
    const TemplateValue value = FirstTemplateValue(text.toLatin1().toStdString());
    cursor.setPosition(start + static_cast<int>(value.start));
    cursor.setPosition(start + static_cast<int>(value.start + value.length),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void TProgramEditor::keyPressEvent(QKeyEvent* event) {
    // Tab types a tab here; Ctrl+Tab and Ctrl+Shift+Tab go on to the next or
    // the previous control, so the keyboard is never held in the editor.
    // (The text edit's own focus step refuses while Tab types.)
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && event->modifiers().testFlag(Qt::ControlModifier) &&
        !templates_->popup()->isVisible()) {
        const bool back =
            event->key() == Qt::Key_Backtab || event->modifiers().testFlag(Qt::ShiftModifier);
        QWidget::focusNextPrevChild(!back);
        return;
    }
    if (templates_->popup()->isVisible()) {
        switch (event->key()) {
        case Qt::Key_Enter:
        case Qt::Key_Return:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab: event->ignore(); return;  // the list takes them
        default: break;
        }
    }
    const bool asked =
        event->key() == Qt::Key_Space && event->modifiers().testFlag(Qt::ControlModifier);
    if (!asked) QPlainTextEdit::keyPressEvent(event);
    const bool typedLetter = !event->text().isEmpty() && event->text().front().isLetter() &&
                             !event->modifiers().testFlag(Qt::ControlModifier);
    if (asked || typedLetter) {
        OfferTemplates(asked);
    } else if (templates_->popup()->isVisible()) {
        templates_->popup()->hide();
    }
}

bool TProgramEditor::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString message = ToolTipAt(cursorForPosition(help->pos()).position());
        if (message.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), message, viewport());
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

int TProgramEditor::GutterWidth() const {
    const int digits =
        std::max(kMinimumDigits, static_cast<int>(QString::number(blockCount()).size()));
    return 2 * kGutterPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

bool TProgramEditor::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        const bool windowKey = std::any_of(
            windowKeys_.begin(), windowKeys_.end(),
            [&](const QKeySequence& k) { return k.matches(pressed) == QKeySequence::ExactMatch; });
        // Left unaccepted, the key goes to the window's shortcut.
        if (windowKey) return true;
    }
    return QPlainTextEdit::event(event);
}

void TProgramEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect contents = contentsRect();
    gutter_->setGeometry(contents.left(), contents.top(), GutterWidth(), viewport()->height());
}

void TProgramEditor::UpdateGutterWidth() {
    const int width = GutterWidth();
    setViewportMargins(width, 0, 0, 0);
    const QRect contents = contentsRect();
    gutter_->setGeometry(contents.left(), contents.top(), width, viewport()->height());
}

void TProgramEditor::UpdateGutter(const QRect& rect, int dy) {
    if (dy != 0) {
        gutter_->scroll(0, dy);
    } else {
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    }
}

void TProgramEditor::PaintGutter(const QPaintEvent& event) {
    QPainter painter(gutter_);
    painter.fillRect(event.rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setFont(font());
    const int lineHeight = fontMetrics().height();
    const int textWidth = gutter_->width() - kGutterPadding;
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event.rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event.rect().top()) {
            painter.drawText(0, top, textWidth, lineHeight, Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top = bottom;
    }
}

}  // namespace kmp
