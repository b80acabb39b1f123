// Files the tests make and read: zip archives, TGA pictures, captured PNG frames, temporary folders.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A fresh, empty folder under the system's temporary folder, unique to this process and name.
std::string TemporaryFolder(const std::string& name);

// Writes a zip with the given entries (name -> bytes). Aborts the test on failure.
void WriteZip(const std::string& path, const std::map<std::string, std::vector<std::uint8_t>>& entries);

std::vector<std::uint8_t> Bytes(const std::string& text);
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// An uncompressed 24-bit TGA with its top row first in 'rgbTopDown' (as seen), stored bottom-left.
std::vector<std::uint8_t> MakeTga(int width, int height, const std::vector<std::uint8_t>& rgbTopDown);

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // top row first
    const std::uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};
// Reads a PNG; an empty picture when it cannot.
Picture ReadPng(const std::string& path);

// Runs a shell command, returns its exit status and, when asked, what it printed on stdout+stderr.
int RunCommand(const std::string& command, std::string* output = nullptr);
