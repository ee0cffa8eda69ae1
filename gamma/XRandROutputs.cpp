#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "LinuxOutputs.h"
#include "X11Resources.h"

namespace {

// Whether a reply holds every list its counts promise: XCB reads a reply's
// lists by the counts the server states, whatever length it sent, which is
// 32 bytes and `length` words more.
template <typename Reply>
bool Whole(const Reply* reply, int (*size)(const void*)) {
    return static_cast<std::uint64_t>(size(reply)) <= 32 + 4ULL * reply->length;
}

xcb_window_t RootOf(xcb_connection_t* connection, int screen) {
    for (auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection)); roots.rem > 0;
         xcb_screen_next(&roots), --screen) {
        if (screen == 0) {
            return roots.data->root;
        }
    }
    return XCB_NONE;
}

// One listed output and the CRTC that drives it.
struct ListedCrtc {
    std::string id;
    xcb_randr_crtc_t crtc;
};

// The CRTC gamma of the outputs of $DISPLAY's screen through RandR 1.3 or
// later, over one XCB connection that the first ActiveOutputs() opens and
// that serves every call until this is destroyed; RandR's change events
// arrive on it. Each request's error comes back with its own reply or
// check, and a lost connection shows in the connection alone, so nothing
// here reaches beyond it. Outputs that share a CRTC (a cloned picture) are
// listed once. XWayland's outputs (XWAYLAND0, ...) are reported as showing
// no table: XWayland takes every table and shows none of them.
class XRandROutputs final : public GammaOutputs {
public:
    std::vector<GammaOutput> ActiveOutputs() override {
        crtcs_.clear();
        xcb_connection_t* const connection = Connected();
        if (connection == nullptr) {
            return {};
        }
        std::vector<GammaOutput> active;
        for (const auto& info : OutputInfos(connection)) {
            if (!info || info->crtc == XCB_NONE || Listed(info->crtc)) {
                continue;
            }
            const auto size = TakeReply(xcb_randr_get_crtc_gamma_size_reply, connection,
                                        xcb_randr_get_crtc_gamma_size(connection, info->crtc));
            if (size && size->size > 0) {
                const auto* const name =
                    reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info.Get()));
                std::string id(name, xcb_randr_get_output_info_name_length(info.Get()));
                active.push_back({id, size->size, !id.starts_with("XWAYLAND")});
                RememberDriver(id, info->crtc);
                crtcs_.push_back({std::move(id), info->crtc});
            }
        }
        return active;
    }

    std::optional<GammaTable> ReadTable(const GammaOutput& output) override {
        xcb_connection_t* const connection = Usable();
        const xcb_randr_crtc_t crtc = CrtcOf(output.id);
        if (connection == nullptr || crtc == XCB_NONE) {
            return std::nullopt;
        }
        const auto gamma = TakeReply(xcb_randr_get_crtc_gamma_reply, connection,
                                     xcb_randr_get_crtc_gamma(connection, crtc));
        if (!gamma || gamma->size != output.levels ||
            !Whole(gamma.Get(), &xcb_randr_get_crtc_gamma_sizeof)) {
            return std::nullopt;
        }
        GammaTable table;
        table.reserve(kRampChannels * output.levels);
        for (const std::uint16_t* channel : {xcb_randr_get_crtc_gamma_red(gamma.Get()),
                                             xcb_randr_get_crtc_gamma_green(gamma.Get()),
                                             xcb_randr_get_crtc_gamma_blue(gamma.Get())}) {
            table.insert(table.end(), channel, channel + output.levels);
        }
        return table;
    }

    bool WriteTable(const GammaOutput& output, std::span<const RampEntry> table) override {
        xcb_connection_t* const connection = Usable();
        const xcb_randr_crtc_t crtc = CrtcOf(output.id);
        if (connection == nullptr || crtc == XCB_NONE ||
            output.levels > std::numeric_limits<std::uint16_t>::max() ||
            table.size() != kRampChannels * output.levels) {
            return false;
        }
        const RampEntry* const red = table.data();
        const RampEntry* const green = red + output.levels;
        pending_.push_back(xcb_randr_set_crtc_gamma_checked(
            connection, crtc, static_cast<std::uint16_t>(output.levels), red, green,
            green + output.levels));
        return true;
    }

    // X keeps a CRTC's table while it drives nothing, and an output switched
    // on again is normally given the CRTC it had. The set is checked at once.
    bool WriteTableWhileOff(const GammaOutput& output, std::span<const RampEntry> table) override {
        xcb_connection_t* const connection = Usable();
        const auto driver = std::ranges::find(drivers_, output.id, &ListedCrtc::id);
        if (connection == nullptr || driver == drivers_.end() || Listed(driver->crtc) ||
            output.levels > std::numeric_limits<std::uint16_t>::max() ||
            table.size() != kRampChannels * output.levels) {
            return false;
        }
        const auto size = TakeReply(xcb_randr_get_crtc_gamma_size_reply, connection,
                                    xcb_randr_get_crtc_gamma_size(connection, driver->crtc));
        if (!size || size->size != output.levels) {
            return false;
        }
        const RampEntry* const red = table.data();
        const RampEntry* const green = red + output.levels;
        return Accepted(connection,
                        xcb_randr_set_crtc_gamma_checked(connection, driver->crtc,
                                                         static_cast<std::uint16_t>(output.levels),
                                                         red, green, green + output.levels));
    }

    // Checking the writes in order waits for the server once: the first
    // check asks it for a reply sent after every write.
    bool Flush() override {
        const std::vector<xcb_void_cookie_t> pending = std::exchange(pending_, {});
        xcb_connection_t* const connection = Usable();
        bool accepted = connection != nullptr;
        for (const xcb_void_cookie_t cookie : pending) {
            accepted = connection != nullptr && Accepted(connection, cookie) && accepted;
        }
        return accepted;
    }

    int EventDescriptor() const override {
        xcb_connection_t* const connection = Usable();
        return connection != nullptr ? xcb_get_file_descriptor(connection) : -1;
    }

    bool TakeEvents() override {
        xcb_connection_t* const connection = Usable();
        if (connection == nullptr) {
            return false;
        }
        bool changed = false;
        while (const XcbReplyHandle<xcb_generic_event_t> event{xcb_poll_for_event(connection)}) {
            const int type = event->response_type & ~0x80;
            changed = changed || type == eventBase_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                      type == eventBase_ + XCB_RANDR_NOTIFY;
        }
        return changed;
    }

