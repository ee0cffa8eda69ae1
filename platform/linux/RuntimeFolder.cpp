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

std::optional<std::filesystem::path> CurrentRuntimeFolder() {
    const char* root = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    const auto runtimeRoot = root == nullptr || *root == '\0'
                                 ? std::nullopt
                                 : std::optional<std::filesystem::path>(root);
    return PrivateFolder(RuntimeFolderPath(runtimeRoot, error ? "/tmp" : temp, ::getuid()),
                         ::getuid());
}

std::optional<std::filesystem::path> CurrentDisplayFile(std::string_view kind,
                                                        std::string_view extension) {
    const auto folder = CurrentRuntimeFolder();
    if (!folder) {
        return std::nullopt;
    }
    const char* display = std::getenv("DISPLAY");
    std::string name(kind);
    name += '-';
    name += DisplayFileName(display == nullptr ? "" : display);
    name += extension;
    return *folder / name;
}

std::string DisplayFileName(std::string_view display) {
    const std::size_t colon = display.rfind(':');
    const std::size_t dot = display.find('.', colon == std::string_view::npos ? 0 : colon);
    if (colon != std::string_view::npos && dot != std::string_view::npos) {
        display = display.substr(0, dot);
    }
    std::string name;
    for (const char c : display) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        name += kept ? c : '_';
    }
    return name.empty() ? std::string("none") : name;
}
