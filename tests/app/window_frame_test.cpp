// The window under a real window manager: its whole frame, title bar and
// borders included, lies within the screen's free area, and every control
// can be scrolled into view on the screen. Run by under_window_manager.sh
// on a laptop's 1280×720 and on 1280×900 at scale 2.
#include "window_test_support.h"

#include <QScreen>
#include <QScrollArea>
#include <QTest>

#include <algorithm>

namespace kmp::testing {
namespace {

class FrameTest : public WindowTest {};

TEST_F(FrameTest, FrameAndEveryControlLieOnTheScreen) {
    form->show();
    // The window manager frames the window after it is mapped.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->frameGeometry() != form->geometry(); }, 5000));
    QTest::qWait(300);
    const QRect available = form->screen()->availableGeometry();
    const QRect frame = form->frameGeometry();
    EXPECT_TRUE(available.contains(frame))
        << "frame " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
        << frame.height() << " on " << available.width() << "x" << available.height();
    auto* area = form->findChild<QScrollArea*>(QStringLiteral("TForm1Scroll"));
    ASSERT_NE(area, nullptr) << "a window this large scrolls on this screen";
    for (QWidget* control : ReachableControls()) {
        SCOPED_TRACE(control->objectName().toStdString());
        // Scrolled to the whole control (a text pane's own focus would be
        // its cursor); one wider or taller than the view shows as much of
        // itself as the view holds.
        const QRect place(control->mapTo(area->widget(), QPoint(0, 0)), control->size());
        area->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + 1,
                            place.height() / 2 + 1);
        QApplication::processEvents();
        const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
        const QRect viewport(area->viewport()->mapToGlobal(QPoint(0, 0)), area->viewport()->size());
        const QRect shown = onScreen & viewport;
        EXPECT_EQ(shown.width(), std::min(onScreen.width(), viewport.width()));
        EXPECT_EQ(shown.height(), std::min(onScreen.height(), viewport.height()));
        EXPECT_TRUE(available.contains(shown)) << shown.x() << "," << shown.y();
    }
}

}  // namespace
}  // namespace kmp::testing
