// What the shim's sources share: the state they keep in step with the real GL.
#pragma once

#include <GL/gl.h>

#include "platform/web/attribute_stack.h"

namespace glshim {

FixedFunctionState& CurrentState();
GLenum& CurrentMatrixMode();

}  // namespace glshim
