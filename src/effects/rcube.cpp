// RCUBE, RCUBE2: a translucent lattice of 9 x 9 x 9 cells that tumbles and twists, each layer
// turned a little more than the last; lines far away, or coloured sheets swinging in depth. It
// rises from black over 4 s and sinks back to black 52 to 56 s after it began.
#include "effects/rcube.h"

#include <GL/gl.h>

#include <cmath>

#include "effects/overlay.h"

namespace {

constexpr int kLines = 1;
constexpr float kLineDepth = -15.0f;
constexpr float kFadeInMs = 4000.0f;
constexpr LONG kFadeOutAfter = 52000;
constexpr float kFadeOutMs = 4000.0f;
constexpr float kAlpha = 0.1f;

// Each layer index turns its points by a thirtieth of a radian more.
float LayerTwist(int index) { return static_cast<float>(index - 5) / 30.0f; }

void EmitPair(const float* from, const float* to)
{
    glVertex3f(from[0], from[1], from[2]);
    glVertex3f(to[0], to[1], to[2]);
}

}  // namespace

// Without the start-up's word the lattice draws as sheets, as every kind but 1 does.
CRCubeEffect::CRCubeEffect()
    : kind(2), width(0), height(0), startTime(-1), angleX(0), angleY(0), angleZ(0), basePoints(), points(), scratch()
{
}

CRCubeEffect::~CRCubeEffect() = default;

int CRCubeEffect::Init(int width, int height)
{
    this->width = width;
    this->height = height;
    startTime = -1;
    angleX = angleY = angleZ = 0;
    for (int i = 0; i < kLatticeSide; ++i)
        for (int j = 0; j < kLatticeSide; ++j)
            for (int k = 0; k < kLatticeSide; ++k) {
                basePoints[i][j][k][0] = static_cast<float>(i - 5);
                basePoints[i][j][k][1] = static_cast<float>(j - 5);
                basePoints[i][j][k][2] = static_cast<float>(k - 5);
            }
    return 0;
}

void CRCubeEffect::Prepare() {}

// The points drawn in a frame are turned by the angles the previous frame computed.
void CRCubeEffect::RenderFrame(LONG time)
{
    if (startTime < 0) startTime = time;

    for (int i = 0; i < kLatticeSide; ++i)
        for (int j = 0; j < kLatticeSide; ++j)
            for (int k = 0; k < kLatticeSide; ++k) {
                float* point = points[i][j][k];
                point[0] = basePoints[i][j][k][0];
                point[1] = basePoints[i][j][k][1];
                point[2] = basePoints[i][j][k][2];

                // Each turn computes both new coordinates from the old ones, the first kept aside.
                float a = angleX - LayerTwist(i), cosA = std::cos(a), sinA = std::sin(a);
                scratch[1] = cosA * point[1] - sinA * point[2];
                point[2] = sinA * point[1] + cosA * point[2];
                point[1] = scratch[1];

                float b = angleY - LayerTwist(j), cosB = std::cos(b), sinB = std::sin(b);
                scratch[2] = cosB * point[2] - sinB * point[0];
                point[0] = sinB * point[2] + cosB * point[0];
                point[2] = scratch[2];

                float c = angleZ - LayerTwist(k), cosC = std::cos(c), sinC = std::sin(c);
                scratch[0] = cosC * point[0] - sinC * point[1];
                point[1] = sinC * point[0] + cosC * point[1];
                point[0] = scratch[0];
            }

    LONG elapsed = time - startTime;
    angleX = elapsed / 1400.0f;
    angleY = elapsed / 1700.0f;
    angleZ = elapsed / 2000.0f;

    glPushAttrib(GL_ENABLE_BIT);
    EnableLetterboxScissor(width, height);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (kind == kLines)
        glTranslatef(0, 0, kLineDepth);
    else
        glTranslatef(0, 0, 4 * std::sin(elapsed / 2000.0f) - 5);
    glEnable(GL_BLEND);
    Draw(time);
    glPopMatrix();
    glPopAttrib();
}

// One primitive run for the whole lattice: every point is joined to its next neighbour along each
// axis, both ends in the colour of the point the pair starts from.
void CRCubeEffect::Draw(LONG time)
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(3);
    glBegin(kind == kLines ? GL_LINES : GL_QUAD_STRIP);

    // The fade is not clamped below: past 56 s the lattice is black and only darkens.
    LONG elapsed = time - startTime;
    float level;
    if (elapsed > kFadeOutAfter) {
        level = 1 - (elapsed - kFadeOutAfter) / kFadeOutMs;
    } else {
        level = elapsed / kFadeInMs;
        if (level > 1) level = 1;
    }

    const int last = kLatticeSide - 1;
    for (int i = 0; i < kLatticeSide; ++i)
        for (int j = 0; j < kLatticeSide; ++j)
            for (int k = 0; k < kLatticeSide; ++k) {
                const float* point = points[i][j][k];
                glColor4f(0.2f * level, (1 - i / 10.0f) * level, (k / 10.0f) * level, kAlpha);
                if (i < last) EmitPair(point, points[i + 1][j][k]);
                if (j < last) EmitPair(point, points[i][j + 1][k]);
                if (k < last) EmitPair(point, points[i][j][k + 1]);
            }
    glEnd();
}

void CRCubeEffect::End() {}
