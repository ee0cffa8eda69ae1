#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>
#include <algorithm>

#include "FormTest.h"
#include "FrmMainWindow.h"
#include "QtTestSupport.h"

namespace {

// Where a part of a scroll bar (an arrow, the track, the thumb) is drawn.
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

TEST_F(WindowTest, TheWindowAndEachWidgetStandWhereThePlanSaysAtTheDpiInTheCaptionFont) {
    EXPECT_EQ(window.size(), QSize(473, 303));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.windowTitle(), QString::fromStdWString(std::wstring(kFrmMainCaption)));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(32, 32)));
    FrmMainWindow at144(plan, 144);
    EXPECT_EQ(at144.size(), QSize(710, 455));
    for (const PlannedControl& entry : plan) {
        QWidget& widget = *at144.WidgetOf(*entry.control);
        EXPECT_EQ(widget.parentWidget(),
                  entry.container < 0 ? &at144 : at144.WidgetOf(*plan[entry.container].control));
        const PixelRect rect = ToPixels(entry.row->rect, 144);
        EXPECT_EQ(widget.geometry(), QRect(rect.left, rect.top, rect.width, rect.height));
        EXPECT_EQ(!widget.isHidden(), entry.control->Visible());
        EXPECT_EQ(Widget(*entry.control).font().underline(), entry.row->underline);
    }
    const QFontInfo font(Widget(form.Label1).font());
    EXPECT_EQ(font.pixelSize(), 12);
    for (const QChar character : QString::fromUtf8("调节显示器参数设置读取保存复位红绿蓝全")) {
        EXPECT_TRUE(QFontMetrics(Widget(form.Label1).font()).inFontUcs4(character.unicode()));
    }
}

TEST_F(WindowTest, EachArrowTrackOrKeyStepCommitsOneChangeAndModelMovesDoNotEcho) {
    using Step = std::pair<int, std::function<void(QScrollBar&)>>;
    const auto key = [](Qt::Key k) { return [k](QScrollBar& b) { QTest::keyClick(&b, k); }; };
    const auto part = [](QStyle::SubControl p) { return [p](QScrollBar& b) { ClickPart(b, p); }; };
    const Step steps[] = {{51, part(QStyle::SC_ScrollBarAddLine)},
                          {49, part(QStyle::SC_ScrollBarSubLine)},
                          {51, part(QStyle::SC_ScrollBarAddPage)},
                          {49, part(QStyle::SC_ScrollBarSubPage)},
                          {51, key(Qt::Key_PageDown)},
                          {49, key(Qt::Key_Up)},
                          {0, key(Qt::Key_Home)},
                          {100, key(Qt::Key_End)}};
    for (const auto& [position, input] : steps) {
        form.Label9.Click();
        const int writes = screen.Writes();
        input(Slider(1));
        EXPECT_EQ(form.VScrollA[1].Value(), position);
        EXPECT_EQ(screen.Writes(), writes + 1);
    }
    form.VScrollA[1].SetValue(0);
    QSignalSpy echoes(&Slider(1), &QScrollBar::valueChanged);
    const int writes = screen.Writes();
    ClickPart(Slider(1), QStyle::SC_ScrollBarSubLine);
    ClickPart(Slider(0), QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(echoes.count(), 0);
    EXPECT_EQ(screen.Writes(), writes + 4);
    EXPECT_EQ(Slider(3).value(), 49);
    EXPECT_EQ(static_cast<QLabel&>(Widget(form.Label5[3])).text(), "2");
}

// Moves waiting in the queue show once, at the latest position, when the
// event loop comes to them; the release commits as a step does.
TEST_F(WindowTest, ADragShowsItsLatestPositionWhenTheLoopIsFreeAndTheReleaseCommits) {
    QScrollBar& bar = Slider(3);
    const QPoint grip = PartCentre(bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(&bar, Qt::LeftButton, {}, grip);
    for (const int down : {20, 40}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(0, down)),
                         bar.mapToGlobal(QPointF(grip + QPoint(0, down))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&bar, &move);
    }
    EXPECT_EQ(screen.Writes(), 0);
    QTest::qWait(20);
    const QString offset = QString::number(100 - 2 * bar.sliderPosition());
    EXPECT_EQ(std::pair(screen.Writes(), form.VScrollA[3].Value()), std::pair(1, std::int16_t{50}));
    EXPECT_EQ(static_cast<QLabel&>(Widget(form.Label5[3])).text(), offset);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, grip + QPoint(0, 40));
    EXPECT_EQ(screen.Writes(), 2);
    EXPECT_EQ(form.VScrollA[3].Value(), bar.sliderPosition());
    EXPECT_EQ(static_cast<QLabel&>(Widget(form.Label5[3])).text(), offset);
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

TEST_F(WindowTest, LabelsAreDrawnInTheirColoursWithSystemColoursFromThePalette) {
    form.Command2[0].Click();
    EXPECT_EQ(PixelOf(form.Label1, {0, 0}), QColor(255, 0, 0));
    EXPECT_EQ(PixelOf(form.Label8, {0, 16}), QColor(0x80, 0x80, 0xFF));
    EXPECT_EQ(PixelOf(form.Frame2, {5, 170}), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(PixelOf(form.Label6[2], {0, 12}), window.palette().color(QPalette::WindowText));
    EXPECT_EQ(PixelOf(form.Label6[2], {2, 2}), window.palette().color(QPalette::Base));
    form.Label6[2].SetBackColor(kYellow);
    EXPECT_EQ(PixelOf(form.Label6[2], {2, 2}), QColor(255, 255, 0));
}
