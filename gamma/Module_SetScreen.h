#pragma once

#include <cstdint>

#include "GammaDevice.h"
#include "GammaRamp.h"

// Brightness and colour balance of the whole screen through its gamma ramp.
// Every ramp set is derived from the one captured at start, so offsets are
// absolute: applying the same offsets twice equals applying them once.
namespace Module_SetScreen {

// The primary output's ramp captured by SaveGamma, at 256 levels; the base
// of WorkRamp. Every output's own captured table is kept by the device.
inline GammaRamp SavedRamp{};
// The ramp last built by ApplyGamma and handed to the screen.
inline GammaRamp WorkRamp{};
// Whether SaveGamma has read a ramp. A capture that could read no output
// does not count.
inline bool RampCaptured = false;
// The red, green and blue offsets last passed to ApplyGamma by the window.
inline std::int16_t CurRed = 0;
inline std::int16_t CurGreen = 0;
inline std::int16_t CurBlue = 0;

// Chooses the device the three screen operations reach; nullptr for none.
// The device must outlive its use here.
void UseDevice(GammaDevice* device);

// Has the device capture every output's table; SavedRamp becomes the
// primary output's.
void SaveGamma();

// Builds WorkRamp from SavedRamp and the channel offsets, and has the device
// give every output the same offsets on its own captured table. Does nothing
// when no ramp has been captured, since a ramp built on nothing would black
// out the screen.
void ApplyGamma(std::int16_t red, std::int16_t green, std::int16_t blue);

// Has the device put every output's captured table back, if a ramp was
// captured.
void RestoreGamma();

// Returns the module to its state at program start (no device, no capture,
// zero ramps and offsets).
void ResetState();

// A stored entry's intensity as a 32-bit number, 0..65535.
constexpr std::int32_t WordToLong(RampEntry entry) {
    return entry;
}

// The stored entry for an intensity 0..65535 (the same bit pattern).
constexpr RampEntry LongToWord(std::int32_t intensity) {
    return static_cast<RampEntry>(intensity);
}

// An offset halved and rounded to the nearest integer, ties to even:
// 1 and -1 give 0, 3 and 5 give 2, -3 and -5 give -2.
std::int16_t HalveOffset(std::int16_t offset);

// The ramp for the given channel offsets, computed from captured alone.
// Each halved offset h darkens its channel for h < 0 (x becomes
// (100 - |h|) * x / 100) and lifts it towards full intensity for h > 0
// (x becomes 65535 - (100 - h) * (65535 - x) / 100), each result rounded to
// the nearest integer, ties to even, and clamped to 0..65535; h = 0 copies
// the channel unchanged.
GammaRamp BuildWorkRamp(const GammaRamp& captured, std::int16_t red, std::int16_t green,
                        std::int16_t blue);

}  // namespace Module_SetScreen
