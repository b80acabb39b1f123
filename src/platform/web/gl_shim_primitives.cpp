// The primitive stand-ins. The emulation's immediate mode packs attributes into one stream in the
// order they are called, so every vertex must carry the same ones: a normal given once per face
// or a colour given once per triangle would shift the stream and scatter the vertices. The shim
// therefore keeps GL's current colour, texture coordinate and normal itself, collects a primitive
// up to glEnd, and hands it on with every attribute on every vertex. On the way it draws a quad
// strip as triangles, computes sphere-map coordinates from the normals, and draws wide lines as
// quads.
#include <vector>

#include "platform/web/gl_shim.h"
#include "platform/web/gl_shim_geometry.h"
#include "platform/web/gl_shim_internal.h"

namespace {

struct Vertex {
    float position[3];
    float colour[4];
    float texCoord[2];
};

struct Primitive {
    // GL's current attributes, as the program last set them.
    float colour[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float texCoord[2] = {0, 0};
    float lineWidth = 1;
    // The primitive being collected between glBegin and glEnd.
    bool open = false;
    GLenum mode = GL_POINTS;
    bool colourInside = false, texCoordInside = false;
    bool sphereMap = false;
    float modelview[16] = {};
    std::vector<Vertex> vertices;
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

// The attributes one vertex carries, in the same order for every vertex of the primitive.
void EmitAttributes(const Primitive& primitive, const Vertex& vertex)
{
    if (primitive.colourInside)
        glColor4f(vertex.colour[0], vertex.colour[1], vertex.colour[2], vertex.colour[3]);
    if (primitive.sphereMap) {
        float s, t;
        glshim::SphereMapCoordinates(primitive.modelview, primitive.normal, vertex.position, s, t);
        glTexCoord2f(s, t);
    } else if (primitive.texCoordInside) {
        glTexCoord2f(vertex.texCoord[0], vertex.texCoord[1]);
    }
}

// Lines wider than a pixel as quads in clip space, drawn with identity matrices.
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
    const std::vector<Vertex>& vertices = primitive.vertices;
    for (size_t i = 0; i + 1 < vertices.size(); i += 2) {
        glshim::Vec4 corners[4];
        glshim::WideLineQuad(glshim::Transform(both, vertices[i].position),
                             glshim::Transform(both, vertices[i + 1].position), float(viewport[2]),
                             float(viewport[3]), primitive.lineWidth, corners);
        for (int corner = 0; corner < 4; ++corner) {
            EmitAttributes(primitive, vertices[i + (corner == 1 || corner == 2 ? 1 : 0)]);
            glVertex4f(corners[corner].x, corners[corner].y, corners[corner].z, corners[corner].w);
        }
    }
    glEnd();
    PopFrom(GL_MODELVIEW);
    PopFrom(GL_PROJECTION);
    glMatrixMode(glshim::CurrentMatrixMode());
}

void Emit(const Primitive& primitive, const Vertex& vertex)
{
    EmitAttributes(primitive, vertex);
    glVertex3f(vertex.position[0], vertex.position[1], vertex.position[2]);
}

// Quad k of a strip has the corners 2k, 2k+1, 2k+3, 2k+2 in order around it. Its two triangles
// share the diagonal from its first corner, as in the GL the piece was made on: a lattice's
// quads are not flat, and the other diagonal folds them the other way.
void DrawQuadStrip(const Primitive& primitive)
{
    const std::vector<Vertex>& vertices = primitive.vertices;
    glBegin(GL_TRIANGLES);
    for (size_t first = 0; first + 3 < vertices.size(); first += 2)
        for (size_t corner : {first, first + 1, first + 3, first, first + 3, first + 2})
            Emit(primitive, vertices[corner]);
    glEnd();
}

void DrawCollected(const Primitive& primitive)
{
    if (primitive.mode == GL_QUAD_STRIP) return DrawQuadStrip(primitive);
    glBegin(primitive.mode);
    for (const Vertex& vertex : primitive.vertices) Emit(primitive, vertex);
    glEnd();
}

}  // namespace

void web_glLineWidth(GLfloat width) { Current().lineWidth = width > 0 ? width : 1; }

void web_glBegin(GLenum mode)
{
    Primitive& primitive = Current();
    primitive.open = true;
    primitive.mode = mode;
    primitive.colourInside = primitive.texCoordInside = false;
    primitive.vertices.clear();
    primitive.sphereMap = SphereMapOn();
    if (primitive.sphereMap) glGetFloatv(GL_MODELVIEW_MATRIX, primitive.modelview);
}

void web_glEnd()
{
    Primitive& primitive = Current();
    if (!primitive.open) return;
    primitive.open = false;
    if (!primitive.vertices.empty()) {
        if (primitive.mode == GL_LINES && primitive.lineWidth > 1)
            DrawWideLines(primitive);
        else
            DrawCollected(primitive);
    }
    // A colour set inside the primitive stays current after it, as in GL; the emulation keeps
    // only colours set outside.
    if (primitive.colourInside)
        glColor4f(primitive.colour[0], primitive.colour[1], primitive.colour[2], primitive.colour[3]);
}

void web_glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    Primitive& primitive = Current();
    if (!primitive.open) return;
    primitive.vertices.push_back(Vertex{{x, y, z},
                                        {primitive.colour[0], primitive.colour[1], primitive.colour[2],
                                         primitive.colour[3]},
                                        {primitive.texCoord[0], primitive.texCoord[1]}});
}

void web_glVertex3fv(const GLfloat* vertex) { web_glVertex3f(vertex[0], vertex[1], vertex[2]); }

void web_glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    // Fixed-function GL clamps the current colour before it is textured and blended.
    Primitive& primitive = Current();
    primitive.colour[0] = Clamped(red);
    primitive.colour[1] = Clamped(green);
    primitive.colour[2] = Clamped(blue);
    primitive.colour[3] = Clamped(alpha);
    if (primitive.open)
        primitive.colourInside = true;
    else
        glColor4f(primitive.colour[0], primitive.colour[1], primitive.colour[2], primitive.colour[3]);
}

void web_glNormal3fv(const GLfloat* normal)
{
    // Normals feed only the sphere map here: nothing is lit.
    for (int axis = 0; axis < 3; ++axis) Current().normal[axis] = normal[axis];
}

void web_glTexCoord2f(GLfloat s, GLfloat t)
{
    Primitive& primitive = Current();
    primitive.texCoord[0] = s;
    primitive.texCoord[1] = t;
    if (primitive.open) primitive.texCoordInside = true;
}
