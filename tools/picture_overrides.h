// The overrides folder: pictures a maker paints instead of the drawn ones. A file named like a
// registered picture (Zep.tga), or like it with .png (Zep.png), takes its place in the archive;
// a TGA is packed as it is, a PNG as the TGA it decodes to. Other files are pointed out with the
// picture name nearest theirs, and a file that is not a picture the program can show stops the
// build, naming what it is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct NamedBytes {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// What stops the build, and the file it is about.
struct OverrideFailure {
    std::string what;
    std::string file;
};

// Replaces the bytes of the pictures named by files in directory (none when it is empty or
// missing); warn gets one line for each file left out.
void ApplyPictureOverrides(const std::string& directory, std::vector<NamedBytes>& pictures,
                           const std::function<void(const std::string&)>& warn);

// The picture name a file name most likely meant: one that differs only in case or extension, or
// by at most two letters; empty when none is that near.
std::string NearestPictureName(const std::string& file, const std::vector<std::string>& names);
