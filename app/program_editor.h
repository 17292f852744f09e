// The program editor RichEdit1: a plain-text editor with line numbers in a
// gutter inside its own rectangle and display-only highlighting of the
// program text.
#pragma once

#include <QList>
#include <QPlainTextEdit>

class QPaintEvent;

namespace kmp {

class TProgramHighlighter;

class TProgramEditor final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TProgramEditor(QWidget* parent = nullptr);

    // Turns the highlighting on or off; it is on from the start.
    void SetHighlighting(bool on);
    bool Highlighting() const;

    // The 1-based line and position of the text cursor.
    int CurrentLine() const;
    int CurrentPosition() const;
    // "line:position", as the window shows it.
    QString PositionText() const;

    // Puts the text cursor at a 1-based line and position (both clamped to
    // the text) and scrolls it into view; for going to a reported error.
    void MoveCursorTo(int line, int position);

    // Keys that belong to the window's shortcuts: the editor does not take
    // them for its own editing commands.
    void SetWindowKeys(const QList<QKeySequence>& keys) { windowKeys_ = keys; }

    // The gutter with the line numbers, a child inside the editor's frame.
    QWidget& Gutter() const { return *gutter_; }
    int GutterWidth() const;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class LineNumberGutter;
    void PaintGutter(const QPaintEvent& event);
    void UpdateGutterWidth();
    void UpdateGutter(const QRect& rect, int dy);

    QWidget* gutter_;
    TProgramHighlighter* highlighter_;
    QList<QKeySequence> windowKeys_;
};

}  // namespace kmp
