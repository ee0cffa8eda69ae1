#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "GammaRamp.h"

// One output that shows a picture: its stable id (the output's name, such
// as "DUMMY1" or "\\.\DISPLAY2"), how many levels its gamma table has, and
// whether its table changes what it shows: XWayland's outputs take every
// table and show none, which only their backend can tell. An output whose
// fields change is a new output.
struct GammaOutput {
    std::string id;
    std::size_t levels = 0;
    bool showsTables = true;

    bool operator==(const GammaOutput&) const = default;
};

// An output's gamma table at its own size: `levels` entries of red, then of
// green, then of blue.
using GammaTable = std::vector<RampEntry>;

// The outputs of one display system as GammaDevice reaches them. A backend
// only carries tables to and from the display and reports changes; every
// decision (what to capture, what to write, what to keep) is GammaDevice's.
//
// Lifecycle: the backend connects by the first ActiveOutputs() at the latest
// and holds its connection until it is destroyed. A connection that is lost for good
// (the display server went away) makes every later call a harmless no-op:
// no outputs, reads and writes refused, no event descriptor.
class GammaOutputs {
public:
    GammaOutputs() = default;
    GammaOutputs(const GammaOutputs&) = delete;
    GammaOutputs& operator=(const GammaOutputs&) = delete;
    virtual ~GammaOutputs() = default;

    // The outputs that show a picture now, the primary one first, each once.
    // Empty when the display cannot be reached.
    virtual std::vector<GammaOutput> ActiveOutputs() = 0;

    // The table the output shows now; nothing when it cannot be read or the
    // output no longer has output.levels levels.
    virtual std::optional<GammaTable> ReadTable(const GammaOutput& output) = 0;

    // Hands the output a table of 3 * output.levels entries; false if it was
    // refused, whether the display said so or shows something else. It may
    // take effect only at the next Flush().
    virtual bool WriteTable(const GammaOutput& output, std::span<const RampEntry> table) = 0;

    // Gives an output that no longer shows a picture the table it will show
    // when it comes back, where the display keeps one for it (X keeps the
    // table of the CRTC that last drove the output); false where it cannot.
    virtual bool WriteTableWhileOff(const GammaOutput& /*output*/,
                                    std::span<const RampEntry> /*table*/) {
        return false;
    }

    // Moves each entry of a table coming for the output, built on base,
    // into the range the display accepts, never past its base entry, so that
    // the display takes it and shows as much of the change as it allows.
    // Leaves the table alone on a display that takes every table.
    virtual void FitTable(const GammaOutput& /*output*/, std::span<const RampEntry> /*base*/,
                          std::span<RampEntry> /*table*/) const {}

    // Makes every table written since the last flush show, and waits until
    // the display has them; false if any of them was refused. Called once
    // per apply, after the writes to every output. A backend that paces its
    // writes (Wayland) sends an output's latest table as soon as the display
    // has taken its last, while the event loop takes its events.
    virtual bool Flush() = 0;

    // A descriptor that turns readable when display events wait, for the
    // program's event loop to watch; -1 when there is none, which it becomes
    // for good once the connection is lost.
    virtual int EventDescriptor() const = 0;

    // Takes every waiting event without blocking; true when outputs may have
    // come, gone or changed since the last ActiveOutputs().
    virtual bool TakeEvents() = 0;

    // Whether the display puts its own tables back by itself once we let go
    // of the outputs, by Release() or by the program's end however it comes
    // (a Wayland compositor does when a client's gamma controls go). Then
    // nothing needs writing back, nor keeping for a later restore.
    virtual bool RestoresOnRelease() const { return false; }

    // Lets go of every output, on a display that restores on release, and
    // returns once the display has taken that in; the outputs are no longer
    // listed, read or written. Does nothing on one that does not.
    virtual void Release() {}
};

// The outputs of this platform's screen. Each platform's backend file
// defines it; the build links exactly one of them.
std::unique_ptr<GammaOutputs> MakeScreenGammaOutputs();
