// Any bytes as the data archive: opened, and every entry it lists read, as the program would read
// its timeline and pictures. Refusals are fine; crashes, hangs and reads beyond the limit are not.
#include <sys/mman.h>
#include <unistd.h>
#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/archive.h"

namespace {

// The input lives in a memory-backed file, so a million runs never touch the disk.
const std::string& InputPath()
{
    static const std::string path = [] {
        const int descriptor = memfd_create("archive-fuzz", 0);
        if (descriptor < 0) std::abort();
        return "/proc/self/fd/" + std::to_string(descriptor);
    }();
    return path;
}

void WriteInput(const std::uint8_t* data, std::size_t size)
{
    const int descriptor = std::stoi(InputPath().substr(std::string("/proc/self/fd/").size()));
    if (ftruncate(descriptor, 0) != 0) std::abort();
    std::size_t written = 0;
    while (written < size) {
        const ssize_t count = pwrite(descriptor, data + written, size - written, off_t(written));
        if (count <= 0) std::abort();
        written += std::size_t(count);
    }
}

// The names the zip's directory lists, read independently of the class under test.
std::vector<std::string> EntryNames(const std::string& path)
{
    std::vector<std::string> names;
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (archive == nullptr) return names;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t index = 0; index < count && index < 64; ++index) {
        if (const char* name = zip_get_name(archive, zip_uint64_t(index), 0)) names.push_back(name);
    }
    zip_discard(archive);
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WriteInput(data, size);
    std::string error;
    std::unique_ptr<Archive> archive = Archive::Open(InputPath(), error);
    if (!archive) {
        if (error.empty()) std::abort();
        return 0;
    }
    std::vector<std::string> names = EntryNames(InputPath());
    names.push_back("timeline.txt");
    names.push_back("demotex\\Missing.tga");
    for (const std::string& name : names) {
        std::vector<std::uint8_t> contents;
        error.clear();
        if (archive->Read(name, contents, error)) {
            if (contents.size() > Archive::kMaxEntrySize || !error.empty()) std::abort();
        } else if (error.empty() || !contents.empty()) {
            std::abort();
        }
    }
    return 0;
}
