#include "FrmMain.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "Layout.h"
#include "Module1.h"
#include "Module_SetScreen.h"
#include "TextToNumber.h"

namespace {

constexpr std::int16_t kSliderMin = 0;
constexpr std::int16_t kSliderMax = 100;
constexpr std::int16_t kSliderStep = 1;
constexpr std::int16_t kSliderMiddle = 50;

// The panel mode kept in Frame2's tag.
constexpr std::wstring_view kSaveMode = L"0";
constexpr std::wstring_view kReadMode = L"1";
constexpr std::wstring_view kSaveHeading = L"保存";
constexpr std::wstring_view kReadHeading = L"读取";
constexpr wchar_t kEscape = L'\x1B';

// The offset of a slider at position as plain decimal text.
std::wstring OffsetText(const ScrollBar& slider, int position) {
    return std::to_wstring(SliderOffset(slider, position));
}

std::wstring OffsetText(const ScrollBar& slider) {
    return OffsetText(slider, slider.Value());
}

}  // namespace

int SliderOffset(const ScrollBar& slider, int position) {
    const double maximum = slider.Max();
    return static_cast<int>(std::nearbyint((maximum / 2 - position) * 2));
}

// Offsets from a hand-edited file can lie beyond what a slider takes; they
// are held to its range so that sliders and offset labels stay in step.
std::int16_t SliderPosition(const ScrollBar& slider, std::int32_t offset) {
    const double position = slider.Max() / 2 - std::floor(static_cast<double>(offset) / 2);
    return static_cast<std::int16_t>(std::clamp<double>(position, slider.Min(), slider.Max()));
}

FrmMain::FrmMain(PlatformServices& platform)
    : VScrollA(kSliderMin, kSliderMax, kSliderStep, kSliderStep, kSliderMiddle),
      platform_(platform) {
    for (const ControlLayout& row : FrmMainLayout()) {
        Control& control = row.control.in(*this);
        control.SetVisible(row.visible);
        if (auto* label = dynamic_cast<Label*>(&control)) {
            label->SetCaption(std::wstring(row.caption));
            label->SetBackColor(row.backColor);
            label->SetForeColor(row.foreColor);
        }
    }
    Frame2.SetTag(std::wstring(kSaveMode));

    for (int index = 0; index <= VScrollA.kLast; ++index) {
        VScrollA[index].OnChange = [this, index] { VScrollA_Change(index); };
        VScrollA[index].OnScroll = [this, index](std::int16_t at) { VScrollA_Scroll(index, at); };
        VScrollA[index].OnEndScroll = [this] { VScrollA_EndScroll(); };
    }
    for (int index = 0; index <= Command2.kLast; ++index) {
        Command2[index].OnClick = [this, index] { Command2_Click(index); };
    }
    for (int slot = Module1::kFirstSlot; slot <= Module1::kLastSlot; ++slot) {
        Label6[slot].OnClick = [this, slot] { Label6_Click(slot); };
    }
    Command1.OnClick = [this] { Command1_Click(); };
    Label9.OnClick = [this] { Label9_Click(); };
    Label7.OnClick = [this] { Label7_Click(); };
}

bool FrmMain::Form_Load(bool readAutoLoad) {
    if (platform_.AnotherInstanceRunning()) {
        platform_.ShowNotice(kAlreadyRunningNotice, kProgramTitle);
        platform_.ShowRunningInstance();
        return false;
    }
    const std::filesystem::path programFolder = platform_.ProgramFolder();
    Module1::InitSettingsPath(programFolder, platform_.CanCreateFilesIn(programFolder),
                              platform_.UserSettingsFolder());
    Module1::LoadPresets(Module1::SettingsPath);
    ShowSlotStates();
    Module_SetScreen::SaveGamma();
    if (readAutoLoad && Module1::IsPresetSlot(Module1::AutoLoadSlot)) {
        Frame2.SetTag(std::wstring(kReadMode));
        Label6_Click(Module1::AutoLoadSlot);
    }
    return true;
}

void FrmMain::Form_Unload() {
    Module_SetScreen::RestoreGamma();
}

void FrmMain::VScrollA_Change(int index) {
    if (!VScrollA.Holds(index)) {
        return;
    }
    Label5[index].SetCaption(OffsetText(VScrollA[index]));
    if (index == 0) {
        for (int channel = 1; channel <= VScrollA.kLast; ++channel) {
            VScrollA[channel].SetValue(VScrollA[0].Value());
        }
    }
    Command1_Click();
}

