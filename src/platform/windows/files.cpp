#include "platform/files.h"

#include "platform/windows/system_message.h"

int FlushToDisk(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return int(GetLastError());
    const int result = FlushFileBuffers(file) ? 0 : int(GetLastError());
    CloseHandle(file);
    return result;
}

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string& reason)
{
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    reason = SystemMessage(GetLastError());
    return false;
}
