// The data archive: a zip file read with libzip. Entry names are matched without regard to case,
// with '\' and '/' taken as the same separator, because the program names its files as old
// Windows paths ("demotex\Txts3.tga").
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct zip;

class Archive {
public:
    // Entries that inflate beyond this are refused rather than read.
    static constexpr std::uint64_t kMaxEntrySize = 64u * 1024u * 1024u;

    // Opens the archive; on failure returns null and sets error to one line naming the file.
    static std::unique_ptr<Archive> Open(const std::string& path, std::string& error);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    const std::string& Path() const { return path_; }
    // True when an entry of that name exists (matched as described above).
    bool Contains(const std::string& name) const;
    // The entry's name as the archive holds it ("demotex/Zep.tga" for "demotex\\zep.tga"), for
    // messages; a missing entry is shown with '/' separators.
    std::string EntryName(const std::string& name) const;
    // Reads a whole entry. False, with error set to one line naming archive and entry, when the
    // entry is missing, too large, damaged (bad checksum) or cannot be read.
    bool Read(const std::string& name, std::vector<std::uint8_t>& contents, std::string& error) const;

    // Folds a name for lookup: lower case, every '\' turned into '/'.
    static std::string FoldName(const std::string& name);

private:
    Archive(std::string path, zip* handle);
    std::string path_;
    zip* handle_;
    std::unordered_map<std::string, std::uint64_t> indexByFoldedName_;
};

// Where to find the archive: an explicit path when given (it must exist), otherwise the name in
// each folder in turn ("." is the working directory). Returns the path found, or an empty string
// with error set to one line naming every place it looked.
std::string LocateArchive(const std::string& explicitPath, const std::string& name,
                          const std::vector<std::string>& folders, std::string& error);
