// gamma-compositor SOCKET NAME SIZE [NAME SIZE]...
//
// A screenless Wayland compositor for the end-to-end tests: a wl_output per
// NAME and the wlroots gamma control manager on SOCKET in $XDG_RUNTIME_DIR.
// One client at a time holds an output; an output of SIZE 0 has no gamma.
// It prints a line per event: added NAME SIZE, removed NAME, ready,
// connected, disconnected, control NAME SIZE (a client holds NAME), failed
// NAME (a control refused or lost), gamma NAME SIZE R.. G.. B.. (tables set),
// invalid NAME (tables of the wrong length), destroyed NAME (the holder let
// go: a compositor puts its own tables back). Standard input takes the lines
// "add NAME SIZE" and "remove NAME". SIGTERM or SIGINT ends it.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wayland-server.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <list>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "UniqueFd.h"
#include "wlr-gamma-control-server-protocol.h"

namespace {

constexpr std::uint32_t kMaxGammaSize = 65536;

struct Output {
    std::string name;
    std::uint32_t gammaSize = 0;
    wl_global* global = nullptr;
    wl_resource* control = nullptr;  // the live gamma control, if any
    bool removed = false;
};

wl_display* display = nullptr;
std::list<Output> outputs;  // never shrinks: bound wl_outputs point here
std::string pendingInput;
wl_event_source* commands = nullptr;  // standard input, until it ends

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::optional<std::uint32_t> ParseSize(const std::string& text) {
    std::uint32_t size = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, size);
    if (error != std::errc() || stop != end || size > kMaxGammaSize) {
        return std::nullopt;
    }
    return size;
}

// A new resource for the client that answers with requests, or nullptr when
// memory ran out.
wl_resource* CreateResource(wl_client* client, const wl_interface* interface, int version,
                            std::uint32_t id, const void* requests, void* data,
                            wl_resource_destroy_func_t destroyed = nullptr) {
    wl_resource* resource = wl_resource_create(client, interface, version, id);
    if (resource == nullptr) {
        wl_client_post_no_memory(client);
    } else {
        wl_resource_set_implementation(resource, requests, data, destroyed);
    }
    return resource;
}

void ReportTables(wl_resource* control, const Output& output, int fd) {
    const std::size_t bytes = std::size_t{3} * output.gammaSize * sizeof(std::uint16_t);
    std::vector<std::uint16_t> tables(std::size_t{3} * output.gammaSize);
    struct stat status {};
    if (fstat(fd, &status) != 0 || static_cast<std::size_t>(status.st_size) != bytes ||
        pread(fd, tables.data(), bytes, 0) != static_cast<ssize_t>(bytes)) {
        Say("invalid " + output.name);
        wl_resource_post_error(control, ZWLR_GAMMA_CONTROL_V1_ERROR_INVALID_GAMMA,
                               "the tables are not 3 x %u 16-bit entries", output.gammaSize);
        return;
    }
    std::string line = "gamma " + output.name + " " + std::to_string(output.gammaSize);
    for (const std::uint16_t entry : tables) {
        line += " " + std::to_string(entry);
    }
    Say(line);
}

void SetGamma(wl_client*, wl_resource* control, int fd) {
    const UniqueFd tables(fd);
    // A control that failed is inert: the client has not seen failed yet.
    if (auto* output = static_cast<Output*>(wl_resource_get_user_data(control))) {
        ReportTables(control, *output, tables.Get());
    }
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

// A control keeps its output as user data while it is live, nullptr after.
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
    if (output->removed || output->gammaSize == 0 || output->control != nullptr) {
        FailControl(control, output->name);
        return;
    }
    output->control = control;
    zwlr_gamma_control_v1_send_gamma_size(control, output->gammaSize);
    Say("control " + output->name + " " + std::to_string(output->gammaSize));
}

const struct zwlr_gamma_control_manager_v1_interface kManagerRequests = {GetGammaControl,
                                                                         DestroyResource};

void BindManager(wl_client* client, void*, std::uint32_t version, std::uint32_t id) {
    CreateResource(client, &zwlr_gamma_control_manager_v1_interface, static_cast<int>(version), id,
                   &kManagerRequests, nullptr);
}

const struct wl_output_interface kOutputRequests = {DestroyResource};

