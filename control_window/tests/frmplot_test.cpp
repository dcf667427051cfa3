// The graph window driven as a user drives it: presses, drags, releases, double-clicks, the save
// dialog, and the graph protocol of the editors around it.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "control_window/model/maincode.h"
#include "control_window/windows/frmplot.h"
#include "control_window/windows/graph.h"
#include "platform/form.h"
#include "platform/surface.h"
#include "platform/system.h"
#include "platform/testing/scripted_user.h"

using namespace cw;
using plat::testing::ScriptedUser;

namespace {

constexpr int kLeft = 1, kRight = 2, kMiddle = 4;
const std::array<bool, 11> kNoneMoved{};

class FrmPlotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetMaincode();
        ASSERT_TRUE(tmp_.isValid());
    }
    void TearDown() override { plat::unloadAll(); }

    // Ten points at x = 1..10, all at 0.5, on a y axis from ymin to 1.
    static void tenPoints(float ymin = 0) {
        mc.xmin = 1;
        mc.xmax = 10;
        mc.ymin = ymin;
        mc.ymax = 1;
        mc.npts = 10;
        for (int k = 1; k <= 10; ++k) {
            mc.xplot[k] = float(k);
            mc.yplot[k] = 0.5f;
        }
        mc.xtitle = "Age";
        mc.ytitle = "Natural mortality";
    }

    static frmPlot& plot() { return plat::instance<frmPlot>(); }
    static bool blackAt(float x, float y) { return plot().surface().point(x, y) == plat::kBlack; }

    // The points whose y is no longer 0.5, as a mask.
    static std::array<bool, 11> moved() {
        std::array<bool, 11> m{};
        for (int k = 1; k <= 10; ++k)
            m[std::size_t(k)] = mc.yplot[k] != 0.5f;
        return m;
    }

    std::string tmpPath(const char* name) const {
        return QDir(tmp_.path()).filePath(name).toStdString();
    }

    QTemporaryDir tmp_;
};

TEST_F(FrmPlotTest, PressCatchesOnlyThePointWithinItsZone) {
    tenPoints();
    drawplot();
    // Catch zone: 0.5 / 10 of the span 9 = 0.45 either side of a point.
    plot().mouseDown(kLeft, 3.4f, 0.8f);
    plot().mouseUp(kLeft, 3.4f, 0.8f);
    EXPECT_FLOAT_EQ(mc.yplot[3], 0.8f);
    std::array<bool, 11> want{};
    want[3] = true;
    EXPECT_EQ(moved(), want);

    plot().mouseDown(kLeft, 3.5f, 0.2f);
    plot().mouseUp(kLeft, 3.5f, 0.2f);
    EXPECT_EQ(moved(), want) << "a press between the zones moves nothing";
    EXPECT_FLOAT_EQ(mc.yplot[3], 0.8f);
    EXPECT_FALSE(plot().dragging());
    EXPECT_TRUE(plot().visible()) << "a left release keeps the window";
}

TEST_F(FrmPlotTest, DraggingFollowsThePointerWithinTheAxis) {
    tenPoints();
    drawplot();
    plot().mouseDown(kLeft, 5, 0.3f);
    EXPECT_TRUE(plot().dragging());
    EXPECT_FLOAT_EQ(mc.yplot[5], 0.3f);
    plot().mouseMove(kLeft, 5.2f, 1.7f);
    EXPECT_FLOAT_EQ(mc.yplot[5], 1) << "clamped to ymax";
    EXPECT_FLOAT_EQ(plot().lastY(), 1.7f) << "the position is kept as received";
    plot().mouseMove(kLeft, 5.2f, -3);
    EXPECT_FLOAT_EQ(mc.yplot[5], 0) << "clamped to ymin";
    plot().mouseUp(kLeft, 5.2f, -3);
    plot().mouseMove(0, 5, 0.9f);
    EXPECT_FLOAT_EQ(mc.yplot[5], 0) << "no drag after the release";
    std::array<bool, 11> want{};
    want[5] = true;
    EXPECT_EQ(moved(), want);
}

