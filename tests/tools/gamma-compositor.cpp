// gamma-compositor SOCKET NAME SIZE...: a screenless Wayland compositor with a
// wl_output per NAME (+NAME: added on SIGUSR1) and the wlroots gamma control
// manager, whose controls fail at size 0. It prints a line per event: ready,
// control NAME SIZE, failed NAME, gamma NAME SIZE ENTRIES..., destroyed NAME.
#include <unistd.h>
#include <wayland-server.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <string>
#include <utility>
#include <vector>

#include "UniqueFd.h"
#include "wlr-gamma-control-server-protocol.h"

namespace {

struct Output {
    std::string name;
    std::uint32_t gammaSize = 0;
};

wl_display* display = nullptr;
std::list<Output> outputs;  // never shrinks: bound wl_outputs point here
std::vector<std::pair<std::string, std::uint32_t>> later;  // added on SIGUSR1

wl_resource* CreateResource(wl_client* client, const wl_interface* interface, int version,
                            std::uint32_t id, const void* requests, void* data,
                            wl_resource_destroy_func_t destroyed = nullptr) {
    wl_resource* resource = wl_resource_create(client, interface, version, id);
    if (resource != nullptr) {
        wl_resource_set_implementation(resource, requests, data, destroyed);
    }
    return resource;
}

// A live control has its output as user data, a failed one nullptr.
void SetGamma(wl_client*, wl_resource* control, int fd) {
    const UniqueFd file(fd);
    const auto* output = static_cast<Output*>(wl_resource_get_user_data(control));
    if (output == nullptr) {
        return;
    }
    // One entry more than the tables, to see a file that is too long.
    std::vector<std::uint16_t> tables(std::size_t{3} * output->gammaSize + 1);
    const auto bytes = static_cast<ssize_t>(sizeof tables[0] * (tables.size() - 1));
    if (read(fd, tables.data(), sizeof tables[0] * tables.size()) != bytes) {
        wl_resource_post_error(control, ZWLR_GAMMA_CONTROL_V1_ERROR_INVALID_GAMMA, "bad tables");
        return;
    }
    tables.pop_back();
    std::printf("gamma %s %u", output->name.c_str(), output->gammaSize);
    for (const std::uint16_t entry : tables) {
        std::printf(" %u", entry);
    }
    std::printf("\n");
}

void DestroyResource(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}

const struct zwlr_gamma_control_v1_interface kControlRequests = {SetGamma, DestroyResource};

void ControlGone(wl_resource* control) {
    if (auto* output = static_cast<Output*>(wl_resource_get_user_data(control))) {
        std::printf("destroyed %s\n", output->name.c_str());
    }
}

void GetGammaControl(wl_client* client, wl_resource* manager, std::uint32_t id,
                     wl_resource* outputResource) {
    auto* output = static_cast<Output*>(wl_resource_get_user_data(outputResource));
    wl_resource* control =
        CreateResource(client, &zwlr_gamma_control_v1_interface, wl_resource_get_version(manager),
                       id, &kControlRequests, output, ControlGone);
    if (control != nullptr && output->gammaSize == 0) {
        wl_resource_set_user_data(control, nullptr);
        zwlr_gamma_control_v1_send_failed(control);
        std::printf("failed %s\n", output->name.c_str());
    } else if (control != nullptr) {
        zwlr_gamma_control_v1_send_gamma_size(control, output->gammaSize);
        std::printf("control %s %u\n", output->name.c_str(), output->gammaSize);
    }
}

const struct zwlr_gamma_control_manager_v1_interface kManagerRequests = {GetGammaControl,
                                                                         DestroyResource};
const struct wl_output_interface kOutputRequests = {DestroyResource};

void BindManager(wl_client* client, void*, std::uint32_t version, std::uint32_t id) {
    CreateResource(client, &zwlr_gamma_control_manager_v1_interface, static_cast<int>(version), id,
                   &kManagerRequests, nullptr);
}

void BindOutput(wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
    auto* output = static_cast<Output*>(data);
    wl_resource* resource = CreateResource(client, &wl_output_interface, static_cast<int>(version),
                                           id, &kOutputRequests, output);
    if (resource != nullptr && version >= WL_OUTPUT_NAME_SINCE_VERSION) {
        wl_output_send_name(resource, output->name.c_str());
        wl_output_send_done(resource);
    }
}

void AddOutput(const std::string& name, std::uint32_t size) {
    Output& output = outputs.emplace_back(Output{name, size});
    wl_global_create(display, &wl_output_interface, 4, &output, BindOutput);
}

int AddLater(int, void*) {
    for (const auto& [name, size] : std::exchange(later, {})) {
        AddOutput(name, size);
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    display = wl_display_create();
    if (argc < 4 || argc % 2 != 0 || wl_display_add_socket(display, argv[1]) != 0) {
        std::fprintf(stderr, "usage: gamma-compositor SOCKET NAME SIZE [NAME SIZE]...\n");
        return 2;
    }
    for (int i = 2; i < argc; i += 2) {
        const auto size = static_cast<std::uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        if (argv[i][0] == '+') {
            later.emplace_back(argv[i] + 1, size);
        } else {
            AddOutput(argv[i], size);
        }
    }
    wl_global_create(display, &zwlr_gamma_control_manager_v1_interface, 1, nullptr, BindManager);
    wl_event_loop_add_signal(wl_display_get_event_loop(display), SIGUSR1, AddLater, nullptr);
    std::printf("ready\n");
    wl_display_run(display);
}
