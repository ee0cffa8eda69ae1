#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>

#include "FormTest.h"
#include "FrmMainWindow.h"
#include "QtTestSupport.h"

namespace {

// The middle of a part of a scroll bar (an arrow, the track, the thumb).
QPoint PartCentre(const QScrollBar& bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.pageStep = bar.pageStep();
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
}

void ClickPart(QScrollBar& bar, QStyle::SubControl part) {
    QTest::mouseClick(&bar, Qt::LeftButton, {}, PartCentre(bar, part));
}

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

TEST_F(WindowTest, TheWindowHasAFixedSizeAtTheDpiItsIconAndTheCaptionFont) {
    EXPECT_EQ(window.size(), QSize(473, 303));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(32, 32)));
    EXPECT_EQ(FrmMainWindow(plan, 144).size(), QSize(710, 455));
    const QFont font = Widget(form.Label1).font();
    EXPECT_EQ(QFontInfo(font).pixelSize(), 12);
    for (const QChar character : QString::fromUtf8("调节显示器参数设置读取保存复位红绿蓝全")) {
        EXPECT_TRUE(QFontMetrics(font).inFontUcs4(character.unicode())) << int{character.unicode()};
    }
}

// Arrows, track and keys each commit one step from the middle; a change the
// model makes shows on the widgets.
TEST_F(WindowTest, EachArrowTrackOrKeyStepCommitsOneChangeAndModelChangesShow) {
    using Input = std::function<void(QScrollBar&)>;
    const auto key = [](Qt::Key k) -> Input {
        return [k](QScrollBar& b) { QTest::keyClick(&b, k); };
    };
    const auto part = [](QStyle::SubControl p) -> Input {
        return [p](QScrollBar& b) { ClickPart(b, p); };
    };
    const std::pair<int, Input> steps[] = {{51, part(QStyle::SC_ScrollBarAddLine)},
                                           {49, part(QStyle::SC_ScrollBarSubLine)},
                                           {51, part(QStyle::SC_ScrollBarAddPage)},
                                           {49, part(QStyle::SC_ScrollBarSubPage)},
                                           {51, key(Qt::Key_PageDown)},
                                           {49, key(Qt::Key_PageUp)},
                                           {51, key(Qt::Key_Down)},
                                           {49, key(Qt::Key_Up)},
                                           {51, key(Qt::Key_Right)},
                                           {49, key(Qt::Key_Left)},
                                           {0, key(Qt::Key_Home)},
                                           {100, key(Qt::Key_End)}};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        form.Label9.Click();
        const int writes = screen.Writes();
        steps[i].second(Slider(1));
        EXPECT_EQ(form.VScrollA[1].Value(), steps[i].first) << "step " << i;
        EXPECT_EQ(screen.Writes(), writes + 1) << "step " << i;
    }
    ClickPart(Slider(0), QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(Slider(3).value(), 49);
    EXPECT_EQ(static_cast<QLabel&>(Widget(form.Label5[3])).text(), "2");
}

// Moves waiting in the queue show once, at the latest position, when the
// event loop comes to them; the release commits as a step does.
TEST_F(WindowTest, ADragShowsItsLatestPositionWhenTheLoopIsFreeAndTheReleaseCommits) {
    QScrollBar& bar = Slider(3);
    const QPoint grip = PartCentre(bar, QStyle::SC_ScrollBarSlider);
    const QPoint moved = grip + QPoint(0, 40);
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
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, moved);
    EXPECT_EQ(screen.Writes(), 2);
    EXPECT_EQ(form.VScrollA[3].Value(), bar.sliderPosition());
    EXPECT_EQ(static_cast<QLabel&>(Widget(form.Label5[3])).text(), offset);
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
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5),
                            reset.mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
    QApplication::sendEvent(&reset, &doubleClick);
    QTest::mouseRelease(&reset, Qt::LeftButton);
    EXPECT_EQ(screen.Writes(), 1);
}

// Plain colours are 0x00BBGGRR; system colours come from the palette.
TEST_F(WindowTest, LabelsAreDrawnInTheirColoursWithSystemColoursFromThePalette) {
    form.Command2[0].Click();
    EXPECT_EQ(PixelOf(form.Label1, {0, 0}), QColor(255, 0, 0));
    EXPECT_EQ(PixelOf(form.Frame2, {5, 170}), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(PixelOf(form.Label6[2], {0, 12}), window.palette().color(QPalette::WindowText));
    EXPECT_EQ(PixelOf(form.Label6[2], {2, 2}), window.palette().color(QPalette::Base));
    form.Label6[2].SetBackColor(kYellow);
    EXPECT_EQ(PixelOf(form.Label6[2], {2, 2}), QColor(255, 255, 0));
}