TEST_F(FrmPlotTest, MovingErasesTheOldCurveAndDrawsTheNewOneWithTheZeroLine) {
    tenPoints(-0.5f);
    drawplot();
    EXPECT_TRUE(blackAt(3.5f, 0.5f)) << "old segment 3-4";
    EXPECT_FALSE(blackAt(5.5f, 0)) << "no zero line before a press";
    plot().mouseDown(kLeft, 3, 0.9f);
    plot().mouseUp(kLeft, 3, 0.9f);
    EXPECT_FALSE(blackAt(3.5f, 0.5f)) << "old segment erased in white";
    EXPECT_TRUE(blackAt(3.5f, 0.7f)) << "new segment 3-4";
    EXPECT_TRUE(blackAt(6.5f, 0.5f)) << "the rest of the curve redrawn";
    EXPECT_TRUE(blackAt(5.5f, 0)) << "line at y = 0";
    // The zero line comes with every press, also one that catches nothing.
    tenPoints(-0.5f);
    drawplot();
    plot().mouseDown(kLeft, 0.2f, 0.9f);
    plot().mouseUp(kLeft, 0.2f, 0.9f);
    EXPECT_TRUE(blackAt(5.5f, 0));
    EXPECT_EQ(moved(), kNoneMoved);
}

TEST_F(FrmPlotTest, RightOrMiddleReleaseClosesTheWindow) {
    for (int button : {kRight, kMiddle}) {
        tenPoints();
        drawplot();
        plot().mouseDown(button, 4, 0.9f);
        EXPECT_FLOAT_EQ(mc.yplot[4], 0.9f) << "the press moves the point first";
        plot().mouseUp(button, 4, 0.9f);
        EXPECT_FALSE(plat::isLoaded<frmPlot>()) << button;

        // Left of the box: closes without changing any value.
        tenPoints();
        drawplot();
        plot().mouseDown(button, 0.5f, 0.9f);
        plot().mouseUp(button, 0.5f, 0.9f);
        EXPECT_FALSE(plat::isLoaded<frmPlot>());
        EXPECT_EQ(moved(), kNoneMoved);
    }
}

TEST_F(FrmPlotTest, DoubleClickInTheMarginSavesTheWindowAsABitmap) {
    tenPoints();
    drawplot();
    const std::string path = tmpPath("graph.bmp");
    ScriptedUser user;
    user.fileDialog("Save Plot", path);
    plot().dblClick(0.5f, 0.5f);
    EXPECT_TRUE(user.finished());
    ASSERT_EQ(user.seen().size(), 1u);
    const plat::FileDialogRequest& req = user.seen()[0].dialog;
    EXPECT_EQ(req.kind, plat::FileDialogKind::Save);
    EXPECT_EQ(req.filter, "Output Files (*.bmp)|*.bmp");
    EXPECT_EQ(req.initialDir, plat::currentFolder());
    EXPECT_EQ(req.fileName, "");
    EXPECT_EQ(moved(), kNoneMoved);
    EXPECT_TRUE(plot().visible()) << "the window stays up after a save";

    QImage saved;
    ASSERT_TRUE(saved.load(QString::fromStdString(path), "BMP"));
    EXPECT_EQ(saved.width(), plot().surface().pixelWidth());
    EXPECT_EQ(saved.height(), plot().surface().pixelHeight());
    EXPECT_NEAR(saved.width(), 10000 / 15.0, 1);
    // The curve is in the file.
    const int px = int(std::lround(plot().surface().toPixelX(5.5f)));
    const int py = int(std::lround(plot().surface().toPixelY(0.5f)));
    EXPECT_EQ(saved.pixel(px, py) & 0xFFFFFF, 0u);
}

TEST_F(FrmPlotTest, DoubleClickBelowTheBoxMovesThePointThenAsks) {
    tenPoints();
    drawplot();
    ScriptedUser user;
    user.fileDialog("Save Plot", ""); // cancelled
    plot().dblClick(6, -0.1f);
    EXPECT_TRUE(user.finished());
    EXPECT_FLOAT_EQ(mc.yplot[6], 0) << "moved to ymin by the press";
    std::array<bool, 11> want{};
    want[6] = true;
    EXPECT_EQ(moved(), want);
    EXPECT_TRUE(plat::isLoaded<frmPlot>());
    EXPECT_FALSE(plot().visible()) << "a cancelled dialog hides the window";
}

