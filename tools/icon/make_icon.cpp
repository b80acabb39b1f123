// Writes the program's icon as a PNG of the given size, for the install's icon theme folders.
//
//   make_icon --size N --output FILE.png
#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "icon/icon.h"

namespace {

const char kUsage[] = "usage: make_icon --size N --output FILE.png (N from 16 to 1024)";

std::vector<unsigned char> Rgb(const Canvas& canvas)
{
    std::vector<unsigned char> rgb;
    rgb.reserve(std::size_t(canvas.Width()) * canvas.Height() * 3);
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const Color c = canvas.Get(x, y);
            for (float channel : {c.r, c.g, c.b}) rgb.push_back(static_cast<unsigned char>(std::clamp(channel, 0.0f, 1.0f) * 255 + 0.5f));
        }
    }
    return rgb;
}

}  // namespace

int main(int argc, char** argv)
{
    int size = 0;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::puts(kUsage);
            return 0;
        }
        if ((option != "--size" && option != "--output") || i + 1 >= argc) {
            std::fprintf(stderr, "make_icon: unexpected '%s'; %s\n", option.c_str(), kUsage);
            return 2;
        }
        const std::string value = argv[++i];
        if (option == "--output") output = value;
        else size = std::atoi(value.c_str());
    }
    if (size < 16 || size > 1024 || output.empty()) {
        std::fprintf(stderr, "make_icon: %s\n", kUsage);
        return 2;
    }
    const Canvas icon = DrawIcon(size);
    if (stbi_write_png(output.c_str(), size, size, 3, Rgb(icon).data(), size * 3) == 0) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
