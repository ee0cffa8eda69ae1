#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "GammaDevice.h"
#include "Module_SetScreen.h"
#include "RecordingGammaOutputs.h"
#include "Reference.h"

namespace {

// Slightly bent channels that differ by channel and by seed.
GammaTable Curve(std::size_t levels, int seed) {
    GammaTable table;
    for (std::size_t i = 0; i < kRampChannels * levels; ++i) {
        const double t = static_cast<double>(i % levels) / static_cast<double>(levels - 1);
        const double scale = 0.5 + 0.1 * static_cast<double>(i / levels) + 0.04 * seed;
        table.push_back(static_cast<RampEntry>(300 * seed + scale * 65535.0 * t * (0.8 + 0.2 * t)));
    }
    return table;
}

using Offsets = std::array<int, kRampChannels>;

void Apply(Offsets o) {
    Module_SetScreen::ApplyGamma(o[0], o[1], o[2]);
}

// Checks that output id shows base under offsets o (none: base itself),
// exactly at 256 levels and in channels left at 0, else within two
// resamplings. A failure names the output and the first entry that differs.
void ExpectShows(const RecordingGammaOutputs& outputs, const std::string& id,
                 const GammaTable& base, Offsets o = {}) {
    const GammaTable& shown = outputs.Shown(id);
    ASSERT_EQ(shown.size(), base.size()) << id;
    const std::size_t levels = shown.size() / kRampChannels;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const int offset = o[i / levels];
        ASSERT_NEAR(shown[i], ReferenceIntensity(base[i], offset),
                    levels == kRampLevels || offset == 0 ? 0 : 2)
            << id << " entry " << i;
    }
}

class GammaDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        Module_SetScreen::ResetState();
        Module_SetScreen::UseDevice(&device);
        screen.Show("wide", bases["wide"]);
        screen.Show("small", bases["small"]);
    }
    void TearDown() override { Module_SetScreen::ResetState(); }

    void ExpectOnTheirBases(const RecordingGammaOutputs& outputs) {
        for (const auto& [id, base] : bases) {
            ExpectShows(outputs, id, base);
        }
    }
    long WritesTo(const std::string& id) const {
        return std::ranges::count(screen.Written(), id, &RecordingGammaOutputs::Write::id);
    }

    std::map<std::string, GammaTable> bases = {
        {"primary", Curve(256, 0)}, {"wide", Curve(1024, 1)}, {"small", Curve(16, 2)}};
    RecordingGammaOutputs screen{RampOfTable(bases["primary"])};
    GammaDevice device{screen};
};

enum class Shows { Ours, Base, Other };
enum class Next { Start, Watcher, OtherWatcher };

struct DeadRun {
    const char* what;
    Shows primary, others;
    bool damaged;
};

const DeadRun kDeadRuns[] = {
    {"both still show the run's table", Shows::Ours, Shows::Ours, false},
    {"only one still does", Shows::Other, Shows::Ours, false},
    {"both were changed since", Shows::Other, Shows::Other, false},
    {"both show their base", Shows::Base, Shows::Base, false},
    {"the record is damaged", Shows::Ours, Shows::Ours, true},
};

class DeadRunTest : public GammaDeviceTest,
                    public ::testing::WithParamInterface<std::tuple<DeadRun, Next>> {};

}  // namespace

// A record that could not be written is not believed in: no watcher is asked for.
TEST_F(GammaDeviceTest, ARecordThatCannotBeWrittenIsNotBelievedIn) {
    MemoryRecordStore store;
    for (const bool refuses : {true, false}) {
        store.refuses = refuses;
        device.KeepRecordIn(&store, 1);
        Module_SetScreen::SaveGamma();
        EXPECT_EQ(device.KeepsRecord(), !refuses);
        EXPECT_EQ(store.bytes.has_value(), !refuses);
    }
}

// The first output read stands in for an unreadable primary.
TEST_F(GammaDeviceTest, OnlyWhatWasCapturedIsWritten) {
    screen.Refuse("small", true);
    for (const bool readable : {false, true}) {
        Apply({-100, -100, -100});
        Module_SetScreen::RestoreGamma();
        EXPECT_EQ(screen.Writes(), 0);
        screen.Refuse("wide", !readable);
        screen.Refuse("primary", true);
        Module_SetScreen::SaveGamma();
        EXPECT_EQ(Module_SetScreen::RampCaptured, readable);
    }
    EXPECT_EQ(Module_SetScreen::SavedRamp, RampOfTable(bases["wide"]));
    Apply({-50, 0, 0});
    EXPECT_EQ(WritesTo("primary") + WritesTo("small"), 0);
    ExpectShows(screen, "wide", bases["wide"], {-50, 0, 0});
}

