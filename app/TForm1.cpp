#include "TForm1.h"

#include "upload_controller.h"

#include "accessible_names.h"
#include "app_texts.h"
#include "error_display.h"
#include "example_program.h"
#include "kmp_version.h"
#include "recovery_file.h"
#include "ui_TForm1.h"
#include "window_fit.h"
#include "window_icon.h"

#include <QCloseEvent>
#include <QScreen>
#include <algorithm>

namespace kmp {
namespace {

const QSize kWindowSize(775, 705);

}  // namespace

TForm1::TForm1(Dialogs& dialogs, bool withSimulator, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TForm1>()), dialogs_(dialogs) {
    ui->setupUi(this);
    SetUpWindow();
    NameControlsForScreenReaders(*ui);
    ui->RichEdit1->setPlainText(QString::fromUtf8(kExampleProgram));
    ConnectReactions();
    InitUpload(withSimulator);
}

TForm1::~TForm1() = default;

void TForm1::SetUpWindow() {
    // Fixed size, system menu and minimise only: no maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kWindowSize);
    // A small screen (a laptop, or a large scale factor) scrolls the controls;
    // the window manager's real frame is fitted again once it is drawn.
    if (const QScreen* screen = this->screen())
        ScrollWhenLargerThanScreen(*this, kWindowSize, screen->availableGeometry(),
                                   GuessedFrame(*this));
    KeepFrameOnScreen(*this, kWindowSize);
    ShowTitle();
    connect(ui->RichEdit1->document(), &QTextDocument::modificationChanged, this,
            [this] { ShowTitle(); });
    setWindowIcon(WindowIcon());
    ui->Label16->installEventFilter(this);
    // The credits line names the build's version (%1 in its caption).
    ui->Label15->setText(ui->Label15->text().arg(QStringLiteral(KMP_VERSION)));
    for (QLabel* valueLabel : {ui->Label7, ui->Label10, ui->Label14})
        valueLabel->setMinimumWidth(valueLabel->width());
    ui->Button1->setFocus();
    CenterOnScreen();
}

void TForm1::CenterOnScreen() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    QRect frame = rect();
    frame.moveCenter(available.center());
    // On a screen smaller than the window the title bar stays reachable.
    move(std::max(frame.left(), available.left()), std::max(frame.top(), available.top()));
}

template <typename Sender, typename Signal>
void TForm1::React(Sender* sender, Signal signal, void (TForm1::*reaction)()) {
    connect(sender, signal, this,
            [this, reaction] { Run([this, reaction] { (this->*reaction)(); }); });
}

void TForm1::Run(const std::function<void()>& reaction) {
    RunReaction(dialogs_, reaction);
}

void TForm1::ConnectReactions() {
    React(ui->Button1, &QPushButton::clicked, &TForm1::Button1Click);
    React(ui->Button5, &QPushButton::clicked, &TForm1::Button5Click);
    React(ui->Button6, &QPushButton::clicked, &TForm1::Button6Click);
    React(ui->RichEdit1, &QPlainTextEdit::textChanged, &TForm1::RichEdit1Change);
    React(ui->TrackBar1, &QSlider::valueChanged, &TForm1::TrackBar1Change);
    React(ui->TrackBar2, &QSlider::valueChanged, &TForm1::TrackBar2Change);
    React(ui->TrackBar3, &QSlider::valueChanged, &TForm1::TrackBar3Change);
    React(ui->Button2, &QPushButton::clicked, &TForm1::Button2Click);
    React(ui->Button3, &QPushButton::clicked, &TForm1::Button3Click);
    React(ui->Button4, &QPushButton::clicked, &TForm1::Button4Click);
    React(ui->Button7, &QPushButton::clicked, &TForm1::Button7Click);
    // ComboBox1Change is connected by InitUpload, to the user's choices only.
    ConnectEditorAndKeys();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Label16) {
        switch (event->type()) {
        case QEvent::Enter: Run([this] { Label16MouseEnter(); }); break;
        case QEvent::Leave: Run([this] { Label16MouseLeave(); }); break;
        case QEvent::MouseButtonRelease: Run([this] { Label16Click(); }); break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    Run([this] { FormShow(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    Run([this, &mayClose] { mayClose = MayLoseText(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    Run([this] { FormClose(); });
    event->accept();
}

}  // namespace kmp
