// The primitive stand-ins: a quad strip drawn as the triangle strip of the same vertices, sphere
// map coordinates computed per vertex from the normal, and wide lines drawn as quads.
#include <vector>

#include "platform/web/gl_shim.h"
#include "platform/web/gl_shim_geometry.h"
#include "platform/web/gl_shim_internal.h"

namespace {

struct LineVertex {
    float position[3];
    float colour[4];
    float texCoord[2];
};

struct Primitive {
    float colour[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float texCoord[2] = {0, 0};
    float lineWidth = 1;
    // Inside glBegin: sphere-mapped coordinates from this model-view, or a wide line's vertices.
    bool sphereMap = false;
    float modelview[16] = {};
    bool wideLines = false;
    std::vector<LineVertex> lineVertices;
};

Primitive& Current()
{
    static Primitive primitive;
    return primitive;
}

float Clamped(float value) { return value < 0 ? 0 : value > 1 ? 1 : value; }

bool SphereMapOn()
{
    const glshim::FixedFunctionState& state = glshim::CurrentState();
    return state.IsEnabled(GL_TEXTURE_GEN_S) && state.IsEnabled(GL_TEXTURE_GEN_T);
}

void LoadIdentityInto(GLenum mode)
{
    glMatrixMode(mode);
    glPushMatrix();
    glLoadIdentity();
}

void PopFrom(GLenum mode)
{
    glMatrixMode(mode);
    glPopMatrix();
}

// The collected lines as quads in clip space, drawn with identity matrices.
void DrawWideLines(const Primitive& primitive)
{
    float modelview[16], projection[16], both[16];
    GLint viewport[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glshim::Multiply(projection, modelview, both);

    LoadIdentityInto(GL_PROJECTION);
    LoadIdentityInto(GL_MODELVIEW);
    glBegin(GL_QUADS);
    const std::vector<LineVertex>& vertices = primitive.lineVertices;
    for (size_t i = 0; i + 1 < vertices.size(); i += 2) {
        const LineVertex* ends[2] = {&vertices[i], &vertices[i + 1]};
        glshim::Vec4 corners[4];
        glshim::WideLineQuad(glshim::Transform(both, ends[0]->position), glshim::Transform(both, ends[1]->position),
                             float(viewport[2]), float(viewport[3]), primitive.lineWidth, corners);
        for (int corner = 0; corner < 4; ++corner) {
            const LineVertex& end = *ends[corner == 1 || corner == 2 ? 1 : 0];
            glColor4f(end.colour[0], end.colour[1], end.colour[2], end.colour[3]);
            glTexCoord2f(end.texCoord[0], end.texCoord[1]);
            glVertex4f(corners[corner].x, corners[corner].y, corners[corner].z, corners[corner].w);
        }
    }
    glEnd();
    PopFrom(GL_MODELVIEW);
    PopFrom(GL_PROJECTION);
    glMatrixMode(glshim::CurrentMatrixMode());
}

}  // namespace

void web_glLineWidth(GLfloat width) { Current().lineWidth = width > 0 ? width : 1; }

void web_glBegin(GLenum mode)
{
    Primitive& primitive = Current();
    primitive.wideLines = mode == GL_LINES && primitive.lineWidth > 1;
    if (primitive.wideLines) {
        primitive.lineVertices.clear();
        return;
    }
    primitive.sphereMap = SphereMapOn();
    if (primitive.sphereMap) glGetFloatv(GL_MODELVIEW_MATRIX, primitive.modelview);
    // A quad strip's vertices, taken as a triangle strip, cover the same quads.
    glBegin(mode == GL_QUAD_STRIP ? GL_TRIANGLE_STRIP : mode);
}

void web_glEnd()
{
    Primitive& primitive = Current();
    if (primitive.wideLines) {
        primitive.wideLines = false;
        DrawWideLines(primitive);
        return;
    }
    primitive.sphereMap = false;
    glEnd();
}

void web_glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    Primitive& primitive = Current();
    if (primitive.wideLines) {
        LineVertex vertex{{x, y, z},
                          {primitive.colour[0], primitive.colour[1], primitive.colour[2], primitive.colour[3]},
                          {primitive.texCoord[0], primitive.texCoord[1]}};
        primitive.lineVertices.push_back(vertex);
        return;
    }
    if (primitive.sphereMap) {
        const float position[3] = {x, y, z};
        float s, t;
        glshim::SphereMapCoordinates(primitive.modelview, primitive.normal, position, s, t);
        glTexCoord2f(s, t);
    }
    glVertex3f(x, y, z);
}

void web_glVertex3fv(const GLfloat* vertex) { web_glVertex3f(vertex[0], vertex[1], vertex[2]); }

void web_glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    // Fixed-function GL clamps the current colour before it is textured and blended; the
    // emulation's shaders would carry an overshoot through to the texture's product.
    red = Clamped(red);
    green = Clamped(green);
    blue = Clamped(blue);
    alpha = Clamped(alpha);
    Primitive& primitive = Current();
    primitive.colour[0] = red;
    primitive.colour[1] = green;
    primitive.colour[2] = blue;
    primitive.colour[3] = alpha;
    if (!primitive.wideLines) glColor4f(red, green, blue, alpha);
}

void web_glNormal3fv(const GLfloat* normal)
{
    Primitive& primitive = Current();
    for (int axis = 0; axis < 3; ++axis) primitive.normal[axis] = normal[axis];
    glNormal3fv(normal);
}

void web_glTexCoord2f(GLfloat s, GLfloat t)
{
    Primitive& primitive = Current();
    primitive.texCoord[0] = s;
    primitive.texCoord[1] = t;
    if (!primitive.wideLines && !primitive.sphereMap) glTexCoord2f(s, t);
}