TEST_F(FrmPlotTest, DoubleClickInsideTheBoxAsksNothing) {
    tenPoints();
    drawplot();
    ScriptedUser user;      // any prompt would be a failure
    plot().dblClick(10, 1); // on the box's corner: inside
    plot().dblClick(2.5f, 0.5f);
    EXPECT_TRUE(user.seen().empty());
    EXPECT_TRUE(plot().visible());
}

TEST_F(FrmPlotTest, RealDoubleClickDoesNotPressASecondTime) {
    tenPoints();
    drawplot();
    QWidget* w = plot().surface().widget();
    ASSERT_NE(w, nullptr);
    auto at = [](float x, float y) {
        return QPoint(int(std::lround(plot().surface().toPixelX(x))),
                      int(std::lround(plot().surface().toPixelY(y))));
    };
    // First click in the left margin; the second lands on point 2 inside the box. Were the
    // second click a press as well, it would move point 2 and leave the last position inside,
    // so nothing would be saved.
    ScriptedUser user;
    user.fileDialog("Save Plot", "");
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, at(0.3f, 0.5f));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, at(0.3f, 0.5f));
    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, at(2, 0.9f));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, at(2, 0.9f));
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(user.seen().size(), 1u);
    EXPECT_EQ(moved(), kNoneMoved);
    EXPECT_FALSE(plot().dragging());
}

TEST_F(FrmPlotTest, OnePointOrOneXStillCatchesWithoutDividingByZero) {
    // One point inside a range: its catch zone is half the plot's x span.
    mc.xmin = 0;
    mc.xmax = 20;
    mc.ymin = 0;
    mc.ymax = 1;
    mc.npts = 1;
    mc.xplot[1] = 5;
    mc.yplot[1] = 0.5f;
    drawplot();
    plot().mouseDown(kLeft, 7, 0.75f);
    plot().mouseUp(kLeft, 7, 0.75f);
    EXPECT_FLOAT_EQ(mc.yplot[1], 0.75f);
    plot().mouseDown(kLeft, 15.5f, 0.2f);
    plot().mouseUp(kLeft, 15.5f, 0.2f);
    EXPECT_FLOAT_EQ(mc.yplot[1], 0.75f) << "more than half the span away";

    // One year: x range and point coincide; the scale's one x unit stands in.
    mc.xmin = mc.xmax = 2001;
    mc.xplot[1] = 2001;
    mc.yplot[1] = 0.5f;
    drawplot();
    plot().mouseDown(kLeft, 2001.1f, 0.25f);
    plot().mouseUp(kLeft, 2001.1f, 0.25f);
    EXPECT_FLOAT_EQ(mc.yplot[1], 0.25f);

    // Two points on one x: both in the zone, the last one wins.
    mc.xmin = 0;
    mc.xmax = 10;
    mc.npts = 2;
    mc.xplot[1] = mc.xplot[2] = 4;
    mc.yplot[1] = mc.yplot[2] = 0.5f;
    drawplot();
    plot().mouseDown(kLeft, 4.2f, 0.9f);
    plot().mouseUp(kLeft, 4.2f, 0.9f);
    EXPECT_FLOAT_EQ(mc.yplot[1], 0.5f);
    EXPECT_FLOAT_EQ(mc.yplot[2], 0.9f);
    for (float y : {mc.yplot[1], mc.yplot[2]})
        EXPECT_TRUE(std::isfinite(y));

    // No points: a press draws the zero line and nothing else.
    mc.npts = 0;
    drawplot();
    plot().mouseDown(kLeft, 4, 0.9f);
    plot().mouseUp(kLeft, 4, 0.9f);
    EXPECT_FLOAT_EQ(mc.yplot[2], 0.9f);
}

// An editor's side of the protocol: fill, edit, copy back.
struct TestEditor {
    std::array<float, 13> series{};
    bool edit() {
        if (graphInUse()) return false;
        mc.xmin = 1;
        mc.xmax = 12;
        mc.ymin = 0;
        mc.ymax = 2;
        mc.xtitle = "Season";
        mc.ytitle = "Fraction of Annual F ";
        mc.npts = 12;
        for (int k = 1; k <= 12; ++k) {
            mc.xplot[k] = float(k);
            mc.yplot[k] = series[std::size_t(k)];
        }
        graphedit();
        for (int k = 1; k <= 12; ++k)
            series[std::size_t(k)] = mc.yplot[k];
        return true;
    }
};

