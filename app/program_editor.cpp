#include "program_editor.h"

#include "program_highlighter.h"

#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QTextBlock>
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

}  // namespace

TProgramEditor::TProgramEditor(QWidget* parent)
    : QPlainTextEdit(parent),
      gutter_(new LineNumberGutter(*this)),
      highlighter_(new TProgramHighlighter(this)) {
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { UpdateGutterWidth(); });
    connect(this, &QPlainTextEdit::updateRequest, this,
            [this](const QRect& rect, int dy) { UpdateGutter(rect, dy); });
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
