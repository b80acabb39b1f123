#include "host/timeline_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

bool LoadTimelineFile(const std::string& path, const std::vector<std::string>& registered, Timeline& timeline,
                      std::string& error)
{
    // A folder, a device or a pipe is not a timeline: reading /dev/zero would never end.
    std::error_code code;
    if (!std::filesystem::is_regular_file(path, code)) {
        error = path + ": not a file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    // An empty file is the parser's to refuse (it has no end); only a failed read is reported here.
    if (file && file.peek() != std::ifstream::traits_type::eof()) contents << file.rdbuf();
    if (!file.is_open() || file.bad()) {
        error = path + ": cannot read it";
        return false;
    }
    Timeline parsed;
    if (!ParseTimeline(contents.str(), path, registered, parsed, error)) return false;
    timeline = std::move(parsed);
    return true;
}
