#include <QContextMenuEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <array>

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
    // A click that the window routes to whatever widget is on top at point.
    void ClickWindowAt(QPoint point) {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, point);
    }
    QPoint CentreOf(const Control& control) {
        return Widget(control).mapTo(&window, Widget(control).rect().center());
    }
    QColor PixelOf(const Control& control, QPoint inside) {
        return Widget(control).grab().toImage().pixelColor(inside);
    }

    std::vector<PlannedControl> plan = PlanWindow(form);
    FrmMainWindow window{plan, 96};
};

}  // namespace

TEST_F(WindowTest, TheWindowAndEachWidgetStandWhereThePlanSaysAtTheDpi) {
    EXPECT_EQ(window.size(), QSize(473, 303));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.windowTitle(), QString::fromStdWString(std::wstring(kFrmMainCaption)));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(32, 32)));
    FrmMainWindow at144(plan, 144);
    EXPECT_EQ(at144.size(), QSize(710, 455));
    for (const PlannedControl& entry : plan) {
        QWidget& widget = *at144.WidgetOf(*entry.control);
        const QWidget* container =
            entry.container < 0 ? &at144 : at144.WidgetOf(*plan[entry.container].control);
        EXPECT_EQ(widget.parentWidget(), container);
        const PixelRect rect = ToPixels(entry.row->rect, 144);
        EXPECT_EQ(widget.geometry(), QRect(rect.left, rect.top, rect.width, rect.height));
        EXPECT_EQ(!widget.isHidden(), entry.control->Visible());
    }
}

TEST_F(WindowTest, CaptionsUseAFontThatHoldsTheChineseText) {
    const QFontMetrics metrics(Widget(form.Label1).font());
    for (const QChar character : QString::fromUtf8("调节显示器参数设置读取保存复位红绿蓝全")) {
        EXPECT_TRUE(metrics.inFontUcs4(character.unicode())) << int{character.unicode()};
    }
    EXPECT_EQ(QFontInfo(Widget(form.Label1).font()).pixelSize(), 12);
    EXPECT_TRUE(Widget(form.Label9).font().underline());
    EXPECT_FALSE(Widget(form.Label5[1]).font().underline());
    EXPECT_EQ(static_cast<QGroupBox&>(Widget(form.Frame1)).title(),
              QString::fromUtf8("[参数设置]"));
}

TEST_F(WindowTest, EachArrowTrackOrKeyStepCommitsOneChange) {
    const std::pair<int, std::function<void(QScrollBar&)>> inputs[] = {
        {51, [](QScrollBar& b) { ClickPart(b, QStyle::SC_ScrollBarAddLine); }},
        {49, [](QScrollBar& b) { ClickPart(b, QStyle::SC_ScrollBarSubLine); }},
        {51, [](QScrollBar& b) { ClickPart(b, QStyle::SC_ScrollBarAddPage); }},
        {49, [](QScrollBar& b) { ClickPart(b, QStyle::SC_ScrollBarSubPage); }},
        {51, [](QScrollBar& b) { QTest::keyClick(&b, Qt::Key_Down); }},
        {49, [](QScrollBar& b) { QTest::keyClick(&b, Qt::Key_Up); }},
        {51, [](QScrollBar& b) { QTest::keyClick(&b, Qt::Key_PageDown); }},
        {49, [](QScrollBar& b) { QTest::keyClick(&b, Qt::Key_PageUp); }},
        {49, [](QScrollBar& b) { QTest::keyClick(&b, Qt::Key_Left); }},
        {51, [](QScrollBar& b) { QTest::keyClick(&b, Qt::Key_Right); }},
        {0, [](QScrollBar& b) { QTest::keyClick(&b, Qt::Key_Home); }},
    };
    for (const auto& [position, input] : inputs) {
        form.Label9.Click();
        const int writes = screen.Writes();
        input(Slider(1));
        EXPECT_EQ(form.VScrollA[1].Value(), position);
        EXPECT_EQ(screen.Writes(), writes + 1);
        EXPECT_EQ(Slider(1).value(), position);
    }
    form.VScrollA[2].SetValue(0);
    const int writes = screen.Writes();
    ClickPart(Slider(2), QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(screen.Writes(), writes);
}

// Input a Windows scroll bar does not take leaves the sliders alone.
TEST_F(WindowTest, WheelMiddleAndRightButtonsMoveNoSlider) {
    QScrollBar& bar = Slider(1);
    const QPoint track = PartCentre(bar, QStyle::SC_ScrollBarAddPage) + QPoint(0, 40);
    QWheelEvent wheel(QPointF(track), bar.mapToGlobal(QPointF(track)), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&bar, &wheel);
    QTest::mouseClick(&bar, Qt::MiddleButton, {}, track);
    QTest::mouseClick(&bar, Qt::RightButton, {}, track);
    bool menuShown = false;
    QTimer::singleShot(0, [&menuShown] {
        if (QWidget* menu = QApplication::activePopupWidget()) {
            menuShown = true;
            menu->close();
        }
    });
    QContextMenuEvent menu(QContextMenuEvent::Mouse, track, bar.mapToGlobal(track));
    QApplication::sendEvent(&bar, &menu);
    QApplication::processEvents();
    EXPECT_FALSE(menuShown);
    EXPECT_EQ(form.VScrollA[1].Value(), 50);
    EXPECT_EQ(screen.Writes(), 0);
}

// A label acts on a release inside it, once for a double-click; a focused
// button takes Enter and Space.
TEST_F(WindowTest, LabelsClickOnReleaseAndButtonsTakeEnterAndSpace) {
    QWidget& reset = Widget(form.Label9);
    // What Qt delivers for a double-click: a click, then press, double-click, release.
    QTest::mouseClick(&reset, Qt::LeftButton);
    QTest::mousePress(&reset, Qt::LeftButton);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5),
                            reset.mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
    QApplication::sendEvent(&reset, &doubleClick);
    QTest::mouseRelease(&reset, Qt::LeftButton);
    EXPECT_EQ(screen.Writes(), 1);
    QTest::mousePress(&reset, Qt::LeftButton);
    QTest::mouseRelease(&reset, Qt::LeftButton, {}, {-5, -5});
    EXPECT_EQ(screen.Writes(), 1);
    QWidget& save = Widget(form.Command2[0]);
    save.setFocus();
    QTest::keyClick(&save, Qt::Key_Return);
    EXPECT_TRUE(form.Frame2.Visible());
    QTest::keyClick(&save, Qt::Key_Space);
    EXPECT_FALSE(form.Frame2.Visible());
}

