// Writes the program's icon as a PNG with alpha of the given size, or as SVG, for the install's
// icon theme folders. A failed write leaves no file behind.
//
//   make_icon --size N --output FILE.png
//   make_icon --svg --output FILE.svg
#include <stb_image_write.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "icon/icon.h"

namespace {

const char kUsage[] = "usage: make_icon --size N --output FILE.png (N from 16 to 1024), or make_icon --svg --output FILE.svg";

bool WriteSvg(const std::string& path)
{
    std::ofstream file(path, std::ios::binary);
    file << IconSvg();
    file.close();
    return bool(file);
}

}  // namespace

int main(int argc, char** argv)
{
    int size = 0;
    bool svg = false;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::puts(kUsage);
            return 0;
        }
        if (option == "--svg") {
            svg = true;
            continue;
        }
        if ((option != "--size" && option != "--output") || i + 1 >= argc) {
            std::fprintf(stderr, "make_icon: unexpected '%s'; %s\n", option.c_str(), kUsage);
            return 2;
        }
        const std::string value = argv[++i];
        if (option == "--output") output = value;
        else size = std::atoi(value.c_str());
    }
    if (output.empty() || svg == (size != 0) || (!svg && (size < 16 || size > 1024))) {
        std::fprintf(stderr, "make_icon: %s\n", kUsage);
        return 2;
    }
    bool written;
    if (svg) {
        written = WriteSvg(output);
    } else {
        const Icon icon = DrawIcon(size);
        written = stbi_write_png(output.c_str(), size, size, 4, IconRgba(icon).data(), size * 4) != 0;
    }
    if (!written) {
        std::remove(output.c_str());
        std::fprintf(stderr, "make_icon: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