TEST_F(FrmPlotTest, TwelvePointsDraggedAndClosedComeBackClamped) {
    TestEditor editor;
    for (int k = 1; k <= 12; ++k)
        editor.series[std::size_t(k)] = 0.1f * float(k);
    ScriptedUser user;
    user.act([] {
            plot().mouseDown(kLeft, 2, 0.5f);
            plot().mouseMove(kLeft, 2, 1.25f);
            plot().mouseUp(kLeft, 2, 1.25f);
        })
        .act([] {
            plot().mouseDown(kLeft, 7.1f, 1);
            plot().mouseMove(kLeft, 7.1f, 5); // above the axis
            plot().mouseUp(kLeft, 7.1f, 5);
        })
        .act([] {
            plot().mouseDown(kLeft, 11.9f, 0.3f);
            plot().mouseMove(kLeft, 11.9f, -1); // below it
            plot().mouseUp(kLeft, 11.9f, -1);
        })
        .act([] {
            // A second editor started while the graph is up gets nothing and touches nothing.
            TestEditor other;
            EXPECT_FALSE(other.edit());
            plot().mouseDown(kRight, 0.2f, 0.5f);
            plot().mouseUp(kRight, 0.2f, 0.5f);
        });
    ASSERT_TRUE(editor.edit());
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(plat::isLoaded<frmPlot>());
    EXPECT_EQ(mc.npts, 12);
    for (int k = 1; k <= 12; ++k) {
        float want = 0.1f * float(k);
        if (k == 2) want = 1.25f;
        if (k == 7) want = 2;
        if (k == 12) want = 0;
        EXPECT_FLOAT_EQ(editor.series[std::size_t(k)], want) << k;
    }
    EXPECT_FALSE(graphInUse());
}

TEST_F(FrmPlotTest, CancelledSaveEndsTheEditWithTheDraggedValues) {
    TestEditor editor;
    ScriptedUser user;
    user.act([] {
            plot().mouseDown(kLeft, 3, 0.7f);
            plot().mouseUp(kLeft, 3, 0.7f);
        })
        .act([] { plot().dblClick(0.2f, 0.5f); })
        .fileDialog("Save Plot", "");
    ASSERT_TRUE(editor.edit());
    EXPECT_TRUE(user.finished());
    EXPECT_FLOAT_EQ(editor.series[3], 0.7f);
    EXPECT_TRUE(plat::isLoaded<frmPlot>()) << "hidden, not unloaded";
    EXPECT_FALSE(plot().visible());
    EXPECT_FALSE(graphInUse());

    // The next edit shows the hidden window again, redrawn from the new values.
    user.act([] {
        EXPECT_TRUE(plot().visible());
        EXPECT_EQ(plot().surface().point(3, 0.7f), plat::kBlack);
        plot().mouseDown(kMiddle, 3, 0.1f);
        plot().mouseUp(kMiddle, 3, 0.1f);
    });
    ASSERT_TRUE(editor.edit());
    EXPECT_TRUE(user.finished());
    EXPECT_FLOAT_EQ(editor.series[3], 0.1f);
}

TEST_F(FrmPlotTest, CloseBoxEndsTheEdit) {
    TestEditor editor;
    ScriptedUser user;
    user.act([] {
            plot().mouseDown(kLeft, 9, 1.5f);
            plot().mouseUp(kLeft, 9, 1.5f);
        })
        .act([] { plot().closeBox(); });
    ASSERT_TRUE(editor.edit());
    EXPECT_FLOAT_EQ(editor.series[9], 1.5f);
    EXPECT_FALSE(plat::isLoaded<frmPlot>());
}

// Keys are typed on the drawing area as a user types them, through the window system's events.
void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyClick(plat::instance<frmPlot>().client(), k, m);
}

