#pragma once

#include <vector>

#include "GammaDevice.h"

// A stand-in screen for tests: it holds a ramp, records every ramp written
// to it, and can be told to refuse reads or writes.
class RecordingGammaDevice final : public GammaDevice {
public:
    explicit RecordingGammaDevice(const GammaRamp& screen = LinearRamp()) : screen_(screen) {}

    bool ReadRamp(GammaRamp& ramp) override;
    bool WriteRamp(const GammaRamp& ramp) override;

    void FailReads(bool fail) { failReads_ = fail; }
    void FailWrites(bool fail) { failWrites_ = fail; }

    // The ramp the screen shows now.
    const GammaRamp& Screen() const { return screen_; }
    // Every ramp handed to WriteRamp, refused ones included, oldest first.
    const std::vector<GammaRamp>& Written() const { return written_; }
    int Reads() const { return reads_; }
    int Writes() const { return static_cast<int>(written_.size()); }

private:
    GammaRamp screen_;
    std::vector<GammaRamp> written_;
    int reads_ = 0;
    bool failReads_ = false;
    bool failWrites_ = false;
};
