#pragma once

#include <string_view>

#include "Controls.h"
#include "Module1.h"
#include "PlatformServices.h"

// The program's one window: its controls and its event handlers. It drives
// the gamma engine (Module_SetScreen) and the preset store (Module1) and
// never touches a toolkit; a front end renders the controls and forwards
// the user's input to them.
class FrmMain {
public:
    explicit FrmMain(PlatformServices& platform);
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;
    ~FrmMain() = default;

    Frame Frame1;
    Frame Frame2;
    PushButton Command1;
    ControlArray<PushButton, 0, 1> Command2;
    ControlArray<ScrollBar, 0, 3> VScrollA;  // all channels, red, green, blue
    Label Label1;
    Label Label2;
    Label Label3;
    Label Label4;
    ControlArray<Label, 0, 3> Label5;
    ControlArray<Label, Module1::kFirstSlot, Module1::kLastSlot> Label6;  // the preset slots
    Label Label7;
    Label Label8;
    Label Label9;
    Label Label10;

    // The load, before the window is first shown; the start-up preset
    // (AUTOLOAD) is read only with readAutoLoad. False when another
    // instance runs: the notice has been shown, and the window must be
    // unloaded without being shown.
    bool Form_Load(bool readAutoLoad = true);
    // The unload, however the window closes.
    void Form_Unload();

    void VScrollA_Change(int index);
    // The thumb of VScrollA(index) is dragged to position: the offsets and
    // the screen show what its release there would give, nothing is
    // committed. The all-channels thumb shows the three channels at it.
    void VScrollA_Scroll(int index, std::int16_t position);
    // The drag is over and its release committed: the offset labels show
    // the sliders again, and a screen still showing the drag gets the last
    // applied offsets back.
    void VScrollA_EndScroll();
    void Command1_Click();
    void Label9_Click();
    void Command2_Click(int index);
    void Label6_Click(int index);
    void Label7_Click();
    // A key the window's controls left: with the panel shown, 1 to 6 click
    // the slots and Escape (U+001B) the close mark. True when it was used.
    bool Form_KeyPress(wchar_t key);

    // A slot read from outside the window (the command line, a global key):
    // as a click on it in the read panel, even while the panel is hidden.
    // An empty slot changes nothing.
    void ReadSlotFromOutside(int slot);

private:
    // The slot action of Label6_Click in read and in save mode.
    void ReadPreset(int slot);
    void SavePreset(int slot);
    void ShowSlotStates();
    void EnsureSettingsFile(const std::filesystem::path& path);

    PlatformServices& platform_;
    // Whether the screen shows a drag rather than the last apply.
    bool previewShown_ = false;
};

// The offset that position of slider stands for, (maximum / 2 - position)
// * 2: +100 at the top end, 0 in the middle, -100 at the bottom end.
int SliderOffset(const ScrollBar& slider, int position);
// The position that shows offset, maximum / 2 - floor(offset / 2), held to
// the slider's range.
std::int16_t SliderPosition(const ScrollBar& slider, std::int32_t offset);

inline constexpr std::wstring_view kProgramTitle = L"KOV调节显示器";
inline constexpr std::wstring_view kAlreadyRunningNotice = L"对不起本程序已在运行中, 不得重复加载!";