TEST_F(WindowTest, ADragReportsNothingUntilTheThumbIsReleased) {
    QScrollBar& bar = Slider(3);
    const QPoint grip = PartCentre(bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(&bar, Qt::LeftButton, {}, grip);
    for (int step = 1; step <= 4; ++step) {
        QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(0, 10 * step)),
                         bar.mapToGlobal(QPointF(grip + QPoint(0, 10 * step))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&bar, &move);
    }
    EXPECT_GT(bar.sliderPosition(), 50);
    EXPECT_EQ(screen.Writes(), 0);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, grip + QPoint(0, 40));
    EXPECT_EQ(screen.Writes(), 1);
    EXPECT_EQ(form.VScrollA[3].Value(), bar.sliderPosition());
}

TEST_F(WindowTest, ModelDrivenMovesShowWithoutComingBackAsInput) {
    form.VScrollA[2].SetValue(40);
    form.VScrollA[3].SetValue(30);
    QSignalSpy spies[] = {QSignalSpy(&Slider(1), &QScrollBar::valueChanged),
                          QSignalSpy(&Slider(2), &QScrollBar::valueChanged)};
    const int writes = screen.Writes();
    ClickPart(Slider(0), QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(spies[0].count() + spies[1].count(), 0);
    EXPECT_EQ(screen.Writes(), writes + 4);
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(Slider(index).value(), 49);
        EXPECT_EQ(static_cast<QLabel&>(Widget(form.Label5[index])).text(), "2");
    }
}

TEST_F(WindowTest, TabCyclesTheSlidersAndButtons) {
    EXPECT_EQ(QApplication::focusWidget(), &Slider(0));
    for (QWidget* next :
         std::array<QWidget*, 6>{&Slider(1), &Slider(2), &Slider(3), &Widget(form.Command2[0]),
                                 &Widget(form.Command2[1]), &Slider(0)}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

TEST_F(WindowTest, ClicksReachTheControlOnTopAndTheHiddenPanelTakesNone) {
    ClickWindowAt(CentreOf(form.Label6[3]));
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    // Command2(0) ends on row 64 of the client area, where Command2(1) begins.
    ClickWindowAt({412, 64});
    EXPECT_EQ(form.Frame2.Tag(), L"1");
    for (int slot = 1; slot <= 6; ++slot) {
        EXPECT_TRUE(Widget(form.Label6[slot]).isVisible());
    }
    EXPECT_EQ(window.childAt(CentreOf(form.Label7)), &Widget(form.Label7));
    ClickWindowAt(CentreOf(form.Label7));
    EXPECT_FALSE(Widget(form.Frame2).isVisible());
}

TEST_F(WindowTest, LabelsAreDrawnInTheirColoursWithSystemColoursFromThePalette) {
    ClickWindowAt(CentreOf(form.Command2[0]));
    EXPECT_EQ(PixelOf(form.Label1, {0, 0}), QColor(255, 0, 0));
    EXPECT_EQ(PixelOf(form.Label8, {0, 16}), QColor(0x80, 0x80, 0xFF));
    EXPECT_EQ(PixelOf(form.Frame2, {5, 170}), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(PixelOf(form.Label6[2], {0, 12}), window.palette().color(QPalette::WindowText));
    EXPECT_EQ(PixelOf(form.Label6[2], {2, 2}), window.palette().color(QPalette::Base));
    form.Label6[2].SetBackColor(kYellow);
    EXPECT_EQ(PixelOf(form.Label6[2], {2, 2}), QColor(255, 255, 0));
}
