#include "app/data_folders.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

#ifndef TARNELVOIS_INSTALLED_DATA_DIR
#define TARNELVOIS_INSTALLED_DATA_DIR ""
#endif

std::vector<std::string> DataFolders(const std::string& program, const std::string& installedFolder)
{
    std::vector<std::string> folders{"."};
    auto add = [&folders](const fs::path& folder) {
        const std::string text = folder.lexically_normal().string();
        if (!text.empty() && std::find(folders.begin(), folders.end(), text) == folders.end()) folders.push_back(text);
    };
    if (!program.empty()) {
        const fs::path folder = fs::path(program).parent_path();
        add(folder.empty() ? fs::path(".") : folder);
        add(folder / ".." / "share" / "tarnelvois");
    }
    if (!installedFolder.empty()) add(installedFolder);
    return folders;
}

std::string InstalledDataFolder() { return TARNELVOIS_INSTALLED_DATA_DIR; }
