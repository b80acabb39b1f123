#include "platform/files.h"

#include "platform/windows/system_message.h"

namespace {

constexpr const char* kClaimFile = "\\.tarnelvois-capture.lock";

// The number the holder of a claim wrote into it, or "" when it cannot be read.
std::string ReadHolder(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    char text[16] = {};
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    std::string number(text, read);
    return number.find_first_not_of("0123456789") == std::string::npos ? number : "";
}

}  // namespace

int FlushToDisk(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return int(GetLastError());
    const int result = FlushFileBuffers(file) ? 0 : int(GetLastError());
    CloseHandle(file);
    return result;
}

Placement MoveIntoPlace(const std::string& from, const std::string& to, bool replace, std::string& reason)
{
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExA(from.c_str(), to.c_str(), flags)) return Placement::Placed;
    const DWORD failure = GetLastError();
    if (!replace && (failure == ERROR_ALREADY_EXISTS || failure == ERROR_FILE_EXISTS)) return Placement::TargetExists;
    reason = SystemMessage(failure);
    return Placement::Failed;
}

std::unique_ptr<FolderClaim> FolderClaim::Take(const std::string& folder, std::string& holder, std::string& reason)
{
    // Opened for writing by no one else: a second capture cannot open it while the first holds
    // it, but can read the holder's number; the system deletes it when the holder closes it or ends.
    const std::string path = folder + kClaimFile;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD failure = GetLastError();
        if (failure == ERROR_SHARING_VIOLATION) holder = "process " + ReadHolder(path);
        else reason = SystemMessage(failure);
        if (holder == "process ") holder = "another process";
        return nullptr;
    }
    const std::string number = std::to_string(GetCurrentProcessId());
    DWORD written = 0;
    WriteFile(file, number.data(), DWORD(number.size()), &written, nullptr);
    return std::unique_ptr<FolderClaim>(new FolderClaim(path, reinterpret_cast<std::intptr_t>(file)));
}

FolderClaim::~FolderClaim() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }
