#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>
#include <algorithm>
#include <array>
#include <string_view>

#include "FakePlatformServices.h"
#include "FrmMain.h"
#include "FrmMainWindow.h"
#include "GammaDevice.h"
#include "Module1.h"
#include "Module_SetScreen.h"
#include "QtTestSupport.h"
#include "RecordingGammaOutputs.h"

namespace {

const ControlLayout& Row(std::string_view name, int index = kNoIndex) {
    const auto layout = FrmMainLayout();
    return *std::ranges::find_if(
        layout, [&](const ControlLayout& row) { return row.name == name && row.index == index; });
}

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
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
}

void SendMouseMove(QWidget& widget, QPoint position) {
    QMouseEvent move(QEvent::MouseMove, QPointF(position), widget.mapToGlobal(QPointF(position)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

// A shown window over a recording screen whose ramp is not the identity,
// with the program folder in a fresh temp folder.
class FrmMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Module_SetScreen::ResetState();
        Module1::ResetState();
        Module_SetScreen::UseDevice(&device);
        ASSERT_TRUE(window.Load());
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override {
        window.close();
        Module_SetScreen::UseDevice(nullptr);
        Module_SetScreen::ResetState();
        Module1::ResetState();
    }

    QWidget& Widget(std::string_view name, int index = kNoIndex) {
        return window.WidgetAt(Row(name, index));
    }
    QScrollBar& Slider(int index) { return static_cast<QScrollBar&>(Widget("VScrollA", index)); }
    QString LabelText(std::string_view name, int index = kNoIndex) {
        return static_cast<QLabel&>(Widget(name, index)).text();
    }
    // A click that the window routes to whatever widget is on top at point.
    void ClickWindowAt(QPoint point) {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, point);
    }
    QPoint CentreInWindow(std::string_view name, int index = kNoIndex) {
        QWidget& widget = Widget(name, index);
        return widget.mapTo(&window, widget.rect().center());
    }

    static GammaRamp ScreenRamp() {
        GammaRamp ramp = LinearRamp();
        std::ranges::reverse(ramp);
        return ramp;
    }

    TempFolder folder;
    RecordingGammaOutputs screen{ScreenRamp()};
    GammaDevice device{screen};
    FakePlatformServices platform{folder.Path()};
    FrmMain form{platform};
    FrmMainWindow window{form, 96};
};

}  // namespace

TEST_F(FrmMainWindowTest, TheWindowIsFixedAt473By303WithTheCaptionAndIcon) {
    EXPECT_EQ(window.size(), QSize(473, 303));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("KOV调节显示器  V1.02   作者:Tavrin "));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(32, 32)));
}

// At 96 DPI a pixel is 15 twips, so every rectangle of the table divides
// exactly; each widget sits there inside its own container.
TEST_F(FrmMainWindowTest, EveryWidgetStandsWhereTheTableSaysAt96Dpi) {
    for (const ControlLayout& row : FrmMainLayout()) {
        SCOPED_TRACE(ControlName(row));
        QWidget& widget = window.WidgetAt(row);
        QWidget* container = row.container.empty() ? &window : &Widget(row.container);
        EXPECT_EQ(widget.parentWidget(), container);
        EXPECT_EQ(widget.geometry(), QRect(row.rect.left / 15, row.rect.top / 15,
                                           row.rect.width / 15, row.rect.height / 15));
    }
}

TEST_F(FrmMainWindowTest, GeometryFollowsTheDpi) {
    FrmMain other(platform);
    FrmMainWindow at144(other, 144);
    EXPECT_EQ(at144.size(), QSize(710, 455));
    EXPECT_EQ(at144.WidgetAt(Row("VScrollA", 1)).geometry(), QRect(216, 72, 38, 242));
}

TEST_F(FrmMainWindowTest, CaptionsUseAFontThatHoldsTheChineseText) {
    const QFontMetrics metrics(Widget("Label1").font());
    for (const QChar character : QString::fromUtf8("调节显示器参数设置读取保存复位红绿蓝全")) {
        EXPECT_TRUE(metrics.inFontUcs4(character.unicode()))
            << static_cast<int>(character.unicode());
    }
    EXPECT_EQ(QFontInfo(Widget("Label1").font()).pixelSize(), 12);
    EXPECT_TRUE(Widget("Label9").font().underline());
    EXPECT_FALSE(Widget("Label5", 1).font().underline());
    EXPECT_EQ(static_cast<QGroupBox&>(Widget("Frame1")).title(), QString::fromUtf8("[参数设置]"));
    EXPECT_EQ(static_cast<QPushButton&>(Widget("Command2", 0)).text(),
              QString::fromUtf8("保存设置"));
}

