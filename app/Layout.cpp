#include "Layout.h"

#include <array>
#include <cstdint>

namespace {

constexpr Colour kPanelGrey = 0x00C0C0C0;
constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kBlack = 0x00000000;

constexpr ControlLayout ButtonRow(std::string_view name, int index, std::wstring_view caption,
                                  TwipsRect rect, int tabIndex, bool visible = true) {
    return {.kind = ControlKind::PushButton,
            .name = name,
            .index = index,
            .container = "",
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

constexpr ControlLayout FrameRow(std::string_view name, std::wstring_view caption, TwipsRect rect,
                                 Colour backColor, int tabIndex, bool visible) {
    return {.kind = ControlKind::Frame,
            .name = name,
            .index = kNoIndex,
            .container = "",
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
constexpr ControlLayout SliderRow(int index, TwipsRect rect, int tabIndex) {
    return {.kind = ControlKind::VScrollBar,
            .name = "VScrollA",
            .index = index,
            .container = "Frame1",
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

constexpr ControlLayout LabelRow(std::string_view name, int index, std::string_view container,
                                 std::wstring_view caption, TwipsRect rect, int tabIndex,
                                 LabelStyle style) {
    return {.kind = ControlKind::Label,
            .name = name,
            .index = index,
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

constexpr std::array<ControlLayout, 27> kLayout{{
    // The client area.
    ButtonRow("Command2", 1, L"读取设置", {5520, 960, 1335, 375}, 6),
    FrameRow("Frame2", L"", {5520, 1440, 1335, 2775}, kPanelGrey, 16, false),
    ButtonRow("Command2", 0, L"保存设置", {5520, 600, 1335, 375}, 5),
    ButtonRow("Command1", kNoIndex, L"Command1", {4440, 3600, 1095, 495}, 15, false),
    FrameRow("Frame1", L"[参数设置]", {120, 480, 5175, 3735}, kButtonFace, 0, true),
    LabelRow("Label10", kNoIndex, "", L"http://www.example.com   E-mail: tavrin@example.com",
             {120, 4320, 5415, 255}, 26, {kButtonFace, 0x00404040, TextAlign::Left}),
    // The preset panel.
    LabelRow("Label7", kNoIndex, "Frame2", L"╳", {1080, 0, 210, 210}, 23,
             {0x00E0E0E0, kWindowText, TextAlign::Left, true}),
    LabelRow("Label6", 6, "Frame2", L"参数06", SlotRect(6), 22, kSlotStyle),
    LabelRow("Label6", 5, "Frame2", L"参数05", SlotRect(5), 21, kSlotStyle),
    LabelRow("Label6", 4, "Frame2", L"参数04", SlotRect(4), 20, kSlotStyle),
    LabelRow("Label6", 3, "Frame2", L"参数03", SlotRect(3), 19, kSlotStyle),
    LabelRow("Label6", 2, "Frame2", L"参数02", SlotRect(2), 18, kSlotStyle),
    LabelRow("Label6", 1, "Frame2", L"参数01", SlotRect(1), 17, kSlotStyle),
    LabelRow("Label8", kNoIndex, "Frame2", L"保存", {30, 0, 1275, 255}, 24,
             {0x00FF8080, kBlack, TextAlign::Left}),
    // The sliders' frame.
    SliderRow(0, SliderRect(600), 1),
    SliderRow(3, SliderRect(4080), 4),
    SliderRow(2, SliderRect(3120), 3),
    SliderRow(1, SliderRect(2160), 2),
    LabelRow("Label9", kNoIndex, "Frame1", L" 复位 ", {1200, 360, 615, 255}, 25,
             {0x00C0FFC0, 0x00FF0000, TextAlign::Centre, false, true}),
    LabelRow("Label5", 3, "Frame1", L"0", OffsetRect(3960), 14, kOffsetStyle),
    LabelRow("Label5", 2, "Frame1", L"0", OffsetRect(3000), 13, kOffsetStyle),
    LabelRow("Label5", 1, "Frame1", L"0", OffsetRect(2040), 12, kOffsetStyle),
    LabelRow("Label5", 0, "Frame1", L"0", OffsetRect(480), 11, kOffsetStyle),
    LabelRow("Label4", kNoIndex, "Frame1", L"全", ChannelCaptionRect(600), 10,
             ChannelCaptionStyle(0x00808080)),
    LabelRow("Label3", kNoIndex, "Frame1", L"蓝", ChannelCaptionRect(4080), 9,
             ChannelCaptionStyle(0x00FF0000)),
    LabelRow("Label2", kNoIndex, "Frame1", L"绿", ChannelCaptionRect(3120), 8,
             ChannelCaptionStyle(0x0000C000)),
    LabelRow("Label1", kNoIndex, "Frame1", L"红", ChannelCaptionRect(2160), 7,
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

std::string ControlName(const ControlLayout& row) {
    std::string name(row.name);
    if (row.index != kNoIndex) {
        // Appended piece by piece: "(" + to_string(...) trips a false
        // -Wrestrict warning in GCC 12.
        name += '(';
        name += std::to_string(row.index);
        name += ')';
    }
    return name;
}
