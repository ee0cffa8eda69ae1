#pragma once

#include <string_view>

#include "LinuxPlatformServices.h"

// The Linux platform services with the notice drawn by Qt.
class QtPlatformServices final : public LinuxPlatformServices {
public:
    using LinuxPlatformServices::LinuxPlatformServices;

    void ShowNotice(std::wstring_view text, std::wstring_view title) override;
    // The running window on the same X server, found by its class and caption.
    void ShowRunningInstance() override;
};
