#include "CPortCtl.h"

#include <QBitmap>
#include <QEvent>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <stdexcept>

#include "ComError.h"
#include "ComPort.h"

// The resources live in a static library: make sure they are registered.
static void InitLedResources() {
    Q_INIT_RESOURCE(CPortCtl);
}

namespace kmp {

namespace {

constexpr int kDefaultRingDuration = 1000;

const char* KindName(TLedKind kind) {
    switch (kind) {
    case lkRedLight: return "RED";
    case lkGreenLight: return "GREEN";
    case lkBlueLight: return "BLUE";
    case lkYellowLight: return "YELLOW";
    case lkPurpleLight: return "PURPLE";
    case lkBulb: return "BULB";
    case lkCustom: break;
    }
    return nullptr;
}

}  // namespace

QString LedBitmapName(TLedKind kind, TLedState state) {
    const char* name = KindName(kind);
    if (!name) return {};
    return QStringLiteral("LED") + QLatin1String(name) +
           (state == lsOn ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

QPixmap WithAutomaticTransparency(const QPixmap& bitmap) {
    if (bitmap.isNull()) return bitmap;
    const QImage image = bitmap.toImage();
    const QColor corner = image.pixelColor(0, image.height() - 1);
    QPixmap result = bitmap;
    result.setMask(QBitmap::fromImage(image.createMaskFromColor(corner.rgb(), Qt::MaskInColor)));
    return result;
}

QPixmap LedBitmap(TLedKind kind, TLedState state) {
    const QString name = LedBitmapName(kind, state);
    if (name.isEmpty()) return {};
    static const bool registered = (InitLedResources(), true);
    (void)registered;
    return WithAutomaticTransparency(QPixmap(QStringLiteral(":/CPortCtl/") + name));
}

TComLed::TComLed(QWidget* parent) : QWidget(parent) {
    resize(25, 25);
    ringTimer_.setInterval(kDefaultRingDuration);
    connect(&ringTimer_, &QTimer::timeout, this, [this] { RingTimerFired(); });
    BindNotice();
}

TComLed::~TComLed() {
    ringTimer_.stop();
    Detach();
}

void TComLed::Detach() {
    if (!port_) return;
    disconnect(portDestroyed_);
    port_->UnRegisterLink(&link_);
    port_ = nullptr;
}

void TComLed::SetComPort(TCustomComPort* port) {
    if (port == port_) return;
    Detach();
    port_ = port;
    if (!port_) {
        ChangeState(lsOff);
        return;
    }
    portDestroyed_ = connect(port_, &QObject::destroyed, this, [this] { PortDestroyed(); });
    port_->RegisterLink(&link_);
    if (port_->Connected() && !port_->Loading()) ChangeState(CurrentSignal());
}

// The port is being destroyed: its link list is gone, so the lamp only
// forgets it.
void TComLed::PortDestroyed() {
    port_ = nullptr;
    ChangeState(lsOff);
}

TLedState TComLed::CurrentSignal() {
    auto on = [](bool value) { return value ? lsOn : lsOff; };
    switch (signal_) {
    case lsConn: return on(port_ && port_->Connected());
    case lsCTS: return on(port_->ReadModemLines().Contains(mlCTS));
    case lsDSR: return on(port_->ReadModemLines().Contains(mlDSR));
    case lsRLSD: return on(port_->ReadModemLines().Contains(mlRLSD));
    case lsRing:
    case lsRx:
    case lsTx: break;
    }
    return lsOff;
}

void TComLed::SetLedSignal(TComLedSignal signal) {
    if (signal == signal_) return;
    signal_ = signal;
    BindNotice();
}

// Binds the one notice of the link that carries the lamp's signal.
void TComLed::BindNotice() {
    link_.ConnectionNotice = nullptr;
    link_.CTSNotice = nullptr;
    link_.DSRNotice = nullptr;
    link_.RLSDNotice = nullptr;
    link_.RingNotice = nullptr;
    link_.RxActivityNotice = nullptr;
    link_.TxActivityNotice = nullptr;
    auto change = [this](TCustomComPort*, bool onOff) { SignalChange(onOff); };
    switch (signal_) {
    case lsConn: link_.ConnectionNotice = change; break;
    case lsCTS: link_.CTSNotice = change; break;
    case lsDSR: link_.DSRNotice = change; break;
    case lsRLSD: link_.RLSDNotice = change; break;
    case lsRing: link_.RingNotice = [this](TCustomComPort*) { Ring(); }; break;
    case lsRx: link_.RxActivityNotice = change; break;
    case lsTx: link_.TxActivityNotice = change; break;
    }
}

void TComLed::SetKind(TLedKind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    LoadKindImages();
    update();
}

void TComLed::LoadKindImages() {
    if (kind_ == lkCustom) return;  // keeps the images it has
    glyphOn_ = LedBitmap(kind_, lsOn);
    glyphOff_ = LedBitmap(kind_, lsOff);
}

void TComLed::SetGlyphOn(const QPixmap& bitmap) {
    if (kind_ != lkCustom) return;
    glyphOn_ = WithAutomaticTransparency(bitmap);
    update();
}

void TComLed::SetGlyphOff(const QPixmap& bitmap) {
    if (kind_ != lkCustom) return;
    glyphOff_ = WithAutomaticTransparency(bitmap);
    update();
}

void TComLed::SetState(TLedState state) {
    if (port_) throw EComPort(CError_LedStateFailed);
    ChangeState(state);
}

void TComLed::SetRingDuration(int milliseconds) {
    if (milliseconds < 0) throw std::range_error("Range check error");
    ringTimer_.setInterval(milliseconds);
}

void TComLed::ChangeState(TLedState state) {
    state_ = state;
    if (OnChange) OnChange(this, state);
    update();
}

// The lamp shows its new state at once, before the port's operation goes on.
// Only this lamp is painted: no other window event or reaction runs here, so
// a click cannot reach the window from inside the port's Open or Close.
void TComLed::SignalChange(bool onOff) {
    ChangeState(onOff ? lsOn : lsOff);
    repaint();
}

void TComLed::Ring() {
    if (!ringTimer_.isActive()) ringTimer_.start();
    ChangeState(lsOn);
}

void TComLed::RingTimerFired() {
    ringTimer_.stop();
    ChangeState(lsOff);
}

void TComLed::paintEvent(QPaintEvent*) {
    if (glyphOn_.isNull() || glyphOff_.isNull()) LoadKindImages();
    const QPixmap& image = isEnabled() && state_ == lsOn ? glyphOn_ : glyphOff_;
    const QPixmap& current = state_ == lsOn ? glyphOn_ : glyphOff_;
    const QRect client = contentsRect();
    const int left = client.left() + std::max(0, (client.width() - current.width()) / 2);
    const int top = client.top() + std::max(0, (client.height() - current.height()) / 2);
    QPainter painter(this);
    painter.drawPixmap(left, top, image);
}

void TComLed::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(event);
}

}  // namespace kmp
