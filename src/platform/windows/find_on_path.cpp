// The PATH search as Windows' command interpreter does it: ';' between folders, '"' around a
// folder allowed, and the program found under its name with ".exe" added when it has none; the
// running program's own folder comes first.
#include <filesystem>
#include <system_error>

#include "platform/find_on_path.h"
#include "platform/platform.h"

std::string FindOnPath(const std::string& program, const std::string& directories)
{
    namespace fs = std::filesystem;
    const std::string name = fs::path(program).has_extension() ? program : program + ".exe";
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), DWORD(self.size())));
    std::error_code status;
    const fs::path beside = fs::path(self).parent_path() / name;
    if (!self.empty() && fs::is_regular_file(beside, status)) return beside.string();
    size_t begin = 0;
    while (begin < directories.size()) {
        size_t end = directories.find(';', begin);
        if (end == std::string::npos) end = directories.size();
        std::string directory = directories.substr(begin, end - begin);
        if (directory.size() >= 2 && directory.front() == '"' && directory.back() == '"')
            directory = directory.substr(1, directory.size() - 2);
        begin = end + 1;
        if (directory.empty()) continue;
        const fs::path candidate = fs::path(directory) / name;
        if (fs::is_regular_file(candidate, status)) return candidate.string();
    }
    return "";
}
