#include "RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

std::filesystem::path RuntimeFolderPath(const std::optional<std::filesystem::path>& runtimeRoot,
                                        const std::filesystem::path& tempFolder, uid_t user) {
    if (runtimeRoot) {
        return *runtimeRoot / "kov-display";
    }
    return tempFolder / ("kov-display-" + std::to_string(user));
}

std::optional<std::filesystem::path> PrivateFolder(const std::filesystem::path& folder,
                                                   uid_t user) {
    ::mkdir(folder.c_str(), S_IRWXU);
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != user || (status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return std::nullopt;
    }
    return folder;
}

namespace {

std::optional<std::filesystem::path> RuntimeRoot() {
    const char* root = std::getenv("XDG_RUNTIME_DIR");
    return root == nullptr || *root == '\0' ? std::nullopt
                                            : std::optional<std::filesystem::path>(root);
}

std::string_view Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? "" : value;
}

std::string FileNamePart(std::string_view text) {
    std::string name;
    for (const char c : text) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        name += kept ? c : '_';
    }
    return name;
}

}  // namespace

std::optional<std::filesystem::path> CurrentRuntimeFolder() {
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    return PrivateFolder(RuntimeFolderPath(RuntimeRoot(), error ? "/tmp" : temp, ::getuid()),
                         ::getuid());
}

std::optional<std::filesystem::path> CurrentDisplayFile(std::string_view kind,
                                                        std::string_view extension) {
    const auto folder = CurrentRuntimeFolder();
    if (!folder) {
        return std::nullopt;
    }
    std::string name(kind);
    name += '-';
    name += ServerFileName(Environment("WAYLAND_DISPLAY"), Environment("DISPLAY"), RuntimeRoot());
    name += extension;
    return *folder / name;
}

// A socket in the runtime folder is named by its name alone, however given.
std::string ServerFileName(std::string_view waylandDisplay, std::string_view display,
                           const std::optional<std::filesystem::path>& runtimeRoot) {
    if (waylandDisplay.empty()) {
        return DisplayFileName(display);
    }
    std::filesystem::path socket(waylandDisplay);
    if (runtimeRoot && socket.is_absolute() &&
        socket.lexically_normal().parent_path() == runtimeRoot->lexically_normal()) {
        socket = socket.filename();
    }
    return "wl-" + FileNamePart(socket.native());
}

std::string DisplayFileName(std::string_view display) {
    for (const std::string_view localHost : {"unix/", "unix"}) {
        if (display.starts_with(localHost) && display.substr(localHost.size()).starts_with(':')) {
            display.remove_prefix(localHost.size());
        }
    }
    const std::size_t colon = display.rfind(':');
    const std::size_t dot = display.find('.', colon == std::string_view::npos ? 0 : colon);
    if (colon != std::string_view::npos && dot != std::string_view::npos) {
        display = display.substr(0, dot);
    }
    const std::string name = FileNamePart(display);
    return name.empty() ? std::string("none") : name;
}
