// The PATH search as a POSIX shell does it: ':' between folders, an empty entry for the working
// folder, and only a regular file with the execute bit.
#include <sys/stat.h>
#include <unistd.h>

#include "platform/find_on_path.h"

std::string FindOnPath(const std::string& program, const std::string& directories)
{
    size_t begin = 0;
    while (begin <= directories.size()) {
        size_t end = directories.find(':', begin);
        if (end == std::string::npos) end = directories.size();
        std::string directory = directories.substr(begin, end - begin);
        const std::string candidate = (directory.empty() ? "." : directory) + "/" + program;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return "";
}