TEST_F(FrmPlotTest, EscapeReturnOrAltF4EndTheEditWithTheValuesKept) {
    const std::pair<Qt::Key, Qt::KeyboardModifiers> ends[] = {
        {Qt::Key_Escape, Qt::NoModifier},
        {Qt::Key_Return, Qt::NoModifier},
        {Qt::Key_Enter, Qt::KeypadModifier},
        {Qt::Key_F4, Qt::AltModifier},
    };
    for (const auto& [k, m] : ends) {
        TestEditor editor;
        ScriptedUser user; // no question on the way
        user.act([] {
                plot().mouseDown(kLeft, 5, 1.5f);
                plot().mouseUp(kLeft, 5, 1.5f);
            })
            .act([k = k, m = m] { key(k, m); });
        ASSERT_TRUE(editor.edit()) << k;
        EXPECT_TRUE(user.finished()) << k;
        EXPECT_FALSE(plat::isLoaded<frmPlot>()) << k;
        for (int p = 1; p <= 12; ++p)
            EXPECT_FLOAT_EQ(editor.series[std::size_t(p)], p == 5 ? 1.5f : 0) << k << " " << p;
    }
}

TEST_F(FrmPlotTest, ArrowKeysChooseAPointAndMoveItAsADragWould) {
    tenPoints(-0.5f); // y span 1.5: steps of 0.01, pages of 0.1
    drawplot();
    const QImage before = plot().surface().image();
    key(Qt::Key_Up); // the first key only chooses point 1
    EXPECT_EQ(moved(), kNoneMoved);
    EXPECT_TRUE(plot().hasKeyMark());
    EXPECT_EQ(plot().surface().image(), before) << "the mark is not part of the drawing";

    key(Qt::Key_Right);
    key(Qt::Key_Tab);
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    key(Qt::Key_Right); // point 3
    for (int k = 0; k < 3; ++k)
        key(Qt::Key_Up);
    key(Qt::Key_PageDown);
    EXPECT_FLOAT_EQ(mc.yplot[3], 0.43f);
    std::array<bool, 11> want{};
    want[3] = true;
    EXPECT_EQ(moved(), want);
    EXPECT_TRUE(blackAt(3.5f, 0.465f)) << "the new segment 3-4";
    EXPECT_FALSE(blackAt(3.5f, 0.5f)) << "the old one erased";
    EXPECT_TRUE(blackAt(5.5f, 0)) << "the line at y = 0, as after a drag";

    // The choice stops at the ends; the value stops at the axis.
    key(Qt::Key_End);
    key(Qt::Key_Right);
    for (int k = 0; k < 20; ++k)
        key(Qt::Key_PageUp);
    EXPECT_FLOAT_EQ(mc.yplot[10], 1);
    key(Qt::Key_Home);
    key(Qt::Key_Left);
    for (int k = 0; k < 20; ++k)
        key(Qt::Key_PageDown);
    EXPECT_FLOAT_EQ(mc.yplot[1], -0.5f);
    // A value off the steps goes to the next one, not a step past it.
    mc.yplot[2] = 0.237f;
    key(Qt::Key_Right);
    key(Qt::Key_Up);
    EXPECT_FLOAT_EQ(mc.yplot[2], 0.24f);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_FLOAT_EQ(mc.yplot[2], 0.22f);
    EXPECT_TRUE(plot().visible());
}

TEST_F(FrmPlotTest, CtrlSSavesThePictureWithoutTheKeyMark) {
    tenPoints();
    drawplot();
    key(Qt::Key_Right); // the mark on point 1
    const std::string path = tmpPath("keys.bmp");
    ScriptedUser user;
    user.fileDialog("Save Plot", path);
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(plot().visible());
    QImage saved;
    ASSERT_TRUE(saved.load(QString::fromStdString(path), "BMP"));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              plot().surface().image().convertToFormat(QImage::Format_RGB32));

    // Cancelled, the dialog ends the edit as a cancelled double-click does; the mark goes too.
    user.fileDialog("Save Plot", "");
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(plot().visible());
    EXPECT_FALSE(plot().hasKeyMark());
}

TEST_F(FrmPlotTest, AnUnwritableBitmapIsReported) {
    tenPoints();
    drawplot();
    const std::string path = tmpPath("no/such/folder/graph.bmp");
    ScriptedUser user;
    user.fileDialog("Save Plot", path)
        .message("Cannot write the plot to " + path + ": No such file or directory");
    plot().dblClick(0.5f, 0.5f);
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(plot().visible());
}

} // namespace