void FrmMain::VScrollA_Scroll(int index, std::int16_t position) {
    if (!VScrollA.Holds(index)) {
        return;
    }
    const std::wstring offset = OffsetText(VScrollA[index], position);
    Label5[index].SetCaption(offset);
    if (index == 0) {
        for (int channel = 1; channel <= Label5.kLast; ++channel) {
            Label5[channel].SetCaption(offset);
        }
    }
    previewShown_ = true;
    Module_SetScreen::ApplyGamma(OffsetFromLabel(Label5[1].Caption()),
                                 OffsetFromLabel(Label5[2].Caption()),
                                 OffsetFromLabel(Label5[3].Caption()));
}

void FrmMain::VScrollA_EndScroll() {
    for (int index = 0; index <= VScrollA.kLast; ++index) {
        Label5[index].SetCaption(OffsetText(VScrollA[index]));
    }
    if (previewShown_) {
        previewShown_ = false;
        Module_SetScreen::ApplyGamma(Module_SetScreen::CurRed, Module_SetScreen::CurGreen,
                                     Module_SetScreen::CurBlue);
    }
}

void FrmMain::Command1_Click() {
    previewShown_ = false;
    Module_SetScreen::CurRed = OffsetFromLabel(Label5[1].Caption());
    Module_SetScreen::CurGreen = OffsetFromLabel(Label5[2].Caption());
    Module_SetScreen::CurBlue = OffsetFromLabel(Label5[3].Caption());
    Module_SetScreen::ApplyGamma(Module_SetScreen::CurRed, Module_SetScreen::CurGreen,
                                 Module_SetScreen::CurBlue);
}

void FrmMain::Label9_Click() {
    for (ScrollBar& slider : VScrollA) {
        slider.SetValue(kSliderMiddle);
    }
    Command1_Click();
}

void FrmMain::Command2_Click(int index) {
    if (!Command2.Holds(index)) {
        return;
    }
    ShowSlotStates();
    const bool shown = Frame2.Visible();
    if (PanelModeForOpening(Frame2.Tag()) == index && shown) {
        Frame2.SetVisible(false);
        return;
    }
    Label8.SetCaption(std::wstring(index == 0 ? kSaveHeading : kReadHeading));
    Frame2.SetTag(std::to_wstring(index));
    Frame2.SetVisible(true);
}

void FrmMain::Label6_Click(int index) {
    if (!Module1::IsPresetSlot(index)) {
        return;
    }
    if (PanelModeForSlotAction(Frame2.Tag()) == 1.0) {
        ReadPreset(index);
    } else {
        SavePreset(index);
    }
    Frame2.SetVisible(false);
}

void FrmMain::Label7_Click() {
    Frame2.SetVisible(false);
}

void FrmMain::ReadSlotFromOutside(int slot) {
    if (Module1::IsPresetSlot(slot) && Module1::PresetUsed[slot] == 1) {
        Frame2.SetTag(std::wstring(kReadMode));
        Label6_Click(slot);
    }
}

bool FrmMain::Form_KeyPress(wchar_t key) {
    if (!Frame2.Visible()) {
        return false;
    }
    if (key == kEscape) {
        Label7.Click();
        return true;
    }
    const int slot = key - L'0';
    if (!Module1::IsPresetSlot(slot)) {
        return false;
    }
    Label6[slot].Click();
    return true;
}

void FrmMain::ReadPreset(int slot) {
    ShowSlotStates();
    if (Module1::PresetUsed[slot] != 1) {
        return;
    }
    VScrollA[1].SetValue(SliderPosition(VScrollA[1], Module1::PresetRed[slot]));
    VScrollA[2].SetValue(SliderPosition(VScrollA[2], Module1::PresetGreen[slot]));
    VScrollA[3].SetValue(SliderPosition(VScrollA[3], Module1::PresetBlue[slot]));
    const std::int16_t red = VScrollA[1].Value();
    if (VScrollA[2].Value() == red && VScrollA[3].Value() == red) {
        VScrollA[0].SetValue(red);
    }
}

void FrmMain::SavePreset(int slot) {
    EnsureSettingsFile(Module1::SettingsPath);
    Module1::StorePreset(slot, OffsetFromLabel(Label5[1].Caption()),
                         OffsetFromLabel(Label5[2].Caption()),
                         OffsetFromLabel(Label5[3].Caption()));
    Module1::SavePreset(Module1::SettingsPath, slot, Module1::PresetValueText(slot));
}

void FrmMain::ShowSlotStates() {
    for (int slot = Module1::kFirstSlot; slot <= Module1::kLastSlot; ++slot) {
        Label6[slot].SetBackColor(Module1::PresetUsed[slot] == 1 ? kYellow : kWindowBackground);
    }
}

void FrmMain::EnsureSettingsFile(const std::filesystem::path& path) {
    Module1::EnsureSettingsFile(path);
}
