#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "GammaDevice.h"
#include "LinuxOutputs.h"
#include "UniqueFd.h"
#include "WaylandResources.h"

namespace {

// Version 4 of wl_output tells the output's name, which is its id.
constexpr std::uint32_t kOutputVersion = 4;
// Displays have from 256 to a few thousand levels. An output claiming
// fewer than two (no ramp at all) or more than this cannot be adjusted.
constexpr std::uint32_t kMinLevels = 2;
constexpr std::uint32_t kMaxLevels = 65536;

// A fresh file holding the tables, sealed so that the compositor may map it
// without fearing that it shrinks or changes; holds nothing on failure.
UniqueFd SealedTables(std::span<const RampEntry> table) {
    UniqueFd fd(memfd_create("kov-gamma", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (!fd ||
        pwrite(fd.Get(), table.data(), table.size_bytes(), 0) !=
            static_cast<ssize_t>(table.size_bytes()) ||
        fcntl(fd.Get(), F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) !=
            0) {
        return {};
    }
    return fd;
}

// The outputs of a Wayland compositor through the wlroots gamma control
// protocol, on one connection kept until this is destroyed. Each output the
// compositor announces gets a gamma control; it is listed once the control
// is granted, at the size the compositor gives. A control refused, or of a
// size that cannot be adjusted, is destroyed at once and never listed.
//
// The protocol cannot read an output's table, so every output reads as the
// identity. A written table is sent at the next Flush, unless the output's
// last one is still on its way: then it waits, replaced by any later one,
// until the compositor answers a sync sent after the last, so a dragged
// slider cannot flood the compositor. Controls go on Release or with the
// connection, and the compositor then shows its own tables again.
//
// An output's id is its name where the compositor offers wl_output version 4
// or later, else "WL-OUTPUT-" and its registry name, which is stable while
// the compositor runs.
class WaylandOutputs final : public GammaOutputs {
public:
    WaylandOutputs() = default;
    WaylandOutputs(const WaylandOutputs&) = delete;
    WaylandOutputs& operator=(const WaylandOutputs&) = delete;
    ~WaylandOutputs() override = default;

    // Connects to the compositor $WAYLAND_DISPLAY names and asks for every
    // output's control; false when none answers or it offers no gamma
    // control manager.
    bool Connect() {
        display_.Reset(wl_display_connect(nullptr));
        registry_.Reset(display_ ? wl_display_get_registry(display_.Get()) : nullptr);
        if (!registry_) {
            return false;
        }
        wl_registry_add_listener(registry_.Get(), &kRegistryEvents, this);
        // The first round trip brings the globals; the second each output's
        // name and the answer to each control asked for.
        if (wl_display_roundtrip(display_.Get()) < 0 || !manager_) {
            return false;
        }
        AskForControls();
        const bool answered = wl_display_roundtrip(display_.Get()) >= 0;
        // Sends the destruction of controls given up meanwhile.
        wl_display_flush(display_.Get());
        changed_ = false;
        return answered;
    }

    std::vector<GammaOutput> ActiveOutputs() override {
        std::vector<GammaOutput> active;
        for (const Output& output : outputs_) {
            if (output.control && output.levels > 0) {
                active.push_back({output.id, output.levels});
            }
        }
        return active;
    }

    std::optional<GammaTable> ReadTable(const GammaOutput& output) override {
        if (Find(output) == nullptr) {
            return std::nullopt;
        }
        return IdentityTable(output.levels);
    }

    bool WriteTable(const GammaOutput& output, std::span<const RampEntry> table) override {
        Output* const found = Find(output);
        if (found == nullptr || table.size() != kRampChannels * output.levels) {
            return false;
        }
        found->pending.assign(table.begin(), table.end());
        return true;
    }

    bool Flush() override {
        bool sent = true;
        for (Output& output : outputs_) {
            sent = Send(output) && sent;
        }
        if (Usable() != nullptr) {
            wl_display_flush(display_.Get());
            NoticeLoss();
        }
        return sent && Usable() != nullptr;
    }

    int EventDescriptor() const override {
        return Usable() != nullptr ? wl_display_get_fd(display_.Get()) : -1;
    }

    bool TakeEvents() override {
        wl_display* const display = Usable();
        if (display != nullptr) {
            if (wl_display_prepare_read(display) == 0) {
                wl_display_flush(display);
                pollfd ready{wl_display_get_fd(display), POLLIN, 0};
                if (poll(&ready, 1, 0) > 0) {
                    wl_display_read_events(display);
                } else {
                    wl_display_cancel_read(display);
                }
            }
            wl_display_dispatch_pending(display);
            // Tables that waited for a sync may have been sent meanwhile.
            wl_display_flush(display);
            NoticeLoss();
        }
        return std::exchange(changed_, false);
    }

    bool RestoresOnRelease() const override { return true; }

    // Destroys every control, and the manager so that outputs announced
    // later get none; returns once the compositor has taken that in, and so
    // shows its own tables again.
    void Release() override {
        for (Output& output : outputs_) {
            output.sync.Reset();
            output.control.Reset();
            output.pending.clear();
        }
        manager_.Reset();
        if (Usable() != nullptr) {
            wl_display_roundtrip(display_.Get());
            NoticeLoss();
        }
    }

private:
    struct Output {
        WaylandOutputs* owner = nullptr;
        std::uint32_t name = 0;  // the registry's
        std::string id;
        WaylandOutputHandle output;
        GammaControlHandle control;
        bool askedForControl = false;
        // The size of each table, once the control is granted.
        std::size_t levels = 0;
        // The latest table written that is not sent yet; empty when none.
        GammaTable pending;
        // Answers once the compositor has taken the last table sent.
        WaylandCallbackHandle sync;
    };

    wl_display* Usable() const { return lost_ ? nullptr : display_.Get(); }

    Output* Find(const GammaOutput& output) {
        const auto found = std::ranges::find(outputs_, output.id, &Output::id);
        if (found == outputs_.end() || !found->control || found->levels != output.levels ||
            output.levels == 0) {
            return nullptr;
        }
        return &*found;
    }

    template <typename Proxy>
    Proxy* Bind(std::uint32_t name, const wl_interface& interface, std::uint32_t version) {
        return static_cast<Proxy*>(wl_registry_bind(registry_.Get(), name, &interface, version));
    }

    void Announced(std::uint32_t name, std::string_view interface, std::uint32_t version) {
        if (interface == wl_output_interface.name) {
            Output& output = outputs_.emplace_back();
            output.owner = this;
            output.name = name;
            output.id = "WL-OUTPUT-" + std::to_string(name);
            output.output.Reset(
                Bind<wl_output>(name, wl_output_interface, std::min(version, kOutputVersion)));
            if (!output.output) {
                outputs_.pop_back();
                return;
            }
            wl_output_add_listener(output.output.Get(), &kOutputEvents, &output);
            AskForControls();
        } else if (interface == zwlr_gamma_control_manager_v1_interface.name && !manager_) {
            manager_.Reset(Bind<zwlr_gamma_control_manager_v1>(
                name, zwlr_gamma_control_manager_v1_interface, 1));
        }
    }

    void Withdrawn(std::uint32_t name) {
        if (std::erase_if(outputs_, [name](const Output& output) { return output.name == name; })) {
            changed_ = true;
        }
    }

    void AskForControls() {
        for (Output& output : outputs_) {
            if (manager_ && !output.askedForControl) {
                output.askedForControl = true;
                output.control.Reset(zwlr_gamma_control_manager_v1_get_gamma_control(
                    manager_.Get(), output.output.Get()));
                if (output.control) {
                    zwlr_gamma_control_v1_add_listener(output.control.Get(), &kControlEvents,
                                                       &output);
                }
            }
        }
    }

    // Sends the output's waiting table, unless the last one is on its way;
    // false when it could not be sent.
    bool Send(Output& output) {
        if (output.pending.empty() || output.sync || !output.control || Usable() == nullptr) {
            return true;
        }
        const UniqueFd tables = SealedTables(std::exchange(output.pending, {}));
        if (!tables) {
            return false;
        }
        zwlr_gamma_control_v1_set_gamma(output.control.Get(), tables.Get());
        output.sync.Reset(wl_display_sync(display_.Get()));
        if (output.sync) {
            wl_callback_add_listener(output.sync.Get(), &kSyncEvents, &output);
        }
        return true;
    }

    // Gives up an output's control, refused or of no use, so that other
    // programs may take it: the output is not listed any more.
    void Drop(Output& output) {
        output.levels = 0;
        output.pending.clear();
        output.control.Reset();
        changed_ = true;
    }

    // A connection in error is lost for good: nothing is listed or watched
    // any more, which the next TakeEvents reports.
    void NoticeLoss() {
        if (!lost_ && wl_display_get_error(display_.Get()) != 0) {
            lost_ = true;
            changed_ = true;
            outputs_.clear();
            manager_.Reset();
            registry_.Reset();
        }
    }

    static const wl_registry_listener kRegistryEvents;
    static const wl_output_listener kOutputEvents;
    static const zwlr_gamma_control_v1_listener kControlEvents;
    static const wl_callback_listener kSyncEvents;

    WaylandDisplayHandle display_;
    WaylandRegistryHandle registry_;
    GammaControlManagerHandle manager_;
    // A list, since each output's address is its listeners' data.
    std::list<Output> outputs_;
    bool changed_ = false;
    bool lost_ = false;
};

const wl_registry_listener WaylandOutputs::kRegistryEvents = {
    .global =
        [](void* data, wl_registry* /*registry*/, std::uint32_t name, const char* interface,
           std::uint32_t version) {
            static_cast<WaylandOutputs*>(data)->Announced(name, interface, version);
        },
    .global_remove =
        [](void* data, wl_registry* /*registry*/, std::uint32_t name) {
            static_cast<WaylandOutputs*>(data)->Withdrawn(name);
        },
};

const wl_output_listener WaylandOutputs::kOutputEvents = {
    .geometry = [](void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                   std::int32_t, const char*, const char*, std::int32_t) {},
    .mode = [](void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {},
    .done = [](void*, wl_output*) {},
    .scale = [](void*, wl_output*, std::int32_t) {},
    .name = [](void* data, wl_output* /*output*/,
               const char* name) { static_cast<Output*>(data)->id = name; },
    .description = [](void*, wl_output*, const char*) {},
};

const zwlr_gamma_control_v1_listener WaylandOutputs::kControlEvents = {
    .gamma_size =
        [](void* data, zwlr_gamma_control_v1* /*control*/, std::uint32_t size) {
            auto* const output = static_cast<Output*>(data);
            if (size < kMinLevels || size > kMaxLevels) {
                output->owner->Drop(*output);
                return;
            }
            output->levels = size;
            output->owner->changed_ = true;
        },
    .failed =
        [](void* data, zwlr_gamma_control_v1* /*control*/) {
            auto* const output = static_cast<Output*>(data);
            output->owner->Drop(*output);
        },
};

const wl_callback_listener WaylandOutputs::kSyncEvents = {
    .done =
        [](void* data, wl_callback* /*callback*/, std::uint32_t /*serial*/) {
            auto* const output = static_cast<Output*>(data);
            output->sync.Reset();
            output->owner->Send(*output);
        },
};

}  // namespace

std::unique_ptr<GammaOutputs> MakeWaylandGammaOutputs() {
    const char* const socket = std::getenv("WAYLAND_DISPLAY");
    if (socket == nullptr || *socket == '\0') {
        return nullptr;
    }
    auto outputs = std::make_unique<WaylandOutputs>();
    if (!outputs->Connect()) {
        return nullptr;
    }
    return outputs;
}
