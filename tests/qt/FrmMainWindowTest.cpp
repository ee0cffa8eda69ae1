#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include "FormTest.h"
#include "FrmMainWindow.h"
#include "QtTestSupport.h"

namespace {

// The window at 96 DPI, shown, over the form of FormTest after its load.
class WindowTest : public FormTest {
protected:
    WindowTest() {
        EXPECT_TRUE(form.Form_Load());
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget& Widget(const Control& control) { return *window.WidgetOf(control); }
    QScrollBar& Slider(int index) { return static_cast<QScrollBar&>(Widget(form.VScrollA[index])); }
    QColor PixelOf(const Control& control, QPoint inside) {
        return Widget(control).grab().toImage().pixelColor(inside);
    }

    std::vector<PlannedControl> plan = PlanWindow(form);
    FrmMainWindow window{plan, 96};
};

}  // namespace

// Its size at 96 DPI and its icon are seen end to end.
TEST_F(WindowTest, TheWindowHasAFixedSizeAtTheDpiAndTheCaptionFont) {
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(FrmMainWindow(plan, 144).size(), QSize(710, 455));
    const QFont font = Widget(form.Label1).font();
    EXPECT_EQ(QFontInfo(font).pixelSize(), 12);
    for (const QChar character : QString::fromUtf8("调节显示器参数设置读取保存复位红绿蓝全")) {
        EXPECT_TRUE(QFontMetrics(font).inFontUcs4(character.unicode())) << int{character.unicode()};
    }
}

// Moves waiting in the queue show once, at the latest position, when the
// event loop comes to them. The release's commit is seen end to end.
TEST_F(WindowTest, ADragShowsItsLatestPositionWhenTheLoopIsFreeAndTheReleaseCommits) {
    QScrollBar& bar = Slider(3);
    const QPoint grip = bar.rect().center();  // the thumb's, at the middle of the range
    QTest::mousePress(&bar, Qt::LeftButton, {}, grip);
    for (const int down : {20, 40}) {
        const QPoint at = grip + QPoint(0, down);
        QMouseEvent move(QEvent::MouseMove, QPointF(at), bar.mapToGlobal(QPointF(at)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&bar, &move);
    }
    EXPECT_EQ(screen.Writes(), 0);
    QTest::qWait(20);
    const QString offset = QString::number(100 - 2 * bar.sliderPosition());
    EXPECT_EQ(std::pair(screen.Writes(), form.VScrollA[3].Value()), std::pair(1, std::int16_t{50}));
    EXPECT_EQ(static_cast<QLabel&>(Widget(form.Label5[3])).text(), offset);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, grip + QPoint(0, 40));
}

TEST_F(WindowTest, TheFocusedSliderMarksItsThumbAndTheMarkGoesWithTheFocus) {
    const QImage unfocused = Slider(2).grab().toImage();
    Slider(2).setFocus();
    EXPECT_NE(Slider(2).grab().toImage(), unfocused);
    Slider(1).setFocus();
    EXPECT_EQ(Slider(2).grab().toImage(), unfocused);
}

TEST_F(WindowTest, ADoubleClickOnALabelIsOneClick) {
    QWidget& reset = Widget(form.Label9);
    QTest::mouseClick(&reset, Qt::LeftButton);
    QTest::mousePress(&reset, Qt::LeftButton);
    QTest::mouseDClick(&reset, Qt::LeftButton);
    QTest::mouseRelease(&reset, Qt::LeftButton);
    EXPECT_EQ(screen.Writes(), 1);
}

// Plain colours are 0x00BBGGRR; system colours come from the palette.
TEST_F(WindowTest, ModelChangesShowAndLabelsAreDrawnInTheirColoursFromThePalette) {
    form.Command2[0].Click();
    EXPECT_EQ(PixelOf(form.Label1, {0, 0}), QColor(255, 0, 0));
    EXPECT_EQ(PixelOf(form.Frame2, {5, 170}), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(PixelOf(form.Label6[2], {0, 12}), window.palette().color(QPalette::WindowText));
    EXPECT_EQ(PixelOf(form.Label6[2], {2, 2}), window.palette().color(QPalette::Base));
    form.Label6[2].SetBackColor(kYellow);
    EXPECT_EQ(PixelOf(form.Label6[2], {2, 2}), QColor(255, 255, 0));
    form.Label5[1].SetToolTip(L"提示");
    EXPECT_EQ(Widget(form.Label5[1]).toolTip(), QString::fromWCharArray(L"提示"));
}
