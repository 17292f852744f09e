// The signal lamp TComLed: its images, painting, the State setter, and
// following a port's signals.
#include "upload_test_support.h"

#include "CPortCtl.h"

#include <QImage>
#include <QSet>

namespace kmp::testing {
namespace {

QColor PixelOf(QWidget& widget, int x, int y) {
    return widget.grab().toImage().pixelColor(x, y);
}

class LampTest : public UploadTest {
protected:
    void SetUp() override {
        UploadTest::SetUp();
        parent.resize(100, 100);
        parent.show();
    }
    // A port on the virtual controller, as the window has it.
    void OpenPort() {
        comPort.SetVirtualController(board);
        comPort.SetPort("sim");
        comPort.Open();
    }

    QWidget parent;
    TComPort comPort;
};

TEST_F(LampTest, TwelveImagesOfFifteenPixelsInSixteenColours) {
    const struct {
        TLedKind kind;
        const char* on;
        const char* off;
        QColor onColour, offColour;
    } kinds[] = {
        {lkRedLight, "LEDREDON", "LEDREDOFF", QColor(255, 0, 0), QColor(128, 0, 0)},
        {lkGreenLight, "LEDGREENON", "LEDGREENOFF", QColor(0, 255, 0), QColor(0, 128, 0)},
        {lkBlueLight, "LEDBLUEON", "LEDBLUEOFF", QColor(0, 0, 255), QColor(0, 0, 128)},
        {lkYellowLight, "LEDYELLOWON", "LEDYELLOWOFF", QColor(255, 255, 0), QColor(128, 128, 0)},
        {lkPurpleLight, "LEDPURPLEON", "LEDPURPLEOFF", QColor(255, 0, 255), QColor(128, 0, 128)},
        {lkBulb, "LEDBULBON", "LEDBULBOFF", QColor(255, 255, 255), QColor(192, 192, 192)},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.on);
        EXPECT_EQ(LedBitmapName(k.kind, lsOn), k.on);
        EXPECT_EQ(LedBitmapName(k.kind, lsOff), k.off);
        for (const auto& [state, colour] :
             {std::pair{lsOn, k.onColour}, std::pair{lsOff, k.offColour}}) {
            const QImage image = LedBitmap(k.kind, state).toImage();
            ASSERT_EQ(image.size(), QSize(15, 15));
            EXPECT_EQ(image.pixelColor(0, 14).alpha(), 0);  // the corner colour
            EXPECT_EQ(image.pixelColor(14, 0).alpha(), 0);
            EXPECT_EQ(image.pixelColor(7, 9), colour);
            QSet<QRgb> colours;
            for (int y = 0; y < 15; ++y)
                for (int x = 0; x < 15; ++x) colours.insert(image.pixel(x, y));
            EXPECT_LE(colours.size(), 16);
        }
    }
    EXPECT_TRUE(LedBitmap(lkCustom, lsOn).isNull());
}

TEST_F(LampTest, PaintsTheImageCentredOrFromTheTopLeft) {
    TComLed big(&parent);
    big.resize(25, 25);
    big.SetState(lsOn);
    big.show();
    EXPECT_EQ(PixelOf(big, 5 + 7, 5 + 9), QColor(255, 0, 0));
    EXPECT_EQ(PixelOf(big, 5 + 1, 5 + 7), QColor(128, 128, 128));  // the rim
    EXPECT_NE(PixelOf(big, 5 + 0, 5 + 0), QColor(0, 128, 128));    // corner left out

    TComLed small(&parent);
    small.resize(10, 10);
    small.SetState(lsOn);
    small.show();
    EXPECT_EQ(PixelOf(small, 1, 7), QColor(128, 128, 128));
    EXPECT_EQ(PixelOf(small, 7, 9), QColor(255, 0, 0));
}

TEST_F(LampTest, DisabledLampShowsItsOffImage) {
    TComLed lamp(&parent);
    lamp.SetKind(lkGreenLight);
    lamp.SetState(lsOn);
    lamp.show();
    EXPECT_EQ(PixelOf(lamp, 12, 14), QColor(0, 255, 0));
    lamp.setEnabled(false);
    EXPECT_EQ(PixelOf(lamp, 12, 14), QColor(0, 128, 0));
    EXPECT_EQ(lamp.State(), lsOn);
}

TEST_F(LampTest, StateCannotBeSetWhileAPortIsAttached) {
    TComLed lamp(&parent);
    std::vector<TLedState> changes;
    lamp.OnChange = [&](QObject* sender, TLedState state) {
        EXPECT_EQ(sender, &lamp);
        changes.push_back(state);
    };
    lamp.SetState(lsOn);
    lamp.SetState(lsOn);
    EXPECT_EQ(changes, (std::vector<TLedState>{lsOn, lsOn}));

    lamp.SetComPort(&comPort);
    try {
        lamp.SetState(lsOff);
        ADD_FAILURE() << "no EComPort";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.ErrorCode(), 19);
        EXPECT_STREQ(error.what(), "Cannot change led state if ComPort is selected");
    }
    EXPECT_EQ(lamp.State(), lsOn);
}

