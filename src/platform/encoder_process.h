// An encoder run as a child process. Its inputs are pipes this program writes; what it says goes
// to a log kept for the one-line error; it lives in a process group of its own, so a Ctrl+C at the
// terminal reaches only this program, which then ends the encoder (and anything it started) itself.
// POSIX starts it with posix_spawn, Windows with CreateProcess.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The name an encoder reads one of its inputs by: "pipe:0" for the first (its standard input); for
// the others "pipe:3", "pipe:4"... on POSIX (inherited descriptors) and a named pipe of this process
// on Windows ("\\.\pipe\tarnelvois-<process>-<input>"), which hands a child its standard input only.
std::string EncoderInputName(int input);

class EncoderProcess {
public:
    EncoderProcess() = default;
    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;
    ~EncoderProcess();  // an encoder still running is killed

    // Starts arguments[0] with 'inputs' pipes: the first is its standard input, the others what
    // EncoderInputName gives (the arguments name them so).
    bool Start(const std::vector<std::string>& arguments, int inputs, std::string& error);

    // Writes all of 'bytes' into one input, blocking while the pipe is full; false once the encoder
    // no longer reads it. One thread per input may write; Kill frees a writer blocked here.
    bool Write(int input, const std::uint8_t* bytes, std::size_t size);

    // Hands the writing end of one input to the caller as a C library descriptor (WriteAllTo,
    // CloseDescriptor), to close when that input has ended; Wait and Kill no longer touch it, but a
    // write still waiting for the encoder to open that input fails once the encoder is gone.
    int ReleaseInput(int input);

    enum class Ending { Finished, Failed, Interrupted };
    // Closes every input and waits for the encoder to end, answering an interrupt (see interrupt.h)
    // within a few milliseconds by killing it. Failed: 'failure' says how ("exited with status 1
    // (its last message)"); an encoder that exits 0 but logged an error has failed too.
    Ending Wait(std::string& failure);

    // Ends the encoder's whole process group at once and reaps it.
    void Kill();

    // What the emergency clean-up kills: the process group on POSIX, the process id on Windows.
    int ProcessGroup() const;

private:
    void CloseInputs();

    // The system's names for the encoder and its inputs: a process id and descriptors on POSIX,
    // handles on Windows; -1 when there is none.
    std::intptr_t process_ = -1;
    std::vector<std::intptr_t> inputs_;
    void* log_ = nullptr;  // where the encoder's messages go: a FILE on POSIX, a HANDLE on Windows
};
