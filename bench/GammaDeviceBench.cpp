// One apply through the real device beside the floor of what X allows, on a
// private Xorg dummy server with one and with two outputs switched on: the
// floor is one kept XCB connection, a checked xcb_randr_set_crtc_gamma on
// each active CRTC and the check of each, which waits for the server once. The device applies
// without and with its baseline record, which it rewrites on every apply, kept where the program
// keeps it (the private runtime folder). Also one step of the all-channels slider, which makes four
// applies, without and with the record. Prints the median times and the device's as a multiple of
// the floor's.
//
// Started without KOV_ON_DUMMY_SERVER=1, it runs itself again under
// tests/xorg/with-xorg-dummy, so it never changes a real screen's gamma.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "GammaDevice.h"
#include "Module_SetScreen.h"
#include "RecordFile.h"
#include "X11Resources.h"

namespace {

// The CRTCs that drive an output, each with a darkened table ready to set:
// the same levels for red, green and blue, one channel after the other.
std::vector<std::pair<xcb_randr_crtc_t, GammaTable>> ActiveCrtcTables(
    xcb_connection_t* connection) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto resources = TakeReply(xcb_randr_get_screen_resources_current_reply, connection,
                                     xcb_randr_get_screen_resources_current(connection, root));
    const int outputs =
        resources ? xcb_randr_get_screen_resources_current_outputs_length(resources.Get()) : 0;
    std::vector<std::pair<xcb_randr_crtc_t, GammaTable>> tables;
    for (int i = 0; i < outputs; ++i) {
        const auto info = TakeReply(
            xcb_randr_get_output_info_reply, connection,
            xcb_randr_get_output_info(
                connection, xcb_randr_get_screen_resources_current_outputs(resources.Get())[i],
                resources->config_timestamp));
        if (!info || info->crtc == XCB_NONE) {
            continue;
        }
        const auto size = TakeReply(xcb_randr_get_crtc_gamma_size_reply, connection,
                                    xcb_randr_get_crtc_gamma_size(connection, info->crtc));
        const std::size_t levels = size ? size->size : 0;
        if (levels > 1) {
            GammaTable& table = tables.emplace_back(info->crtc, GammaTable{}).second;
            for (std::size_t entry = 0; entry < kRampChannels * levels; ++entry) {
                table.push_back(static_cast<RampEntry>(entry % levels * 65535 / (levels - 1) / 2));
            }
        }
    }
    return tables;
}

// Switches the second output on for a benchmark's argument 2, off for 1.
void UseOutputs(const benchmark::State& state) {
    const char* const command = state.range(0) == 2
                                    ? "xrandr --output DUMMY1 --mode kov800 --right-of DUMMY0"
                                    : "xrandr --output DUMMY1 --off";
    if (std::system(command) != 0) {
        std::fprintf(stderr, "%s failed\n", command);
    }
}

// The median of the samples, which load on the machine moves less than the
// mean.
double Median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0;
    }
    const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::ranges::nth_element(samples, middle);
    return *middle;
}

double MicrosecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

// Offsets that change on every apply, as a dragged slider's do.
std::int16_t NextOffset(std::int16_t offset) {
    return static_cast<std::int16_t>(offset <= -100 ? 100 : offset - 2);
}

// The record of argument "record": none (0), on tmpfs (1) or on the disk of
// the current folder (2).
std::filesystem::path RecordPlace(const benchmark::State& state) {
    return state.range(1) == 1 ? std::filesystem::path("/dev/shm/kov-bench.record")
                               : std::filesystem::current_path() / "kov-bench.record";
}

