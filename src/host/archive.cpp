// The data archive: a zip opened once, its names folded into a lookup table, entries read whole
// and checked against their stored size and checksum.
#include "host/archive.h"

#include <zip.h>

#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

std::string OpenErrorText(int code) {
    switch (code) {
    case ZIP_ER_NOZIP: return "not a zip archive";
    case ZIP_ER_INCONS: return "damaged zip archive (its directory does not match its entries)";
    case ZIP_ER_NOENT: return "no such file";
    default: return ZipErrorText(code);
    }
}

}  // namespace

std::unique_ptr<Archive> Archive::Open(const std::string& path, std::string& error) {
    std::error_code status;
    if (!fs::exists(path, status)) {
        error = path + ": no such file";
        return nullptr;
    }
    if (!fs::is_regular_file(path, status)) {
        error = path + ": not a file";
        return nullptr;
    }
    // libzip takes an empty file for an empty archive; for us it is a broken download.
    if (fs::file_size(path, status) == 0) {
        error = path + ": empty file, not a zip archive";
        return nullptr;
    }
    int code = 0;
    zip* handle = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (handle == nullptr) {
        error = path + ": " + OpenErrorText(code);
        return nullptr;
    }
    return std::unique_ptr<Archive>(new Archive(path, handle));
}

Archive::Archive(std::string path, zip* handle) : path_(std::move(path)), handle_(handle) {
    const zip_int64_t count = zip_get_num_entries(handle_, 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        const char* name = zip_get_name(handle_, static_cast<zip_uint64_t>(index), 0);
        // The first of two names that fold alike wins, as a case-blind file system would show it.
        if (name != nullptr) indexByFoldedName_.emplace(FoldName(name), static_cast<std::uint64_t>(index));
    }
}

Archive::~Archive() { zip_discard(handle_); }

std::string Archive::FoldName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) c = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

bool Archive::Contains(const std::string& name) const {
    return indexByFoldedName_.count(FoldName(name)) != 0;
}

std::string Archive::EntryName(const std::string& name) const {
    const auto found = indexByFoldedName_.find(FoldName(name));
    const char* stored = found == indexByFoldedName_.end() ? nullptr : zip_get_name(handle_, found->second, 0);
    if (stored != nullptr) return stored;
    std::string shown = name;
    for (char& c : shown) c = c == '\\' ? '/' : c;
    return shown;
}

bool Archive::Read(const std::string& name, std::vector<std::uint8_t>& contents, std::string& error) const {
    contents.clear();
    const std::string where = path_ + ": " + EntryName(name) + ": ";
    const auto found = indexByFoldedName_.find(FoldName(name));
    if (found == indexByFoldedName_.end()) {
        error = where + "no such entry in the archive";
        return false;
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(handle_, found->second, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        error = where + "cannot read its size";
        return false;
    }
    if (stat.size > kMaxEntrySize) {
        error = where + "too large (" + std::to_string(stat.size) + " bytes)";
        return false;
    }
    zip_file_t* file = zip_fopen_index(handle_, found->second, 0);
    if (file == nullptr) {
        error = where + zip_strerror(handle_);
        return false;
    }
    // One byte more than the stated size is asked for, so a header that understates the size is
    // caught without ever holding more than the limit.
    contents.resize(static_cast<std::size_t>(stat.size) + 1);
    std::size_t filled = 0;
    zip_int64_t got = 0;
    while (filled < contents.size() &&
           (got = zip_fread(file, contents.data() + filled, contents.size() - filled)) > 0) {
        filled += static_cast<std::size_t>(got);
    }
    std::string problem;
    if (got < 0) {
        const int code = zip_error_code_zip(zip_file_get_error(file));
        problem = code == ZIP_ER_CRC ? "damaged (bad checksum)" : zip_file_strerror(file);
    } else if (filled != stat.size) {
        problem = std::string("damaged (holds ") + (filled > stat.size ? "more" : "less") + " than its stated size)";
    }
    if (zip_fclose(file) == ZIP_ER_CRC && problem.empty()) problem = "damaged (bad checksum)";
    if (!problem.empty()) {
        contents.clear();
        error = where + problem;
        return false;
    }
    contents.resize(filled);
    return true;
}

namespace {

bool IsFile(const fs::path& path) {
    std::error_code status;
    return fs::is_regular_file(path, status);
}

}  // namespace

std::string LocateArchive(const std::string& explicitPath, const std::string& name,
                          const std::vector<std::string>& folders, std::string& error) {
    if (!explicitPath.empty()) {
        if (IsFile(explicitPath)) return explicitPath;
        std::error_code status;
        error = explicitPath + (fs::exists(explicitPath, status) ? ": not a file" : ": no such file");
        return {};
    }
    std::string places;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const fs::path folder = folders[i];
        if (IsFile(folder / name)) return folder == "." ? name : (folder / name).string();
        std::error_code status;
        const std::string shown = folder == "." ? "the working directory (" + fs::current_path(status).string() + ")"
                                                : folder.string();
        places += (i == 0 ? "" : i + 1 == folders.size() ? " or " : ", ") + shown;
    }
    error = name + " not found in " + (places.empty() ? std::string("any folder") : places) +
            "; give its path with --data PATH";
    return {};
}
