// What the render tests share: files they make and read (zip archives, TGA pictures, captured PNG
// frames, temporary folders) and ways to run the program, as a child or in this process.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A fresh, empty folder under the system's temporary folder, unique to this process and name.
std::string TemporaryFolder(const std::string& name);
// The names in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);

Bytes TextBytes(const std::string& text);
Bytes ReadFileBytes(const std::string& path);
void SaveFile(const std::string& path, const Bytes& bytes);

// Writes a zip with the given entries (name -> bytes); 'stored' leaves them uncompressed, so their
// bytes can be found and damaged in the file. Aborts the test on failure.
void WriteZip(const std::string& path, const std::map<std::string, Bytes>& entries, bool stored = false);

// An uncompressed 24-bit TGA with its top row first in 'rgbTopDown' (as seen), stored bottom-left.
Bytes MakeTga(int width, int height, const Bytes& rgbTopDown);

struct Picture {
    int width = 0, height = 0;
    Bytes rgb;  // top row first
    const std::uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};
// Reads a PNG; an empty picture when it cannot.
Picture ReadPng(const std::string& path);

// "xvfb-run" on a display number picked from this process's id, so test runs side by side do not
// race for one server, and with -noreset: an X server resets when its last client leaves, and a test
// that opens a second window in one process would meet it mid-reset, which the program rightly
// refuses as a display it cannot open.
std::string XvfbRun();

// Runs a shell command, returns its exit status and, when asked, what it printed on stdout+stderr.
int RunCommand(const std::string& command, std::string* output = nullptr);

// The built program with no display and the built archive (a later --data replaces it); a run that
// hangs is cut off after a minute.
extern const std::string kProgram;
int RunProgram(const std::string& arguments, std::string* output = nullptr);

// Runs the host in this process with the effects registered beforehand; returns its status.
int RunInProcess(const std::vector<std::string>& options);
