#include "platform/command_line.h"

#include <shellapi.h>

#include <cstdio>

namespace {

std::string Narrow(const wchar_t* text)
{
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return "";
    std::string result(size_t(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), bytes, nullptr, nullptr);
    result.pop_back();  // the terminating zero
    return result;
}

}  // namespace

// The instance handle itself carries nothing on Windows: the process's command line is the truth.
CommandLine CommandLineOf(HINSTANCE)
{
    CommandLine line;
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    path.resize(length);
    line.executable = Narrow(path.c_str());
    int count = 0;
    if (wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) line.arguments.push_back(Narrow(words[i]));
        LocalFree(words);
    }
    return line;
}

void AttachParentConsole()
{
    // Attached to the console it was started from, the program hears its Ctrl+C, Ctrl+Break and
    // closing even when its messages go elsewhere: handles given by the parent (a pipe, a file,
    // Wine's terminal) are kept as they are.
    const bool handed = GetFileType(GetStdHandle(STD_ERROR_HANDLE)) != FILE_TYPE_UNKNOWN;
    if (!AttachConsole(ATTACH_PARENT_PROCESS) || handed) return;
    std::FILE* ignored = nullptr;
    freopen_s(&ignored, "CONOUT$", "w", stdout);
    freopen_s(&ignored, "CONOUT$", "w", stderr);
}
