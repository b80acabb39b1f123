// The state stand-ins: enables and the functions the attribute stack saves, kept in step with
// the real GL so a pop can put back what changed; the texture formats WebGL refuses.
#include "platform/web/gl_shim.h"
#include "platform/web/gl_shim_internal.h"

#include "platform/web/attribute_stack.h"

namespace glshim {

FixedFunctionState& CurrentState()
{
    static FixedFunctionState state;
    return state;
}

GLenum& CurrentMatrixMode()
{
    static GLenum mode = GL_MODELVIEW;
    return mode;
}

}  // namespace glshim

using glshim::CurrentState;

namespace {

glshim::AttributeStack& Stack()
{
    static glshim::AttributeStack stack;
    return stack;
}

// Texture generation is the shim's own; the emulation would refuse it.
bool OwnCapability(GLenum capability) { return capability == GL_TEXTURE_GEN_S || capability == GL_TEXTURE_GEN_T; }

void SetCapability(GLenum capability, bool on)
{
    CurrentState().SetEnabled(capability, on);
    if (OwnCapability(capability)) return;
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

}  // namespace

void web_glEnable(GLenum capability) { SetCapability(capability, true); }
void web_glDisable(GLenum capability) { SetCapability(capability, false); }
GLboolean web_glIsEnabled(GLenum capability) { return CurrentState().IsEnabled(capability) ? GL_TRUE : GL_FALSE; }

void web_glBlendFunc(GLenum source, GLenum destination)
{
    CurrentState().blendSource = source;
    CurrentState().blendDestination = destination;
    glBlendFunc(source, destination);
}

void web_glDepthFunc(GLenum function)
{
    CurrentState().depthFunction = function;
    glDepthFunc(function);
}

void web_glDepthMask(GLboolean flag)
{
    CurrentState().depthMask = flag != GL_FALSE;
    glDepthMask(flag);
}

void web_glCullFace(GLenum face)
{
    CurrentState().cullFace = face;
    glCullFace(face);
}

void web_glFrontFace(GLenum direction)
{
    CurrentState().frontFace = direction;
    glFrontFace(direction);
}

void web_glMatrixMode(GLenum mode)
{
    glshim::CurrentMatrixMode() = mode;
    glMatrixMode(mode);
}

void web_glPushAttrib(GLbitfield mask) { Stack().Push(mask, CurrentState()); }

void web_glPopAttrib()
{
    const glshim::FixedFunctionState before = CurrentState();
    glshim::FixedFunctionState after = before;
    if (!Stack().Pop(after)) return;
    for (const auto& entry : after.enabled)
        if (before.IsEnabled(entry.first) != entry.second) SetCapability(entry.first, entry.second);
    if (after.blendSource != before.blendSource || after.blendDestination != before.blendDestination)
        web_glBlendFunc(after.blendSource, after.blendDestination);
    if (after.depthFunction != before.depthFunction) web_glDepthFunc(after.depthFunction);
    if (after.depthMask != before.depthMask) web_glDepthMask(after.depthMask ? GL_TRUE : GL_FALSE);
    if (after.cullFace != before.cullFace) web_glCullFace(after.cullFace);
    if (after.frontFace != before.frontFace) web_glFrontFace(after.frontFace);
}

void web_glTexGeni(GLenum coordinate, GLenum name, GLint parameter)
{
    // Sphere maps are the only generation the program asks for; it is done per vertex in
    // gl_shim_primitives.cpp whenever both coordinates' generation is on.
    (void)coordinate;
    (void)name;
    (void)parameter;
}

void web_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                      GLenum format, GLenum type, const void* pixels)
{
    // WebGL takes only an internal format equal to the data's: GL_RGB8, GL_RGB5_A1 and the old
    // component counts become the format itself, which keeps the same colours at 8 bits.
    (void)internalFormat;
    glTexImage2D(target, level, GLint(format), width, height, border, format, type, pixels);
}

void web_glTexParameteri(GLenum target, GLenum name, GLint parameter)
{
    const GLint clamp = 0x2900;  // GL_CLAMP, gone from WebGL; edge clamping is what it shows without a border
    if ((name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) && parameter == clamp) parameter = GL_CLAMP_TO_EDGE;
    glTexParameteri(target, name, parameter);
}

void web_glActiveTextureARB(GLenum unit) { glActiveTexture(unit); }

void web_glMultiTexCoord2fARB(GLenum unit, GLfloat s, GLfloat t)
{
    // Only the first unit has coordinates of its own in the emulation's immediate mode.
    if (unit == GL_TEXTURE0) glTexCoord2f(s, t);
}
