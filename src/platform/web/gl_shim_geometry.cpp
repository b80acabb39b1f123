#include "platform/web/gl_shim_geometry.h"

#include <cmath>

namespace glshim {

Vec4 Transform(const float m[16], const Vec4& p)
{
    return Vec4{m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12] * p.w, m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13] * p.w,
                m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14] * p.w,
                m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15] * p.w};
}

Vec4 Transform(const float m[16], const float point[3]) { return Transform(m, Vec4{point[0], point[1], point[2], 1}); }

void Multiply(const float a[16], const float b[16], float product[16])
{
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
            product[column * 4 + row] = sum;
        }
}

void SphereMapCoordinates(const float m[16], const float normal[3], const float vertex[3], float& s, float& t)
{
    // Normals go through the inverse transpose of the model-view's upper 3x3: its cofactors, up to
    // a scale that the normalisation below removes.
    const float a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6], i = m[10];
    const float cofactor[3][3] = {{e * i - f * h, f * g - d * i, d * h - e * g},
                                  {c * h - b * i, a * i - c * g, b * g - a * h},
                                  {b * f - c * e, c * d - a * f, a * e - b * d}};
    float n[3];
    for (int row = 0; row < 3; ++row)
        n[row] = cofactor[row][0] * normal[0] + cofactor[row][1] * normal[1] + cofactor[row][2] * normal[2];
    const float determinant = a * cofactor[0][0] + b * cofactor[0][1] + c * cofactor[0][2];
    if (determinant < 0)
        for (float& component : n) component = -component;
    const float nLength = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (nLength > 0)
        for (float& component : n) component /= nLength;

    const Vec4 eye = Transform(m, vertex);
    float u[3] = {eye.x, eye.y, eye.z};
    const float uLength = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    if (uLength > 0)
        for (float& component : u) component /= uLength;

    const float along = n[0] * u[0] + n[1] * u[1] + n[2] * u[2];
    const float r[3] = {u[0] - 2 * n[0] * along, u[1] - 2 * n[1] * along, u[2] - 2 * n[2] * along};
    const float scale = 2 * std::sqrt(r[0] * r[0] + r[1] * r[1] + (r[2] + 1) * (r[2] + 1));
    // A reflection straight back at the viewer has no place on the map; GL leaves it undefined.
    s = scale > 0 ? r[0] / scale + 0.5f : 0.5f;
    t = scale > 0 ? r[1] / scale + 0.5f : 0.5f;
}

void WideLineQuad(const Vec4& from, const Vec4& to, float viewportWidth, float viewportHeight, float width,
                  Vec4 corners[4])
{
    // Compare the line's extent in pixels; points behind the eye are left to the clipper.
    const float fromW = from.w != 0 ? from.w : 1, toW = to.w != 0 ? to.w : 1;
    const float dx = (to.x / toW - from.x / fromW) * viewportWidth;
    const float dy = (to.y / toW - from.y / fromW) * viewportHeight;
    const bool wide = std::fabs(dx) >= std::fabs(dy);
    // Half the width in normalised device units along the minor axis.
    const float half = width / (wide ? viewportHeight : viewportWidth);
    const float offsetX = wide ? 0 : half, offsetY = wide ? half : 0;
    corners[0] = Vec4{from.x - offsetX * from.w, from.y - offsetY * from.w, from.z, from.w};
    corners[1] = Vec4{to.x - offsetX * to.w, to.y - offsetY * to.w, to.z, to.w};
    corners[2] = Vec4{to.x + offsetX * to.w, to.y + offsetY * to.w, to.z, to.w};
    corners[3] = Vec4{from.x + offsetX * from.w, from.y + offsetY * from.w, from.z, from.w};
}

}  // namespace glshim
