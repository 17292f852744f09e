// A laptop screen of 1280×720 cannot hold the 775×705 window with its title
// bar: the controls scroll, every one can be brought into view, and the
// window can grow back to its full size.
#include "window_test_support.h"

#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

namespace kmp::testing {
namespace {

class SmallScreenTest : public WindowTest {};

TEST_F(SmallScreenTest, EveryControlCanBeScrolledIntoView) {
    QApplication::processEvents();  // the window's layout
    const QRect available = form->screen()->availableGeometry();
    ASSERT_EQ(available.height(), 720);
    auto* area = form->findChild<QScrollArea*>(QStringLiteral("TForm1Scroll"));
    ASSERT_NE(area, nullptr);
    EXPECT_LT(form->height(), 705);
    EXPECT_LE(form->height(), available.height());
    const int bar = form->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, form.get());
    EXPECT_EQ(form->maximumSize(), QSize(775 + bar, 705 + bar));
    // The width fits: only the height scrolls.
    EXPECT_EQ(form->width(), 775 + bar);
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    for (QWidget* control : ReachableControls()) {
        SCOPED_TRACE(control->objectName().toStdString());
        area->ensureWidgetVisible(control, 0, 0);
        const QRect place(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(area->viewport()->rect().contains(place)) << place.y();
        EXPECT_TRUE(control->isVisible());
    }
    // The send's controls stay hidden until a send.
    EXPECT_FALSE(ui().Button7->isVisible());
    form->resize(2000, 2000);
    EXPECT_EQ(form->size(), QSize(775 + bar, 705 + bar));
}

}  // namespace
}  // namespace kmp::testing