// Each iteration applies through the floor and then through the device, so
// both meet the same load; the counters are the medians in microseconds.
void BM_ApplyBesideFloor(benchmark::State& state) {
    UseOutputs(state);
    const XcbConnectionHandle connection(xcb_connect(nullptr, nullptr));
    const auto tables = ActiveCrtcTables(connection.Get());
    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice device(*outputs);
    RecordFile record(RecordPlace(state));
    device.KeepRecordIn(state.range(1) != 0 ? &record : nullptr, 1);
    device.Capture();
    std::vector<double> floor;
    std::vector<double> apply;
    std::int16_t offset = 0;
    for ([[maybe_unused]] auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<xcb_void_cookie_t> sets;
        for (const auto& [crtc, table] : tables) {
            const std::size_t levels = table.size() / kRampChannels;
            sets.push_back(xcb_randr_set_crtc_gamma_checked(
                connection.Get(), crtc, static_cast<std::uint16_t>(levels), table.data(),
                table.data() + levels, table.data() + 2 * levels));
        }
        for (const xcb_void_cookie_t set : sets) {
            Accepted(connection.Get(), set);
        }
        floor.push_back(MicrosecondsSince(start));
        const auto deviceStart = std::chrono::steady_clock::now();
        offset = NextOffset(offset);
        device.Apply(offset, 0, 0);
        apply.push_back(MicrosecondsSince(deviceStart));
    }
    device.Restore();
    state.counters["outputs"] = static_cast<double>(tables.size());
    state.counters["floor_us"] = Median(floor);
    state.counters["device_us"] = Median(apply);
    state.counters["ratio"] = Median(apply) / Median(floor);
}
BENCHMARK(BM_ApplyBesideFloor)
    ->ArgNames({"outputs", "record"})
    ->ArgsProduct({{1, 2}, {0, 1, 2}})
    ->UseRealTime();

// The all-channels slider's step: red, green and blue follow one by one,
// each applying, and the all-channels slider applies once more.
void BM_AllChannelsStep(benchmark::State& state) {
    UseOutputs(state);
    const auto outputs = MakeScreenGammaOutputs();
    GammaDevice device(*outputs);
    RecordFile record(RecordPlace(state));
    device.KeepRecordIn(state.range(1) != 0 ? &record : nullptr, 1);
    Module_SetScreen::UseDevice(&device);
    Module_SetScreen::SaveGamma();
    std::vector<double> steps;
    std::int16_t offset = 0;
    for ([[maybe_unused]] auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::int16_t was = offset;
        offset = NextOffset(offset);
        Module_SetScreen::ApplyGamma(offset, was, was);
        Module_SetScreen::ApplyGamma(offset, offset, was);
        Module_SetScreen::ApplyGamma(offset, offset, offset);
        Module_SetScreen::ApplyGamma(offset, offset, offset);
        steps.push_back(MicrosecondsSince(start));
    }
    Module_SetScreen::RestoreGamma();
    Module_SetScreen::ResetState();
    state.counters["step_us"] = Median(steps);
}
BENCHMARK(BM_AllChannelsStep)
    ->ArgNames({"outputs", "record"})
    ->ArgsProduct({{1, 2}, {0, 1, 2}})
    ->UseRealTime();

}  // namespace

int main(int argc, char* argv[]) {
    const char* const onDummyServer = std::getenv("KOV_ON_DUMMY_SERVER");
    if (onDummyServer == nullptr || std::string_view(onDummyServer) != "1") {
        setenv("KOV_ON_DUMMY_SERVER", "1", 1);
        std::string self = std::filesystem::read_symlink("/proc/self/exe");
        std::vector<char*> command = {const_cast<char*>(KOV_WITH_XORG_DUMMY), self.data()};
        command.insert(command.end(), argv + 1, argv + argc);
        command.push_back(nullptr);
        execv(command[0], command.data());
        std::perror(KOV_WITH_XORG_DUMMY);
        return 2;
    }
    // A mode for the second output.
    if (std::system("xrandr --newmode kov800 40 800 840 968 1056 600 601 605 628 +hsync +vsync"
                    " && xrandr --addmode DUMMY1 kov800") != 0) {
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
