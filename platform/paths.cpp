#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace xq {

namespace {

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return {};
}

// $variable when it holds an absolute path (the only kind the convention allows), else the
// default below the home folder; then the program's folder in it, created when missing.
std::filesystem::path ProgramFolder(const char* variable, const char* defaultBelowHome) {
    std::filesystem::path base;
    if (const char* value = std::getenv(variable); value && value[0] == '/') {
        base = value;
    } else {
        const std::filesystem::path home = HomeFolder();
        if (home.empty()) return {};
        base = home / defaultBelowHome;
    }
    std::filesystem::path folder = base / kProgramFolderName;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) return {};
    return folder;
}

}  // namespace

std::filesystem::path ConfigFolder() {
    return ProgramFolder("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path StateFolder() {
    return ProgramFolder("XDG_STATE_HOME", ".local/state");
}

}  // namespace xq