TEST_F(FrmMainWindowTest, ThePanelAndCommand1StartHidden) {
    EXPECT_FALSE(Widget("Command1").isVisible());
    EXPECT_FALSE(Widget("Frame2").isVisible());
    EXPECT_FALSE(Widget("Label7").isVisible());
    EXPECT_TRUE(Widget("Frame1").isVisible());
    EXPECT_TRUE(Widget("Label9").isVisible());
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(Slider(index).value(), 50);
        EXPECT_EQ(LabelText("Label5", index), "0");
    }
}

struct SliderInput {
    const char* what;
    int expectedPosition;
    void (*act)(QScrollBar& bar);
};

const std::array<SliderInput, 8> kSliderInputs{{
    {"lower arrow", 51,
     [](QScrollBar& bar) {
         QTest::mouseClick(&bar, Qt::LeftButton, {}, PartCentre(bar, QStyle::SC_ScrollBarAddLine));
     }},
    {"upper arrow", 49,
     [](QScrollBar& bar) {
         QTest::mouseClick(&bar, Qt::LeftButton, {}, PartCentre(bar, QStyle::SC_ScrollBarSubLine));
     }},
    {"track below the thumb", 51,
     [](QScrollBar& bar) {
         QTest::mouseClick(&bar, Qt::LeftButton, {}, PartCentre(bar, QStyle::SC_ScrollBarAddPage));
     }},
    {"track above the thumb", 49,
     [](QScrollBar& bar) {
         QTest::mouseClick(&bar, Qt::LeftButton, {}, PartCentre(bar, QStyle::SC_ScrollBarSubPage));
     }},
    {"down key", 51, [](QScrollBar& bar) { QTest::keyClick(&bar, Qt::Key_Down); }},
    {"up key", 49, [](QScrollBar& bar) { QTest::keyClick(&bar, Qt::Key_Up); }},
    {"page down key", 51, [](QScrollBar& bar) { QTest::keyClick(&bar, Qt::Key_PageDown); }},
    {"page up key", 49, [](QScrollBar& bar) { QTest::keyClick(&bar, Qt::Key_PageUp); }},
}};

TEST_F(FrmMainWindowTest, EachArrowTrackOrKeyStepCommitsExactlyOneChange) {
    for (const SliderInput& input : kSliderInputs) {
        SCOPED_TRACE(input.what);
        form.Label9.Click();
        const int writesBefore = screen.Writes();
        input.act(Slider(1));
        EXPECT_EQ(form.VScrollA[1].Value(), input.expectedPosition);
        EXPECT_EQ(Slider(1).value(), input.expectedPosition);
        EXPECT_EQ(screen.Writes(), writesBefore + 1);
        const auto offset = static_cast<std::int16_t>(100 - 2 * input.expectedPosition);
        EXPECT_EQ(LabelText("Label5", 1), QString::number(offset));
        EXPECT_EQ(screen.Screen(), Module_SetScreen::BuildWorkRamp(ScreenRamp(), offset, 0, 0));
        EXPECT_EQ(form.VScrollA[0].Value(), 50);
    }
}

TEST_F(FrmMainWindowTest, AStepPastAnEndChangesNothing) {
    form.VScrollA[2].SetValue(0);
    const int writesBefore = screen.Writes();
    QTest::mouseClick(&Slider(2), Qt::LeftButton, {},
                      PartCentre(Slider(2), QStyle::SC_ScrollBarSubLine));
    QTest::keyClick(&Slider(2), Qt::Key_Up);
    EXPECT_EQ(form.VScrollA[2].Value(), 0);
    EXPECT_EQ(screen.Writes(), writesBefore);
}