void BindOutput(wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
    auto* output = static_cast<Output*>(data);
    wl_resource* resource = CreateResource(client, &wl_output_interface, static_cast<int>(version),
                                           id, &kOutputRequests, output);
    if (resource == nullptr) {
        return;
    }
    wl_output_send_geometry(resource, 0, 0, 300, 200, WL_OUTPUT_SUBPIXEL_UNKNOWN, "test", "gamma",
                            WL_OUTPUT_TRANSFORM_NORMAL);
    wl_output_send_mode(resource, WL_OUTPUT_MODE_CURRENT, 1024, 768, 60000);
    if (version >= WL_OUTPUT_NAME_SINCE_VERSION) {
        wl_output_send_name(resource, output->name.c_str());
    }
    if (version >= WL_OUTPUT_DONE_SINCE_VERSION) {
        wl_output_send_done(resource);
    }
}

void AddOutput(const std::string& name, std::uint32_t gammaSize) {
    Output& output = outputs.emplace_back(Output{name, gammaSize});
    output.global = wl_global_create(display, &wl_output_interface, 4, &output, BindOutput);
    Say("added " + name + " " + std::to_string(gammaSize));
}

void RemoveOutput(const std::string& name) {
    for (Output& output : outputs) {
        if (output.name == name && !output.removed) {
            output.removed = true;
            wl_global_remove(output.global);
            if (output.control != nullptr) {
                FailControl(std::exchange(output.control, nullptr), name);
            }
            Say("removed " + name);
            return;
        }
    }
    std::fprintf(stderr, "gamma-compositor: no output %s\n", name.c_str());
}

void RunCommand(const std::string& line) {
    std::istringstream words(line);
    std::string verb, name, size, rest;
    words >> verb >> name >> size >> rest;
    const auto gammaSize = ParseSize(size);
    if (verb == "add" && !name.empty() && gammaSize && rest.empty()) {
        AddOutput(name, *gammaSize);
    } else if (verb == "remove" && !name.empty() && size.empty()) {
        RemoveOutput(name);
    } else if (!verb.empty()) {
        std::fprintf(stderr, "gamma-compositor: not a command: %s\n", line.c_str());
    }
}

int ReadCommands(int fd, std::uint32_t, void*) {
    char buffer[4096];
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count <= 0) {
        wl_event_source_remove(std::exchange(commands, nullptr));
        return 0;
    }
    pendingInput.append(buffer, static_cast<std::size_t>(count));
    for (std::size_t end; (end = pendingInput.find('\n')) != std::string::npos;) {
        RunCommand(pendingInput.substr(0, end));
        pendingInput.erase(0, end + 1);
    }
    return 0;
}

void ClientGone(wl_listener* listener, void*) {
    delete listener;
    Say("disconnected");
}

void ClientCame(wl_listener*, void* data) {
    auto* gone = new wl_listener{{}, ClientGone};
    wl_client_add_destroy_listener(static_cast<wl_client*>(data), gone);
    Say("connected");
}

int Terminate(int, void*) {
    wl_display_terminate(display);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: gamma-compositor SOCKET NAME SIZE [NAME SIZE]...\n");
        return 2;
    }
    display = wl_display_create();
    if (wl_display_add_socket(display, argv[1]) != 0) {
        std::fprintf(stderr, "gamma-compositor: cannot listen on %s: %s\n", argv[1],
                     std::strerror(errno));
        return 1;
    }
    for (int i = 2; i < argc; i += 2) {
        RunCommand(std::string("add ") + argv[i] + " " + argv[i + 1]);
    }
    wl_global_create(display, &zwlr_gamma_control_manager_v1_interface, 1, nullptr, BindManager);
    wl_listener clientCame{{}, ClientCame};
    wl_display_add_client_created_listener(display, &clientCame);

    wl_event_loop* loop = wl_display_get_event_loop(display);
    commands = wl_event_loop_add_fd(loop, STDIN_FILENO, WL_EVENT_READABLE, ReadCommands, nullptr);
    wl_event_source* terminate = wl_event_loop_add_signal(loop, SIGTERM, Terminate, nullptr);
    wl_event_source* interrupt = wl_event_loop_add_signal(loop, SIGINT, Terminate, nullptr);
    Say("ready");
    wl_display_run(display);
    // The event loop frees no source still registered.
    for (wl_event_source* source : {commands, terminate, interrupt}) {
        if (source != nullptr) {
            wl_event_source_remove(source);
        }
    }
    wl_display_destroy_clients(display);
    wl_display_destroy(display);
    return 0;
}