// A returning output keeps its base if it shows what was last set on it.
// Each step: what another program makes it show meanwhile (none: it keeps
// ours), then on or off.
TEST_F(GammaDeviceTest, OutputsThatComeAndGoKeepTheirOwnBase) {
    screen.Switch("wide", false);
    Module_SetScreen::SaveGamma();
    Apply({-40, 0, 0});
    const std::pair<GammaTable, bool> steps[] = {
        {{}, true}, {{}, false}, {{}, true}, {Curve(1024, 3), true}, {Curve(512, 5), false},
        {{}, true}};
    for (std::size_t k = 0; k < std::size(steps); ++k) {
        SCOPED_TRACE("step " + std::to_string(k));
        const auto& [shown, on] = steps[k];
        if (!shown.empty()) {
            screen.Show("wide", shown);
            bases["wide"] = on ? bases["wide"] : shown;
        }
        screen.Switch("wide", on);
        const long writes = WritesTo("wide");
        k % 2 == 0 ? device.TakeEvents() : device.Reapply();
        if (on) {
            ExpectShows(screen, "wide", bases["wide"], {-40, 0, 0});
        }
        Apply({-40, 0, 0});
        EXPECT_EQ(WritesTo("wide") == writes, !on);
    }
    Module_SetScreen::RestoreGamma();
    ExpectShows(screen, "wide", bases["wide"]);
}

// Ended at any moment, before any write of a table or of the record, a run
// leaves no output changed once its watcher has been.
TEST_F(GammaDeviceTest, ARunEndedAtAnyMomentIsPutBack) {
    MemoryRecordStore store;
    int moment = 0;
    screen.beforeWrite = store.beforeChange = [&] {
        SCOPED_TRACE("moment " + std::to_string(moment++));
        RecordingGammaOutputs left;
        for (const auto& [id, base] : bases) {
            left.Show(id, screen.Shown(id));
        }
        MemoryRecordStore record;
        record.bytes = store.bytes;
        GammaDevice watcher(left);
        watcher.KeepRecordIn(&record, 1);
        watcher.PutBackAfterRun();
        ExpectOnTheirBases(left);
    };
    device.KeepRecordIn(&store, 1);
    Module_SetScreen::SaveGamma();
    for (const Offsets o : {Offsets{-40, 0, 0}, {-40, 20, 0}, {0, 0, 0}, {12, -100, -4}}) {
        Apply(o);
    }
    Module_SetScreen::RestoreGamma();
    EXPECT_GT(moment, 10);
}

TEST_P(DeadRunTest, OnlyOutputsStillShowingTheRunsTableGetTheirBaseBack) {
    const auto& [run, next] = GetParam();
    SCOPED_TRACE(run.what);
    MemoryRecordStore store;
    GammaDevice dead(screen);
    dead.KeepRecordIn(&store, 5);
    EXPECT_FALSE(dead.KeepsRecord());
    dead.Capture();
    const auto written = store.bytes;
    dead.Apply(-40, 20, -60);
    EXPECT_EQ(store.bytes, written);
    std::map<std::string, GammaTable> expected;
    for (const auto& [id, base] : bases) {
        const Shows shows = id == "primary" ? run.primary : run.others;
        if (shows != Shows::Ours) {
            screen.Show(id, shows == Shows::Base ? base : Curve(base.size() / 3, 3));
        }
        const bool putBack = shows == Shows::Ours && !run.damaged && next != Next::OtherWatcher;
        expected[id] = putBack ? base : screen.Shown(id);
    }
    if (run.damaged) {
        store.bytes->pop_back();
    }
    const auto left = next == Next::OtherWatcher && !run.damaged ? store.bytes : std::nullopt;
    GammaDevice after(screen);
    after.KeepRecordIn(&store, next == Next::Watcher ? 5 : 6);
    next == Next::Start ? static_cast<void>(after.Capture()) : after.PutBackAfterRun();
    // A start keeps its own record until its restore; a watcher removes its run's.
    EXPECT_EQ(store.bytes.has_value(),
              next != Next::Watcher && (!run.damaged || next == Next::Start));
    const auto expectLeft = [&](const char* when) {
        SCOPED_TRACE(when);
        for (const auto& [id, table] : expected) {
            ExpectShows(screen, id, table);
        }
    };
    expectLeft("at once");
    after.Apply(-100, 100, 0);
    after.Restore();
    EXPECT_EQ(store.bytes, left);
    expectLeft("as the base after an apply and a restore");
}

INSTANTIATE_TEST_SUITE_P(Runs, DeadRunTest,
                         ::testing::Combine(::testing::ValuesIn(kDeadRuns),
                                            ::testing::Values(Next::Start, Next::Watcher,
                                                              Next::OtherWatcher)));
