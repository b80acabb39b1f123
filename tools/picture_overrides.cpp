#include "picture_overrides.h"

#include "host/image.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string Stem(const std::string& name) { return name.substr(0, name.rfind('.')); }

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// A 24-bit TGA, bottom row first, as the generator writes its own pictures.
std::vector<std::uint8_t> TgaOf(const Image& image) {
    std::vector<std::uint8_t> file(18, 0);
    file[2] = 2;  // uncompressed true colour
    file[12] = std::uint8_t(image.width & 0xFF);
    file[13] = std::uint8_t(image.width >> 8);
    file[14] = std::uint8_t(image.height & 0xFF);
    file[15] = std::uint8_t(image.height >> 8);
    file[16] = 24;
    for (std::size_t at = 0; at + 2 < image.rgb.size(); at += 3)
        file.insert(file.end(), {image.rgb[at + 2], image.rgb[at + 1], image.rgb[at]});
    return file;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) throw OverrideFailure{"cannot read the picture", path};
    return bytes;
}

}  // namespace

std::string NearestPictureName(const std::string& file, const std::vector<std::string>& names) {
    const std::string stem = Lower(Stem(file));
    std::string nearest;
    std::size_t best = 3;  // more than two letters off is another name
    for (const std::string& name : names) {
        const std::size_t distance = EditDistance(stem, Lower(Stem(name)));
        if (distance < best && (distance == 0 || stem.size() > 3)) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

void ApplyPictureOverrides(const std::string& directory, std::vector<NamedBytes>& pictures,
                           const std::function<void(const std::string&)>& warn) {
    std::error_code error;
    if (directory.empty() || !std::filesystem::is_directory(directory, error)) return;
    std::vector<std::filesystem::path> files;
    for (const auto& item : std::filesystem::directory_iterator(directory, error)) files.push_back(item.path());
    if (error) throw OverrideFailure{"cannot read the overrides folder: " + error.message(), directory};
    std::sort(files.begin(), files.end());
    std::vector<std::string> names;
    for (const NamedBytes& picture : pictures) names.push_back(picture.name);
    std::vector<std::string> takenBy(pictures.size());
    for (const std::filesystem::path& file : files) {
        const std::string name = file.filename().string();
        auto picture = std::find_if(pictures.begin(), pictures.end(), [&](const NamedBytes& entry) {
            return entry.name == name || Stem(entry.name) + ".png" == name;
        });
        if (picture == pictures.end()) {
            if (name == "README.md") continue;
            const std::string nearest = NearestPictureName(name, names);
            warn(file.string() + ": not packed: no picture is called " + name +
                 (nearest.empty() ? "" : "; did you mean " + nearest + "?"));
            continue;
        }
        std::string& earlier = takenBy[std::size_t(picture - pictures.begin())];
        if (!earlier.empty())
            throw OverrideFailure{"both " + earlier + " and " + name + " would replace " + picture->name + "; keep one", file.string()};
        earlier = name;
        // The program reads TGA: a TGA goes in as it is, a PNG (whatever its name) as the TGA it
        // decodes to.
        std::vector<std::uint8_t> bytes = ReadBytes(file.string());
        Image image;
        std::string problem;
        if (DecodeTga(bytes, image, problem)) {
            picture->bytes = std::move(bytes);
        } else if (DecodePicture(bytes, image, problem)) {
            picture->bytes = TgaOf(image);
        } else {
            throw OverrideFailure{"not a picture the program can show: " + problem, file.string()};
        }
    }
}
