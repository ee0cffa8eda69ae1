#include "Win32FrontEnd.h"

Win32FrontEnd::Win32FrontEnd(HINSTANCE instance, int showCommand, ProgramEvents& events)
    : instance_(instance), showCommand_(showCommand), events_(events) {}

void Win32FrontEnd::BuildWindow(std::span<const PlannedControl> plan) {
    window_ = std::make_unique<MainWindow>(plan, instance_, events_);
}

// Runs until the window has been destroyed (its WM_DESTROY posts WM_QUIT)
// or Quit was called. Global keys, registered for this thread, come with
// no window.
int Win32FrontEnd::RunEventLoop() {
    window_->Show(showCommand_);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == WM_HOTKEY) {
            events_.HotKeyPressed(message.wParam);
        } else if (!window_->TranslateDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 1;
}

// A quit message also ends a message box's modal loop, which passes it on.
void Win32FrontEnd::Quit() {
    PostQuitMessage(0);
}

void Win32FrontEnd::WatchDescriptor(int /*fd*/, std::function<bool()> /*onReadable*/) {}
