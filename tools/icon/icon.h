// The program's icon for menus and launchers: one of the demo's chrome cubes tumbling in the
// starry night the airship crosses, on a tile with rounded corners. Drawn at any size so each size
// is sharp rather than scaled, and as SVG for the scalable icon folder.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

struct Icon {
    Canvas colour;             // the colour where the tile covers a pixel (not premultiplied)
    std::vector<float> alpha;  // how much of each pixel the tile covers, 0 to 1, row 0 on top
};

Icon DrawIcon(int size);

// Four bytes a pixel, red, green, blue, alpha, row 0 on top: what a PNG writer takes.
std::vector<unsigned char> IconRgba(const Icon& icon);

// The same drawing as a standalone SVG document, 256 units a side.
std::string IconSvg();
