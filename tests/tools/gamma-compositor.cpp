// gamma-compositor SOCKET NAME SIZE [NAME SIZE]...
//
// A screenless Wayland compositor for the end-to-end tests: a wl_output per
// NAME and the wlroots gamma control manager on SOCKET; SIZE 0 makes the
// output's control fail, and so does one already held. It prints a line per
// event: added NAME SIZE, removed NAME, ready, disconnected, control NAME SIZE,
// failed NAME, gamma NAME SIZE ENTRIES..., invalid NAME (tables of the wrong
// length or unsealed) and destroyed NAME (the compositor's own tables are
// back). Standard input takes the lines "add NAME SIZE" and "remove NAME".
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wayland-server.h>

#include <cstdint>
#include <cstdio>
#include <list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "UniqueFd.h"
#include "wlr-gamma-control-server-protocol.h"

namespace {

constexpr std::uint32_t kMaxGammaSize = 65536;
constexpr int kSeals = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL;

struct Output {
    std::string name;
    std::uint32_t gammaSize = 0;
    wl_global* global = nullptr;
    wl_resource* control = nullptr;  // the live gamma control, if any
};

wl_display* display = nullptr;
std::list<Output> outputs;  // never shrinks: bound wl_outputs point here
std::string input;          // standard input's unfinished line

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

wl_resource* CreateResource(wl_client* client, const wl_interface* interface, std::uint32_t version,
                            std::uint32_t id, const void* requests, void* data,
                            wl_resource_destroy_func_t destroyed = nullptr) {
    wl_resource* resource = wl_resource_create(client, interface, static_cast<int>(version), id);
    if (resource == nullptr) {
        wl_client_post_no_memory(client);
    } else {
        wl_resource_set_implementation(resource, requests, data, destroyed);
    }
    return resource;
}

// A control keeps its output as user data while it is live, nullptr after.
void SetGamma(wl_client*, wl_resource* control, int fd) {
    const UniqueFd file(fd);
    const auto* output = static_cast<Output*>(wl_resource_get_user_data(control));
    if (output == nullptr) {
        return;
    }
    std::vector<std::uint16_t> tables(std::size_t{3} * output->gammaSize);
    const auto bytes = static_cast<ssize_t>(tables.size() * sizeof tables[0]);
    struct stat status {};
    if (fstat(fd, &status) != 0 || status.st_size != bytes ||
        (fcntl(fd, F_GET_SEALS) & kSeals) != kSeals ||
        pread(fd, tables.data(), tables.size() * sizeof tables[0], 0) != bytes) {
        Say("invalid " + output->name);
        wl_resource_post_error(control, ZWLR_GAMMA_CONTROL_V1_ERROR_INVALID_GAMMA, "bad tables");
        return;
    }
    std::string line = "gamma " + output->name + " " + std::to_string(output->gammaSize);
    for (const std::uint16_t entry : tables) {
        line += " " + std::to_string(entry);
    }
    Say(line);
}

void DestroyResource(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}

const struct zwlr_gamma_control_v1_interface kControlRequests = {SetGamma, DestroyResource};

void ControlGone(wl_resource* control) {
    if (auto* output = static_cast<Output*>(wl_resource_get_user_data(control))) {
        output->control = nullptr;
        Say("destroyed " + output->name);
    }
}

void FailControl(wl_resource* control, const std::string& name) {
    wl_resource_set_user_data(control, nullptr);
    zwlr_gamma_control_v1_send_failed(control);
    Say("failed " + name);
}

void GetGammaControl(wl_client* client, wl_resource* manager, std::uint32_t id,
                     wl_resource* outputResource) {
    auto* output = static_cast<Output*>(wl_resource_get_user_data(outputResource));
    wl_resource* control =
        CreateResource(client, &zwlr_gamma_control_v1_interface, wl_resource_get_version(manager),
                       id, &kControlRequests, output, ControlGone);
    if (control == nullptr) {
        return;
    }
    if (output->global == nullptr || output->gammaSize == 0 || output->control != nullptr) {
        FailControl(control, output->name);
        return;
    }
    output->control = control;
    zwlr_gamma_control_v1_send_gamma_size(control, output->gammaSize);
    Say("control " + output->name + " " + std::to_string(output->gammaSize));
}

const struct zwlr_gamma_control_manager_v1_interface kManagerRequests = {GetGammaControl,
                                                                         DestroyResource};
const struct wl_output_interface kOutputRequests = {DestroyResource};

void BindManager(wl_client* client, void*, std::uint32_t version, std::uint32_t id) {
    CreateResource(client, &zwlr_gamma_control_manager_v1_interface, version, id, &kManagerRequests,
                   nullptr);
}

void BindOutput(wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
    auto* output = static_cast<Output*>(data);
    wl_resource* resource =
        CreateResource(client, &wl_output_interface, version, id, &kOutputRequests, output);
    if (resource != nullptr && version >= WL_OUTPUT_NAME_SINCE_VERSION) {
        wl_output_send_name(resource, output->name.c_str());
        wl_output_send_done(resource);
    }
}

void RunCommand(const std::string& line) {
    std::istringstream words(line);
    std::string verb, name, rest;
    std::uint32_t size = 0;
    words >> verb >> name;
    if (verb == "add" && words >> size && size <= kMaxGammaSize && !(words >> rest)) {
        Output& output = outputs.emplace_back(Output{name, size});
        output.global = wl_global_create(display, &wl_output_interface, 4, &output, BindOutput);
        Say("added " + name + " " + std::to_string(size));
        return;
    }
    for (Output& output : outputs) {
        if (verb == "remove" && output.name == name && output.global != nullptr) {
            wl_global_remove(std::exchange(output.global, nullptr));
            if (output.control != nullptr) {
                FailControl(std::exchange(output.control, nullptr), name);
            }
            Say("removed " + name);
            return;
        }
    }
    std::fprintf(stderr, "gamma-compositor: not a command: %s\n", line.c_str());
}

// One byte at a time, so that no line waits in a buffer the loop cannot see.
int ReadCommand(int fd, std::uint32_t, void* source) {
    char next = 0;
    if (read(fd, &next, 1) != 1) {
        wl_event_source_remove(*static_cast<wl_event_source**>(source));
    } else if (next != '\n') {
        input += next;
    } else {
        RunCommand(std::exchange(input, {}));
    }
    return 0;
}

void ClientGone(wl_listener* listener, void*) {
    delete listener;
    Say("disconnected");
}

void ClientCame(wl_listener*, void* client) {
    wl_client_add_destroy_listener(static_cast<wl_client*>(client),
                                   new wl_listener{{}, ClientGone});
}

}  // namespace

int main(int argc, char* argv[]) {
    display = wl_display_create();
    if (argc < 4 || argc % 2 != 0 || wl_display_add_socket(display, argv[1]) != 0) {
        std::fprintf(stderr, "usage: gamma-compositor SOCKET NAME SIZE [NAME SIZE]...\n");
        return 2;
    }
    for (int i = 2; i < argc; i += 2) {
        RunCommand(std::string("add ") + argv[i] + " " + argv[i + 1]);
    }
    wl_global_create(display, &zwlr_gamma_control_manager_v1_interface, 1, nullptr, BindManager);
    wl_listener clientCame{{}, ClientCame};
    wl_display_add_client_created_listener(display, &clientCame);
    wl_event_source* commands = nullptr;
    commands = wl_event_loop_add_fd(wl_display_get_event_loop(display), STDIN_FILENO,
                                    WL_EVENT_READABLE, ReadCommand, &commands);
    Say("ready");
    wl_display_run(display);
}
