// Giving a finished output its name: on disk first, then renamed into place, so a name never
// shows a file that is not whole; and a capture's claim on its folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Asks the file system to have the file's contents on disk, so an error that shows only when it
// is written out (a full disk) is seen before the file gets its name. 0 or the errno.
int FlushToDisk(const std::string& path);

enum class Placement { Placed, TargetExists, Failed };
// Renames from to to. replace: a file already there is replaced; otherwise it is never replaced,
// even by a file that appeared a moment ago (TargetExists, from left where it is). Failed: reason
// set to the system's words.
Placement MoveIntoPlace(const std::string& from, const std::string& to, bool replace, std::string& reason);

// A capture's claim on its folder, so two captures never write frames into one folder at once.
// The claim ends with the object, or with the process however it ends.
class FolderClaim {
public:
    // Claims folder. Null, with holder set to who has it ("process 1234", or "another process"
    // where the system does not say), when another process does; null with holder empty and
    // reason set when the claim cannot be made at all.
    static std::unique_ptr<FolderClaim> Take(const std::string& folder, std::string& holder, std::string& reason);
    ~FolderClaim();
    FolderClaim(const FolderClaim&) = delete;
    FolderClaim& operator=(const FolderClaim&) = delete;

private:
    FolderClaim(std::string path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}
    std::string path_;
    std::intptr_t handle_;
};
