#include "Layout.h"

#include <array>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "FrmMain.h"

namespace {

template <typename T>
constexpr ControlKind KindOf() {
    if constexpr (std::is_same_v<T, Label>) {
        return ControlKind::Label;
    } else if constexpr (std::is_same_v<T, Frame>) {
        return ControlKind::Frame;
    } else if constexpr (std::is_same_v<T, PushButton>) {
        return ControlKind::PushButton;
    } else {
        static_assert(std::is_same_v<T, ScrollBar>, "not a control of the window");
        return ControlKind::VScrollBar;
    }
}

template <auto Member>
using MemberType = std::remove_reference_t<decltype(std::declval<FrmMain&>().*Member)>;

// A control that stands alone.
template <auto Member>
constexpr ControlBinding Bind() {
    return {KindOf<MemberType<Member>>(), [](FrmMain& form) -> Control& { return form.*Member; }};
}

// A member of a control array.
template <auto Member, int Index>
constexpr ControlBinding Bind() {
    using Array = MemberType<Member>;
    static_assert(Array::Holds(Index), "the control array has no such index");
    return {KindOf<typename Array::value_type>(),
            [](FrmMain& form) -> Control& { return (form.*Member)[Index]; }};
}

constexpr Colour kPanelGrey = 0x00C0C0C0;
constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kBlack = 0x00000000;

constexpr Frame FrmMain::*kClientArea = nullptr;

constexpr ControlLayout ButtonRow(ControlBinding control, std::wstring_view caption, TwipsRect rect,
                                  int tabIndex, bool visible = true) {
    return {.control = control,
            .container = kClientArea,
            .caption = caption,
            .rect = rect,
            .backColor = kButtonFace,
            .foreColor = kButtonText,
            .align = TextAlign::Centre,
            .border = false,
            .underline = false,
            .tabIndex = tabIndex,
            .visible = visible};
}

constexpr ControlLayout FrameRow(ControlBinding control, std::wstring_view caption, TwipsRect rect,
                                 Colour backColor, int tabIndex, bool visible) {
    return {.control = control,
            .container = kClientArea,
            .caption = caption,
            .rect = rect,
            .backColor = backColor,
            .foreColor = kButtonText,
            .align = TextAlign::Left,
            .border = false,
            .underline = false,
            .tabIndex = tabIndex,
            .visible = visible};
}

// The channel sliders have no caption or colours of their own.
constexpr ControlLayout SliderRow(ControlBinding control, TwipsRect rect, int tabIndex) {
    return {.control = control,
            .container = &FrmMain::Frame1,
            .caption = L"",
            .rect = rect,
            .backColor = kButtonFace,
            .foreColor = kButtonText,
            .align = TextAlign::Left,
            .border = false,
            .underline = false,
            .tabIndex = tabIndex,
            .visible = true};
}

struct LabelStyle {
    Colour backColor = kButtonFace;
    Colour foreColor = kButtonText;
    TextAlign align = TextAlign::Centre;
    bool border = false;
    bool underline = false;
};

constexpr ControlLayout LabelRow(ControlBinding control, Frame FrmMain::*container,
                                 std::wstring_view caption, TwipsRect rect, int tabIndex,
                                 LabelStyle style) {
    return {.control = control,
            .container = container,
            .caption = caption,
            .rect = rect,
            .backColor = style.backColor,
            .foreColor = style.foreColor,
            .align = style.align,
            .border = style.border,
            .underline = style.underline,
            .tabIndex = tabIndex,
            .visible = true};
}

constexpr LabelStyle ChannelCaptionStyle(Colour backColor) {
    return {backColor, kWhite};
}
constexpr LabelStyle kOffsetStyle{};
constexpr LabelStyle kSlotStyle{kWindowBackground, kWindowText, TextAlign::Centre, true};

constexpr TwipsRect SlotRect(int slot) {
    return {240, 480 + 360 * (slot - 1), 855, 375};
}
constexpr TwipsRect OffsetRect(int left) {
    return {left, 3240, 615, 255};
}
constexpr TwipsRect SliderRect(int left) {
    return {left, 720, 375, 2415};
}
constexpr TwipsRect ChannelCaptionRect(int left) {
    return {left, 360, 375, 255};
}

constexpr auto kPanel = &FrmMain::Frame2;
constexpr auto kSliders = &FrmMain::Frame1;

constexpr std::array<ControlLayout, 27> kLayout{{
    // The client area.
    ButtonRow(Bind<&FrmMain::Command2, 1>(), L"读取设置", {5520, 960, 1335, 375}, 6),
    FrameRow(Bind<&FrmMain::Frame2>(), L"", {5520, 1440, 1335, 2775}, kPanelGrey, 16, false),
    ButtonRow(Bind<&FrmMain::Command2, 0>(), L"保存设置", {5520, 600, 1335, 375}, 5),
    ButtonRow(Bind<&FrmMain::Command1>(), L"Command1", {4440, 3600, 1095, 495}, 15, false),
    FrameRow(Bind<&FrmMain::Frame1>(), L"[参数设置]", {120, 480, 5175, 3735}, kButtonFace, 0, true),
    LabelRow(Bind<&FrmMain::Label10>(), kClientArea,
             L"http://www.example.com   E-mail: tavrin@example.com", {120, 4320, 5415, 255}, 26,
             {kButtonFace, 0x00404040, TextAlign::Left}),
    // The preset panel.
    LabelRow(Bind<&FrmMain::Label7>(), kPanel, L"╳", {1080, 0, 210, 210}, 23,
             {0x00E0E0E0, kWindowText, TextAlign::Left, true}),
    LabelRow(Bind<&FrmMain::Label6, 6>(), kPanel, L"参数06", SlotRect(6), 22, kSlotStyle),
    LabelRow(Bind<&FrmMain::Label6, 5>(), kPanel, L"参数05", SlotRect(5), 21, kSlotStyle),
    LabelRow(Bind<&FrmMain::Label6, 4>(), kPanel, L"参数04", SlotRect(4), 20, kSlotStyle),
    LabelRow(Bind<&FrmMain::Label6, 3>(), kPanel, L"参数03", SlotRect(3), 19, kSlotStyle),
    LabelRow(Bind<&FrmMain::Label6, 2>(), kPanel, L"参数02", SlotRect(2), 18, kSlotStyle),
    LabelRow(Bind<&FrmMain::Label6, 1>(), kPanel, L"参数01", SlotRect(1), 17, kSlotStyle),
    LabelRow(Bind<&FrmMain::Label8>(), kPanel, L"保存", {30, 0, 1275, 255}, 24,
             {0x00FF8080, kBlack, TextAlign::Left}),
    // The sliders' frame.
    SliderRow(Bind<&FrmMain::VScrollA, 0>(), SliderRect(600), 1),
    SliderRow(Bind<&FrmMain::VScrollA, 3>(), SliderRect(4080), 4),
    SliderRow(Bind<&FrmMain::VScrollA, 2>(), SliderRect(3120), 3),
    SliderRow(Bind<&FrmMain::VScrollA, 1>(), SliderRect(2160), 2),
    LabelRow(Bind<&FrmMain::Label9>(), kSliders, L" 复位 ", {1200, 360, 615, 255}, 25,
             {0x00C0FFC0, 0x00FF0000, TextAlign::Centre, false, true}),
    LabelRow(Bind<&FrmMain::Label5, 3>(), kSliders, L"0", OffsetRect(3960), 14, kOffsetStyle),
    LabelRow(Bind<&FrmMain::Label5, 2>(), kSliders, L"0", OffsetRect(3000), 13, kOffsetStyle),
    LabelRow(Bind<&FrmMain::Label5, 1>(), kSliders, L"0", OffsetRect(2040), 12, kOffsetStyle),
    LabelRow(Bind<&FrmMain::Label5, 0>(), kSliders, L"0", OffsetRect(480), 11, kOffsetStyle),
    LabelRow(Bind<&FrmMain::Label4>(), kSliders, L"全", ChannelCaptionRect(600), 10,
             ChannelCaptionStyle(0x00808080)),
    LabelRow(Bind<&FrmMain::Label3>(), kSliders, L"蓝", ChannelCaptionRect(4080), 9,
             ChannelCaptionStyle(0x00FF0000)),
    LabelRow(Bind<&FrmMain::Label2>(), kSliders, L"绿", ChannelCaptionRect(3120), 8,
             ChannelCaptionStyle(0x0000C000)),
    LabelRow(Bind<&FrmMain::Label1>(), kSliders, L"红", ChannelCaptionRect(2160), 7,
             ChannelCaptionStyle(0x000000FF)),
}};

// twips * dpi / 1440 rounded to the nearest integer, halves upwards.
int RoundedPixels(std::int64_t twips, std::int64_t dpi) {
    const std::int64_t doubled = 2 * twips * dpi + 1440;
    const std::int64_t denominator = std::int64_t{2} * 1440;
    std::int64_t quotient = doubled / denominator;
    if (doubled % denominator != 0 && doubled < 0) {
        --quotient;
    }
    return static_cast<int>(quotient);
}

}  // namespace

std::span<const ControlLayout> FrmMainLayout() {
    return kLayout;
}

int TwipsToPixels(int twips, int dpi) {
    return RoundedPixels(twips, dpi);
}

PixelRect ToPixels(const TwipsRect& rect, int dpi) {
    const int left = TwipsToPixels(rect.left, dpi);
    const int top = TwipsToPixels(rect.top, dpi);
    const int right = TwipsToPixels(rect.left + rect.width, dpi);
    const int bottom = TwipsToPixels(rect.top + rect.height, dpi);
    return {left, top, right - left, bottom - top};
}