TEST_F(FrmMainWindowTest, ADragReportsNothingUntilTheThumbIsReleased) {
    QScrollBar& bar = Slider(3);
    const QPoint grip = PartCentre(bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(&bar, Qt::LeftButton, {}, grip);
    for (int step = 1; step <= 4; ++step) {
        SendMouseMove(bar, grip + QPoint(0, 10 * step));
    }
    EXPECT_GT(bar.sliderPosition(), 50);
    EXPECT_EQ(form.VScrollA[3].Value(), 50);
    EXPECT_EQ(LabelText("Label5", 3), "0");
    EXPECT_EQ(screen.Writes(), 0);

    QTest::mouseRelease(&bar, Qt::LeftButton, {}, grip + QPoint(0, 40));
    EXPECT_EQ(screen.Writes(), 1);
    EXPECT_EQ(form.VScrollA[3].Value(), bar.sliderPosition());
    EXPECT_EQ(bar.value(), bar.sliderPosition());
    EXPECT_EQ(LabelText("Label5", 3), QString::number(100 - 2 * bar.value()));
}

TEST_F(FrmMainWindowTest, ModelDrivenMovesShowWithoutComingBackAsInput) {
    form.VScrollA[2].SetValue(40);
    form.VScrollA[3].SetValue(30);
    const int writesBefore = screen.Writes();
    QSignalSpy red(&Slider(1), &QScrollBar::valueChanged);
    QSignalSpy green(&Slider(2), &QScrollBar::valueChanged);
    QSignalSpy blue(&Slider(3), &QScrollBar::valueChanged);
    QTest::mouseClick(&Slider(0), Qt::LeftButton, {},
                      PartCentre(Slider(0), QStyle::SC_ScrollBarSubLine));
    EXPECT_EQ(red.count() + green.count() + blue.count(), 0);
    // One change of the all-channels slider: three nested colour applies
    // and its own, and nothing more from the widgets following the model.
    EXPECT_EQ(screen.Writes(), writesBefore + 4);
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(Slider(index).value(), 49);
        EXPECT_EQ(LabelText("Label5", index), "2");
    }

    ClickWindowAt(CentreInWindow("Label9"));
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(Slider(index).value(), 50);
        EXPECT_EQ(LabelText("Label5", index), "0");
    }
    EXPECT_EQ(screen.Writes(), writesBefore + 4 + 5);
}

