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
constexpr auto kCentre = TextAlign::Centre;

// clang-format off
constexpr std::array<ControlLayout, 27> kLayout{{
    // The client area.
    {.control = Bind<&FrmMain::Command2, 1>(), .caption = L"读取设置",
     .rect = {5520, 960, 1335, 375}, .align = kCentre, .tabIndex = 6},
    {.control = Bind<&FrmMain::Frame2>(), .rect = {5520, 1440, 1335, 2775},
     .backColor = kPanelGrey, .tabIndex = 16, .visible = false},
    {.control = Bind<&FrmMain::Command2, 0>(), .caption = L"保存设置",
     .rect = {5520, 600, 1335, 375}, .align = kCentre, .tabIndex = 5},
    {.control = Bind<&FrmMain::Command1>(), .caption = L"Command1",
     .rect = {4440, 3600, 1095, 495}, .align = kCentre, .tabIndex = 15, .visible = false},
    {.control = Bind<&FrmMain::Frame1>(), .caption = L"[参数设置]",
     .rect = {120, 480, 5175, 3735}, .tabIndex = 0},
    {.control = Bind<&FrmMain::Label10>(),
     .caption = L"http://www.example.com   E-mail: tavrin@example.com",
     .rect = {120, 4320, 5415, 255}, .foreColor = 0x00404040, .tabIndex = 26},
    // The preset panel.
    {.control = Bind<&FrmMain::Label7>(), .container = kPanel, .caption = L"╳",
     .rect = {1080, 0, 210, 210}, .backColor = 0x00E0E0E0, .foreColor = kWindowText,
     .border = true, .tabIndex = 23, .accessibleName = L"关闭"},
    {.control = Bind<&FrmMain::Label6, 6>(), .container = kPanel, .caption = L"参数06",
     .rect = SlotRect(6), .backColor = kWindowBackground, .foreColor = kWindowText,
     .align = kCentre, .border = true, .tabIndex = 22},
    {.control = Bind<&FrmMain::Label6, 5>(), .container = kPanel, .caption = L"参数05",
     .rect = SlotRect(5), .backColor = kWindowBackground, .foreColor = kWindowText,
     .align = kCentre, .border = true, .tabIndex = 21},
    {.control = Bind<&FrmMain::Label6, 4>(), .container = kPanel, .caption = L"参数04",
     .rect = SlotRect(4), .backColor = kWindowBackground, .foreColor = kWindowText,
     .align = kCentre, .border = true, .tabIndex = 20},
    {.control = Bind<&FrmMain::Label6, 3>(), .container = kPanel, .caption = L"参数03",
     .rect = SlotRect(3), .backColor = kWindowBackground, .foreColor = kWindowText,
     .align = kCentre, .border = true, .tabIndex = 19},
    {.control = Bind<&FrmMain::Label6, 2>(), .container = kPanel, .caption = L"参数02",
     .rect = SlotRect(2), .backColor = kWindowBackground, .foreColor = kWindowText,
     .align = kCentre, .border = true, .tabIndex = 18},
    {.control = Bind<&FrmMain::Label6, 1>(), .container = kPanel, .caption = L"参数01",
     .rect = SlotRect(1), .backColor = kWindowBackground, .foreColor = kWindowText,
     .align = kCentre, .border = true, .tabIndex = 17},
    {.control = Bind<&FrmMain::Label8>(), .container = kPanel, .caption = L"保存",
     .rect = {30, 0, 1275, 255}, .backColor = 0x00FF8080, .foreColor = kBlack, .tabIndex = 24},
    // The sliders' frame. The sliders have no caption or colours of their own.
    {.control = Bind<&FrmMain::VScrollA, 0>(), .container = kSliders,
     .rect = SliderRect(600), .tabIndex = 1, .accessibleName = L"全部"},
    {.control = Bind<&FrmMain::VScrollA, 3>(), .container = kSliders,
     .rect = SliderRect(4080), .tabIndex = 4, .accessibleName = L"蓝"},
    {.control = Bind<&FrmMain::VScrollA, 2>(), .container = kSliders,
     .rect = SliderRect(3120), .tabIndex = 3, .accessibleName = L"绿"},
    {.control = Bind<&FrmMain::VScrollA, 1>(), .container = kSliders,
     .rect = SliderRect(2160), .tabIndex = 2, .accessibleName = L"红"},
    {.control = Bind<&FrmMain::Label9>(), .container = kSliders, .caption = L" 复位 ",
     .rect = {1200, 360, 615, 255}, .backColor = 0x00C0FFC0, .foreColor = 0x00FF0000,
     .align = kCentre, .underline = true, .tabIndex = 25, .accessibleName = L"复位"},
    {.control = Bind<&FrmMain::Label5, 3>(), .container = kSliders, .caption = L"0",
     .rect = OffsetRect(3960), .align = kCentre, .tabIndex = 14},
    {.control = Bind<&FrmMain::Label5, 2>(), .container = kSliders, .caption = L"0",
     .rect = OffsetRect(3000), .align = kCentre, .tabIndex = 13},
    {.control = Bind<&FrmMain::Label5, 1>(), .container = kSliders, .caption = L"0",
     .rect = OffsetRect(2040), .align = kCentre, .tabIndex = 12},
    {.control = Bind<&FrmMain::Label5, 0>(), .container = kSliders, .caption = L"0",
     .rect = OffsetRect(480), .align = kCentre, .tabIndex = 11},
    {.control = Bind<&FrmMain::Label4>(), .container = kSliders, .caption = L"全",
     .rect = ChannelCaptionRect(600), .backColor = 0x00808080, .foreColor = kWhite,
     .align = kCentre, .tabIndex = 10},
    {.control = Bind<&FrmMain::Label3>(), .container = kSliders, .caption = L"蓝",
     .rect = ChannelCaptionRect(4080), .backColor = 0x00FF0000, .foreColor = kWhite,
     .align = kCentre, .tabIndex = 9},
    {.control = Bind<&FrmMain::Label2>(), .container = kSliders, .caption = L"绿",
     .rect = ChannelCaptionRect(3120), .backColor = 0x0000C000, .foreColor = kWhite,
     .align = kCentre, .tabIndex = 8},
    {.control = Bind<&FrmMain::Label1>(), .container = kSliders, .caption = L"红",
     .rect = ChannelCaptionRect(2160), .backColor = 0x000000FF, .foreColor = kWhite,
     .align = kCentre, .tabIndex = 7},
}};
// clang-format on

// twips * dpi / 1440 rounded to the nearest integer, halves upwards.
int TwipsToPixels(std::int64_t twips, std::int64_t dpi) {
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

PixelRect ToPixels(const TwipsRect& rect, int dpi) {
    const int left = TwipsToPixels(rect.left, dpi);
    const int top = TwipsToPixels(rect.top, dpi);
    const int right = TwipsToPixels(rect.left + rect.width, dpi);
    const int bottom = TwipsToPixels(rect.top + rect.height, dpi);
    return {left, top, right - left, bottom - top};
}
