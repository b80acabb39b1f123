// The arithmetic behind the fixed-function stand-ins: texture coordinates a sphere map gives a
// vertex, and the quad an aliased wide line covers. Plain math on column-major GL matrices, so
// it is the same on every system.
#pragma once

namespace glshim {

struct Vec4 {
    float x, y, z, w;
};

// The point M * v of a column-major 4x4 matrix and a point (w = 1).
Vec4 Transform(const float matrix[16], const float point[3]);
Vec4 Transform(const float matrix[16], const Vec4& point);
// The column-major product a * b.
void Multiply(const float a[16], const float b[16], float product[16]);

// The s and t a GL_SPHERE_MAP texture generation gives a vertex: the eye-space reflection of the
// view ray about the eye-space normal, mapped into the unit square.
void SphereMapCoordinates(const float modelview[16], const float normal[3], const float vertex[3], float& s,
                          float& t);

// The four clip-space corners of an aliased line of width pixels between two clip-space points
// in a viewport of the given size: widened across its minor axis (up and down for a line more
// wide than tall, sideways otherwise), in the order of a triangle fan.
void WideLineQuad(const Vec4& from, const Vec4& to, float viewportWidth, float viewportHeight, float width,
                  Vec4 corners[4]);

}  // namespace glshim