TEST_F(FrmMainWindowTest, TabCyclesTheSlidersAndButtonsFromTheAllChannelsSlider) {
    EXPECT_EQ(QApplication::focusWidget(), &Slider(0));
    const std::array<QWidget*, 6> expected{
        &Slider(1), &Slider(2), &Slider(3), &Widget("Command2", 0), &Widget("Command2", 1),
        &Slider(0)};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

TEST_F(FrmMainWindowTest, ThePanelShowsAndHidesWithAllItsLabels) {
    ClickWindowAt(CentreInWindow("Command2", 0));
    EXPECT_TRUE(Widget("Frame2").isVisible());
    for (const ControlLayout& row : FrmMainLayout()) {
        if (row.container == "Frame2") {
            EXPECT_TRUE(window.WidgetAt(row).isVisible()) << row.name << row.index;
        }
    }
    EXPECT_EQ(LabelText("Label8"), QString::fromUtf8("保存"));

    ClickWindowAt(CentreInWindow("Command2", 1));
    EXPECT_TRUE(Widget("Frame2").isVisible());
    EXPECT_EQ(LabelText("Label8"), QString::fromUtf8("读取"));

    ClickWindowAt(CentreInWindow("Command2", 1));
    EXPECT_FALSE(Widget("Frame2").isVisible());
    EXPECT_FALSE(Widget("Label6", 3).isVisible());
}

TEST_F(FrmMainWindowTest, OverlapsGoToTheControlListedFirst) {
    // Command2(0) ends on row 64 of the client area, where Command2(1) begins.
    ClickWindowAt({412, 64});
    EXPECT_TRUE(form.Frame2.Visible());
    EXPECT_EQ(form.Frame2.Tag(), L"1");

    // The close mark's square lies over the right end of the heading.
    const QPoint closeMark = CentreInWindow("Label7");
    EXPECT_EQ(window.childAt(closeMark), &Widget("Label7"));
    ClickWindowAt(closeMark);
    EXPECT_FALSE(form.Frame2.Visible());
}

TEST_F(FrmMainWindowTest, TheHiddenPanelsSlotsCannotBeClicked) {
    const QPoint slot3 = CentreInWindow("Label6", 3);
    ClickWindowAt(slot3);
    EXPECT_FALSE(std::filesystem::exists(Module1::SettingsPath));
    EXPECT_FALSE(form.Frame2.Visible());
}

TEST_F(FrmMainWindowTest, ASlotClickSavesThroughTheWindow) {
    form.VScrollA[1].SetValue(40);
    ClickWindowAt(CentreInWindow("Command2", 0));
    ClickWindowAt(CentreInWindow("Label6", 3));
    EXPECT_FALSE(Widget("Frame2").isVisible());
    EXPECT_EQ(Module1::PresetUsed[3], 1);
    EXPECT_EQ(Module1::PresetRed[3], 20);
}

TEST_F(FrmMainWindowTest, LabelsAreDrawnInTheirColoursWithSystemColoursFromThePalette) {
    ClickWindowAt(CentreInWindow("Command2", 0));
    const auto pixelAt = [this](std::string_view name, int index, QPoint inside) {
        QWidget& widget = Widget(name, index);
        return widget.grab().toImage().pixelColor(inside);
    };
    EXPECT_EQ(pixelAt("Label1", kNoIndex, {0, 0}), QColor(255, 0, 0));
    EXPECT_EQ(pixelAt("Label3", kNoIndex, {0, 0}), QColor(0, 0, 255));
    EXPECT_EQ(pixelAt("Label8", kNoIndex, {0, 16}), QColor(0x80, 0x80, 0xFF));
    EXPECT_EQ(pixelAt("Frame2", kNoIndex, {5, 200 - 30}), QColor(0xC0, 0xC0, 0xC0));
    // A slot: a border in the window text colour around the window background.
    EXPECT_EQ(pixelAt("Label6", 2, {0, 12}), window.palette().color(QPalette::WindowText));
    EXPECT_EQ(pixelAt("Label6", 2, {2, 2}), window.palette().color(QPalette::Base));

    const QPalette original = QApplication::palette();
    QPalette tinted = original;
    tinted.setColor(QPalette::Base, QColor(1, 2, 3));
    QApplication::setPalette(tinted);
    QApplication::processEvents();
    const QColor afterChange = pixelAt("Label6", 2, {2, 2});
    QApplication::setPalette(original);
    QApplication::processEvents();
    EXPECT_EQ(afterChange, QColor(1, 2, 3));

    Module1::PresetUsed[2] = 1;
    ClickWindowAt(CentreInWindow("Command2", 1));
    EXPECT_EQ(pixelAt("Label6", 2, {2, 2}), QColor(255, 255, 0));
}

TEST_F(FrmMainWindowTest, ClosingPutsTheCapturedRampBackOnce) {
    form.VScrollA[1].SetValue(10);
    ASSERT_NE(screen.Screen(), ScreenRamp());
    const int writesBefore = screen.Writes();
    window.close();
    EXPECT_EQ(screen.Screen(), ScreenRamp());
    EXPECT_EQ(screen.Writes(), writesBefore + 1);
    window.close();
    EXPECT_EQ(screen.Writes(), writesBefore + 1);
}

TEST(FrmMainWindowRefused, ARefusedStartUnloadsOnceAndNeverTouchesTheScreen) {
    Module_SetScreen::ResetState();
    Module1::ResetState();
    TempFolder folder;
    RecordingGammaOutputs screen;
    GammaDevice device(screen);
    Module_SetScreen::UseDevice(&device);
    FakePlatformServices platform(folder.Path());
    platform.SetAnotherInstanceRunning(true);
    {
        FrmMain form(platform);
        FrmMainWindow window(form, 96);
        EXPECT_FALSE(window.Load());
        window.close();
        EXPECT_FALSE(window.isVisible());
    }
    ASSERT_EQ(platform.Notices().size(), 1U);
    EXPECT_EQ(platform.Notices()[0].title, kProgramTitle);
    EXPECT_EQ(platform.FolderQueries(), 0);
    EXPECT_EQ(screen.Reads(), 0);
    EXPECT_EQ(screen.Writes(), 0);
    Module_SetScreen::UseDevice(nullptr);
}