TEST_F(LampTest, FollowsTheConnectionAndDsr) {
    TComLed conn(&parent), dsr(&parent);
    conn.SetComPort(&comPort);
    dsr.SetLedSignal(lsDSR);
    dsr.SetComPort(&comPort);
    OpenPort();
    EXPECT_EQ(conn.State(), lsOn);
    EXPECT_EQ(dsr.State(), lsOn);
    board->SetDSR(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dsr.State() == lsOff; }, kLongWaitMs));
    EXPECT_EQ(conn.State(), lsOn);
    board->SetDSR(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dsr.State() == lsOn; }, kLongWaitMs));
    comPort.Close();
    EXPECT_EQ(conn.State(), lsOff);
    EXPECT_EQ(dsr.State(), lsOff);
}

TEST_F(LampTest, NewSignalTakesEffectAtItsNextNotice) {
    TComLed lamp(&parent);
    lamp.SetComPort(&comPort);
    OpenPort();
    ASSERT_EQ(lamp.State(), lsOn);
    lamp.SetLedSignal(lsDSR);
    EXPECT_EQ(lamp.State(), lsOn);
    board->SetDSR(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lamp.State() == lsOff; }, kLongWaitMs));
}

TEST_F(LampTest, AttachingToAnOpenPortShowsTheCurrentSignal) {
    board->SetDSR(false);
    OpenPort();
    const struct {
        TComLedSignal signal;
        TLedState state;
    } cases[] = {{lsConn, lsOn},  {lsCTS, lsOn}, {lsDSR, lsOff}, {lsRLSD, lsOn},
                 {lsRing, lsOff}, {lsRx, lsOff}, {lsTx, lsOff}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.signal);
        TComLed lamp(&parent);
        lamp.SetLedSignal(c.signal);
        if (c.state == lsOff) lamp.SetState(lsOn);
        lamp.SetComPort(&comPort);
        EXPECT_EQ(lamp.State(), c.state);
    }
}

TEST_F(LampTest, DetachesWhenItsPortIsDestroyed) {
    auto owned = std::make_unique<TComPort>();
    TComLed lamp(&parent);
    lamp.SetComPort(owned.get());
    owned->SetVirtualController(board);
    owned->SetPort("sim");
    owned->Open();
    ASSERT_EQ(lamp.State(), lsOn);
    std::vector<TLedState> changes;
    lamp.OnChange = [&](QObject*, TLedState state) { changes.push_back(state); };
    owned.reset();
    EXPECT_EQ(lamp.ComPort(), nullptr);
    EXPECT_EQ(lamp.State(), lsOff);
    EXPECT_EQ(changes.back(), lsOff);
    lamp.SetState(lsOn);  // no port any more
    EXPECT_EQ(lamp.State(), lsOn);
}

TEST_F(LampTest, DetachingByHandTurnsTheLampOff) {
    TComLed lamp(&parent);
    lamp.SetComPort(&comPort);
    OpenPort();
    lamp.SetComPort(nullptr);
    EXPECT_EQ(lamp.State(), lsOff);
    comPort.Close();
    comPort.Open();
    EXPECT_EQ(lamp.State(), lsOff);
}

TEST_F(LampTest, CustomImagesOnlyForTheCustomKind) {
    QImage drawing(15, 15, QImage::Format_RGB32);
    drawing.fill(QColor(255, 0, 255));
    drawing.setPixelColor(7, 7, QColor(0, 0, 255));
    const QPixmap glyph = QPixmap::fromImage(drawing);
    TComLed lamp(&parent);
    lamp.SetKind(lkBlueLight);
    lamp.SetGlyphOn(glyph);
    EXPECT_EQ(lamp.GlyphOn().toImage().pixelColor(7, 9), QColor(0, 0, 255));
    lamp.SetKind(lkCustom);
    lamp.SetGlyphOn(glyph);
    const QImage on = lamp.GlyphOn().toImage();
    EXPECT_EQ(on.pixelColor(7, 7), QColor(0, 0, 255));
    EXPECT_EQ(on.pixelColor(0, 14).alpha(), 0);
    EXPECT_EQ(on.pixelColor(3, 3).alpha(), 0);
}

// The window's lamps: yellow follows the open line, green follows DSR.
TEST_F(LampTest, WindowLampsAreYellowForTheLineAndGreenForDsr) {
    ShowWindow({"sim"});
    EXPECT_EQ(ui().ComLed1->Kind(), lkYellowLight);
    EXPECT_EQ(ui().ComLed1->LedSignal(), lsConn);
    EXPECT_EQ(ui().ComLed1->ComPort(), &port());
    EXPECT_EQ(ui().ComLed1->geometry(), QRect(640, 344, 25, 25));
    EXPECT_EQ(ui().ComLed2->Kind(), lkGreenLight);
    EXPECT_EQ(ui().ComLed2->LedSignal(), lsDSR);
    EXPECT_EQ(ui().ComLed2->ComPort(), &port());
    EXPECT_EQ(ui().ComLed2->geometry(), QRect(640, 360, 25, 25));
    EXPECT_EQ(PixelOf(*ui().ComLed1, 12, 14), QColor(128, 128, 0));
    Click(*ui().Button2);
    EXPECT_EQ(PixelOf(*ui().ComLed1, 12, 14), QColor(255, 255, 0));
    EXPECT_EQ(PixelOf(*ui().ComLed2, 12, 14), QColor(0, 255, 0));
}

}  // namespace
}  // namespace kmp::testing
