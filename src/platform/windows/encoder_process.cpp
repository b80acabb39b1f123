// The encoder started with CreateProcess: its standard input a pipe, its further inputs named pipes
// it opens by name, its messages into a temporary file deleted when closed, in a process group of
// its own and without a console window.
#include "platform/encoder_process.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/interrupt.h"
#include "platform/windows/arguments.h"
#include "platform/windows/named_pipe.h"
#include "platform/windows/system_message.h"

std::string EncoderInputName(int input)
{
    if (input == 0) return "pipe:0";
    return "\\\\.\\pipe\\tarnelvois-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(input);
}

namespace {

constexpr DWORD kPipeBytes = 1 << 20;
constexpr DWORD kWaitStepMs = 10;

HANDLE AsHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }
std::intptr_t AsValue(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

HANDLE OpenLog()
{
    char folder[MAX_PATH + 1], name[MAX_PATH + 1];
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "tnv", 0, name)) return INVALID_HANDLE_VALUE;
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string LastLine(HANDLE log)
{
    if (log == INVALID_HANDLE_VALUE || log == nullptr) return "";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    SetFilePointer(log, 0, nullptr, FILE_BEGIN);
    while (ReadFile(log, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    std::string last;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) last = line;
        begin = end + 1;
    }
    return last;
}

// A named pipe for input 'input', this process's only one of that name. Its writer waits for the
// encoder to open it (see WriteAllTo).
HANDLE CreateInputPipe(int input)
{
    return CreateNamedPipeA(EncoderInputName(input).c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
                            PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, kPipeBytes, 0, 0, nullptr);
}

// A writer may be waiting for an encoder that is gone to open its input: opening it here, and
// closing it at once, frees it, and its writes then fail. An input the encoder opened is busy and
// left alone.
void ReleaseWaitingWriters(int inputs)
{
    for (int input = 1; input < inputs; ++input) {
        HANDLE client = CreateFileA(EncoderInputName(input).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (client != INVALID_HANDLE_VALUE) CloseHandle(client);
    }
}

}  // namespace

EncoderProcess::~EncoderProcess()
{
    if (process_ != -1) Kill();
    CloseInputs();
    if (log_) CloseHandle(static_cast<HANDLE>(log_));
}

int EncoderProcess::ProcessGroup() const
{
    return process_ == -1 ? 0 : int(GetProcessId(AsHandle(process_)));
}

bool EncoderProcess::Start(const std::vector<std::string>& arguments, int inputs, std::string& error)
{
    for (int input = 1; input < inputs; ++input) {
        HANDLE pipe = CreateInputPipe(input);
        if (pipe == INVALID_HANDLE_VALUE) {
            error = "cannot start " + arguments[0] + ": " + EncoderInputName(input) + ": " + SystemMessage(GetLastError());
            CloseInputs();
            return false;
        }
        inputs_.push_back(AsValue(pipe));
    }
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherited, kPipeBytes)) {
        error = "cannot start " + arguments[0] + ": " + SystemMessage(GetLastError());
        return false;
    }
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);  // the encoder must see its input end
    HANDLE log = OpenLog();
    log_ = log == INVALID_HANDLE_VALUE ? nullptr : log;
    HANDLE nothing =
        CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;
    startup.hStdOutput = nothing;
    startup.hStdError = log_ ? log : nothing;
    PROCESS_INFORMATION process{};
    std::string commandLine = JoinWindowsArguments(arguments);
    // A process group of its own keeps Ctrl+C at the console from reaching the encoder: this
    // program stops it and removes the unfinished file. No console window of its own either.
    const BOOL started = CreateProcessA(arguments[0].c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    const DWORD failure = GetLastError();
    CloseHandle(readEnd);
    if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
    if (!started) {
        CloseHandle(writeEnd);
        CloseInputs();
        error = "cannot start " + arguments[0] + ": " + SystemMessage(failure);
        return false;
    }
    CloseHandle(process.hThread);
    process_ = AsValue(process.hProcess);
    inputs_.insert(inputs_.begin(), AsValue(writeEnd));
    return true;
}

bool EncoderProcess::Write(int input, const std::uint8_t* bytes, std::size_t size)
{
    HANDLE pipe = AsHandle(inputs_[size_t(input)]);
    if (input > 0 && !WaitForPipeReader(pipe)) return false;
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(size, 1 << 30));
        if (!WriteFile(pipe, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

int EncoderProcess::ReleaseInput(int input)
{
    const std::intptr_t handle = inputs_[size_t(input)];
    inputs_[size_t(input)] = -1;
    return handle == -1 ? -1 : _open_osfhandle(handle, _O_WRONLY | _O_BINARY);
}

void EncoderProcess::CloseInputs()
{
    for (std::intptr_t& handle : inputs_)
        if (handle != -1) CloseHandle(AsHandle(handle)), handle = -1;
}

EncoderProcess::Ending EncoderProcess::Wait(std::string& failure)
{
    CloseInputs();
    HANDLE process = AsHandle(process_);
    while (WaitForSingleObject(process, kWaitStepMs) == WAIT_TIMEOUT) {
        if (InterruptSignal()) {
            Kill();
            return Ending::Interrupted;
        }
    }
    DWORD status = 0;
    if (!GetExitCodeProcess(process, &status)) status = DWORD(-1);
    CloseHandle(process);
    process_ = -1;
    ReleaseWaitingWriters(int(inputs_.size()));
    const std::string said = LastLine(static_cast<HANDLE>(log_));
    if (status == 0) {
        if (said.empty()) return Ending::Finished;
        failure = "reported an error (" + said + ")";
        return Ending::Failed;
    }
    // Exit codes from 0xC0000000 up are the system's report of a crash (an access violation...).
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
    failure = status >= 0xC0000000u ? "crashed (" + std::string(code) + ")" : "exited with status " + std::to_string(status);
    if (!said.empty()) failure += " (" + said + ")";
    return Ending::Failed;
}

void EncoderProcess::Kill()
{
    if (process_ == -1) return;
    HANDLE process = AsHandle(process_);
    TerminateProcess(process, 1);
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
    process_ = -1;
    ReleaseWaitingWriters(int(inputs_.size()));
}
