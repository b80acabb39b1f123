// The program's icon for menus and launchers: one of the demo's chrome cubes tumbling in the
// starry night the airship crosses, drawn at any size so each size is sharp rather than scaled.
#pragma once

#include "canvas.h"

Canvas DrawIcon(int size);
