#pragma once

#include <optional>
#include <vector>

#include "FrmMain.h"
#include "FrontEnd.h"
#include "GammaDevice.h"
#include "HotKey.h"
#include "PlatformServices.h"
#include "Request.h"

// The program's life, the same on every platform: the screen's gamma
// device is in use for the whole run; the window loads, shows and runs its
// event loop; and the window unloads exactly once, however the run ends (the
// window closed, a stop signal, the end of the session, an error escaping
// the event loop, or a refused second start). When the load finds that the
// desktop lets no output's gamma be adjusted, a notice says so before the
// window shows; the window then works as usual on its presets. A run that
// keeps a baseline record has a watcher started once the window has loaded,
// so that the screen gets its own ramp back however the process ends.
//
// While the event loop runs, the program takes requests from outside its
// window: from later starts, which hand theirs over, and from the global
// keys of the settings file.
//
// Whenever the screen does not show a colour channel's offset (a display
// refused the table), the number under that channel's slider says so,
// quietly: in red, with a tooltip, until a table showing it is taken.
class Program final : public ProgramEvents {
public:
    Program(PlatformServices& platform, GammaDevice& screen);

    // Runs the program with frontEnd; returns the exit status. A start
    // request is carried out in place of the start-up preset.
    int Run(FrontEnd& frontEnd, const std::optional<Request>& start = std::nullopt);

    void StopRequested() override;
    void SessionEnding() override;
    void DisplaysChanged() override;
    void HandOverArrived(std::span<const std::byte> message) override;
    void HotKeyPressed(std::size_t index) override;
    bool KeyPressed(wchar_t key) override;

    // The program's window.
    FrmMain& Form() { return form_; }

private:
    int LoadAndRun(FrontEnd& frontEnd, const std::optional<Request>& start);
    void WatchScreen(FrontEnd& frontEnd);
    void TakeRequests(FrontEnd& frontEnd);
    void Carry(const Request& request);
    void Unload();
    void ShowWhatScreenShows();

    PlatformServices& platform_;
    GammaDevice& screen_;
    FrmMain form_;
    FrontEnd* frontEnd_ = nullptr;
    bool unloaded_ = false;
    // Once a stop is asked for, even during the load's notices, the event
    // loop does not start.
    bool stopRequested_ = false;
    // The global keys claimed, by the index the platform reports.
    std::vector<HotKeySetting> hotKeys_;
    // The offset numbers' colour while the screen shows them.
    Colour usualNumberColour_;
};

// A start with a request, while the program already runs for this user on
// this display server (Windows: in this session), hands the request to it:
// returns the exit status, 0 once it was taken, 1 when it was not. None when
// this start is to run the program itself; it has then claimed the
// instance.
std::optional<int> HandOverToRunningProgram(PlatformServices& platform,
                                            const std::optional<Request>& request);

inline constexpr std::wstring_view kCannotAdjustNotice =
    L"本桌面不允许程序调节显示器的伽马值，调节将不起作用。";
inline constexpr std::wstring_view kNotShownTip =
    L"显示器不接受这个值，屏幕保持最近一次能显示的设置。";