private:
    // The connection when it is up; nullptr before it opens and once lost.
    xcb_connection_t* Usable() const {
        xcb_connection_t* const connection = connection_.Get();
        return connection != nullptr && xcb_connection_has_error(connection) == 0 ? connection
                                                                                  : nullptr;
    }

    // Opens the connection the first time (and again while no server could
    // be reached or it lacked RandR 1.3), with RandR's change events
    // selected on the root window.
    xcb_connection_t* Connected() {
        if (!connection_) {
            int screen = 0;
            XcbConnectionHandle opened(xcb_connect(nullptr, &screen));
            if (Prepare(opened.Get(), screen)) {
                connection_ = std::move(opened);
            }
        }
        return Usable();
    }

    bool Prepare(xcb_connection_t* connection, int screen) {
        if (xcb_connection_has_error(connection) != 0) {
            return false;
        }
        const xcb_query_extension_reply_t* const randr =
            xcb_get_extension_data(connection, &xcb_randr_id);
        if (randr == nullptr || randr->present == 0) {
            return false;
        }
        const auto version = TakeReply(
            xcb_randr_query_version_reply, connection,
            xcb_randr_query_version(connection, XCB_RANDR_MAJOR_VERSION, XCB_RANDR_MINOR_VERSION));
        root_ = RootOf(connection, screen);
        if (!version || (version->major_version == 1 && version->minor_version < 3) ||
            version->major_version < 1 || root_ == XCB_NONE) {
            return false;
        }
        eventBase_ = randr->first_event;
        return Accepted(connection,
                        xcb_randr_select_input_checked(connection, root_,
                                                       XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE |
                                                           XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                                                           XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE));
    }

    // The information of every output of the screen, the primary first; an
    // output that could not be read has none. The requests go out together
    // and their replies are taken after.
    std::vector<XcbReplyHandle<xcb_randr_get_output_info_reply_t>> OutputInfos(
        xcb_connection_t* connection) const {
        const auto primaryAsked = xcb_randr_get_output_primary(connection, root_);
        const auto resources = TakeReply(xcb_randr_get_screen_resources_current_reply, connection,
                                         xcb_randr_get_screen_resources_current(connection, root_));
        const auto primary =
            TakeReply(xcb_randr_get_output_primary_reply, connection, primaryAsked);
        if (!resources || !Whole(resources.Get(), &xcb_randr_get_screen_resources_current_sizeof)) {
            return {};
        }
        const xcb_randr_output_t* const listed =
            xcb_randr_get_screen_resources_current_outputs(resources.Get());
        std::vector<xcb_randr_output_t> outputs(
            listed,
            listed + xcb_randr_get_screen_resources_current_outputs_length(resources.Get()));
        const xcb_randr_output_t first = primary ? primary->output : XCB_NONE;
        std::ranges::stable_partition(
            outputs, [first](xcb_randr_output_t output) { return output == first; });
        std::vector<xcb_randr_get_output_info_cookie_t> asked;
        for (const xcb_randr_output_t output : outputs) {
            asked.push_back(
                xcb_randr_get_output_info(connection, output, resources->config_timestamp));
        }
        std::vector<XcbReplyHandle<xcb_randr_get_output_info_reply_t>> infos;
        for (const auto cookie : asked) {
            auto info = TakeReply(xcb_randr_get_output_info_reply, connection, cookie);
            if (info && !Whole(info.Get(), &xcb_randr_get_output_info_sizeof)) {
                info.Reset();
            }
            infos.push_back(std::move(info));
        }
        return infos;
    }

    void RememberDriver(const std::string& id, xcb_randr_crtc_t crtc) {
        const auto known = std::ranges::find(drivers_, id, &ListedCrtc::id);
        if (known != drivers_.end()) {
            known->crtc = crtc;
        } else {
            drivers_.push_back({id, crtc});
        }
    }

    bool Listed(xcb_randr_crtc_t crtc) const {
        return std::ranges::find(crtcs_, crtc, &ListedCrtc::crtc) != crtcs_.end();
    }

    xcb_randr_crtc_t CrtcOf(const std::string& id) const {
        const auto found = std::ranges::find(crtcs_, id, &ListedCrtc::id);
        return found != crtcs_.end() ? found->crtc : XCB_NONE;
    }

    XcbConnectionHandle connection_;
    xcb_window_t root_ = XCB_NONE;
    std::uint8_t eventBase_ = 0;
    // Each listed output's CRTC, from the last ActiveOutputs().
    std::vector<ListedCrtc> crtcs_;
    // The CRTC that last drove each output ever listed.
    std::vector<ListedCrtc> drivers_;
    // The writes since the last Flush(), to check there.
    std::vector<xcb_void_cookie_t> pending_;
};

}  // namespace

std::unique_ptr<GammaOutputs> MakeXRandRGammaOutputs() {
    return std::make_unique<XRandROutputs>();
}
