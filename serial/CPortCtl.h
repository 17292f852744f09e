// TComLed: a small lamp that shows one signal of a serial port (port open,
// CTS, DSR, RLSD, ring, receive or send activity). It follows its port
// through a TComLink, so the window that holds it needs no code for it.
#pragma once

#include <QMetaObject>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "ComLink.h"

namespace kmp {

class TCustomComPort;

enum TComLedSignal { lsConn, lsCTS, lsDSR, lsRLSD, lsRing, lsRx, lsTx };
enum TLedKind {
    lkRedLight,
    lkGreenLight,
    lkBlueLight,
    lkYellowLight,
    lkPurpleLight,
    lkBulb,
    lkCustom
};
enum TLedState { lsOff, lsOn };

// The on and off image of a lamp kind ("LEDREDON", ... "LEDBULBOFF"), loaded
// from the named bitmap resources with the lower-left pixel's colour made
// transparent. Null images for lkCustom.
QPixmap LedBitmap(TLedKind kind, TLedState state);
// The resource name of an image, e.g. "LEDYELLOWON"; empty for lkCustom.
QString LedBitmapName(TLedKind kind, TLedState state);
// `bitmap` with every pixel of its lower-left pixel's colour transparent.
QPixmap WithAutomaticTransparency(const QPixmap& bitmap);

class TComLed : public QWidget {
    Q_OBJECT

public:
    explicit TComLed(QWidget* parent = nullptr);
    ~TComLed() override;
    TComLed(const TComLed&) = delete;
    TComLed& operator=(const TComLed&) = delete;

    TCustomComPort* ComPort() const { return port_; }
    void SetComPort(TCustomComPort* port);
    TComLedSignal LedSignal() const { return signal_; }
    void SetLedSignal(TComLedSignal signal);
    TLedKind Kind() const { return kind_; }
    void SetKind(TLedKind kind);
    const QPixmap& GlyphOn() const { return glyphOn_; }
    const QPixmap& GlyphOff() const { return glyphOff_; }
    // Taken only while Kind is lkCustom.
    void SetGlyphOn(const QPixmap& bitmap);
    void SetGlyphOff(const QPixmap& bitmap);
    TLedState State() const { return state_; }
    // Raises EComPort 19 while a port is attached.
    void SetState(TLedState state);
    int RingDuration() const { return ringTimer_.interval(); }
    // A negative duration is a range error.
    void SetRingDuration(int milliseconds);

    // Fired at every state assignment, also when the state stays the same.
    std::function<void(QObject* Sender, TLedState AState)> OnChange;

    QSize sizeHint() const override { return {25, 25}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ChangeState(TLedState state);
    void SignalChange(bool onOff);
    void Ring();
    void RingTimerFired();
    void BindNotice();
    void LoadKindImages();
    TLedState CurrentSignal();
    void PortDestroyed();
    void Detach();

    TCustomComPort* port_ = nullptr;
    QMetaObject::Connection portDestroyed_;
    TComLink link_;
    TComLedSignal signal_ = lsConn;
    TLedKind kind_ = lkRedLight;
    TLedState state_ = lsOff;
    QPixmap glyphOn_;
    QPixmap glyphOff_;
    QTimer ringTimer_;
};

}  // namespace kmp
