// The twisted lattice: where its points land, its fade, the two kinds, and its GL state.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <memory>

#include "effects/rcube.h"
#include "tests/support/recorder.h"

namespace {

// A kind of 0 leaves the one the object was constructed with.
std::unique_ptr<CRCubeEffect> Lattice(int kind)
{
    auto lattice = std::make_unique<CRCubeEffect>();
    if (kind != 0) lattice->kind = kind;
    lattice->Init(640, 480);
    return lattice;
}

void ExpectPoint(const float* point, float x, float y, float z)
{
    EXPECT_TRUE(std::fabs(point[0] - x) < 1e-4 && std::fabs(point[1] - y) < 1e-4 && std::fabs(point[2] - z) < 1e-4)
        << point[0] << ", " << point[1] << ", " << point[2];
}

TEST(RCubeEffect, FirstFrameTurnsEachLayerByItsTwistOnly)
{
    auto lattice = Lattice(1);
    recorder::Frame(*lattice, 96000);
    ExpectPoint(lattice->points[5][0][0], 0.0115f, -5.0683f, -4.9307f);
    ExpectPoint(lattice->points[0][0][0], -5.1244f, -5.0209f, -4.8509f);

    // Each point is joined to its next neighbour along i, then j, then k.
    auto vertices = recorder::CallsNamed("glVertex3f");
    ASSERT_EQ(vertices.size(), 5400u);
    EXPECT_FLOAT_EQ(vertices[5].Arg(2), lattice->points[0][0][1][2]);
}

TEST(RCubeEffect, PointsUseTheAnglesOfThePreviousFrame)
{
    auto lattice = Lattice(1);
    lattice->RenderFrame(1000);
    float firstFrame[3] = {lattice->points[9][2][7][0], lattice->points[9][2][7][1], lattice->points[9][2][7][2]};
    lattice->RenderFrame(1000 + 14000);
    ExpectPoint(lattice->points[9][2][7], firstFrame[0], firstFrame[1], firstFrame[2]);
}

TEST(RCubeEffect, FadesInOverFourSecondsAndOutBetween52And56)
{
    auto lattice = Lattice(2);
    lattice->RenderFrame(124000);
    // The green of a point with i = 0 is exactly the level.
    for (auto [age, level] : {std::pair{0, 0.0f}, std::pair{4000, 1.0f}, std::pair{52000, 1.0f},
                              std::pair{52001, 1.0f - 1.0f / 4000.0f}, std::pair{56000, 0.0f}, std::pair{60000, -1.0f}})
        EXPECT_FLOAT_EQ(recorder::ColourAt(*lattice, 124000 + age, 1), level) << age;

    // At full level green falls with i and blue rises with k: the tenth point is i = 0, k = 9.
    recorder::Frame(*lattice, lattice->startTime + 10000);
    EXPECT_EQ(recorder::CallsNamed("glColor4f").at(9).args, (std::vector<double>{0.2f, 1, 0.9f, 0.1f}));
}

TEST(RCubeEffect, KindOneDrawsDistantLinesOtherKindsMovingSheets)
{
    auto lines = Lattice(1);
    recorder::Reset();
    lines->RenderFrame(5000);
    lines->RenderFrame(20000);
    for (const auto& translation : recorder::CallsNamed("glTranslatef"))
        EXPECT_EQ(translation.args, (std::vector<double>{0, 0, -15}));
    EXPECT_EQ(recorder::CallsNamed("glBegin").at(0).Arg(0), GL_LINES);

    for (int kind : {7, 0}) {  // any kind but 1, and the kind before the start-up writes one
        auto sheets = Lattice(kind);
        recorder::Reset();
        sheets->RenderFrame(5000);
        sheets->RenderFrame(5000 + 3142);  // a quarter period (1000 pi ms): nearest the viewer
        auto translations = recorder::CallsNamed("glTranslatef");
        EXPECT_FLOAT_EQ(translations[0].Arg(2), -5.0f) << "kind " << kind;
        EXPECT_NEAR(translations[1].Arg(2), -1.0, 1e-5);
        EXPECT_EQ(recorder::CallsNamed("glBegin").at(0).Arg(0), GL_QUAD_STRIP);
    }
}

TEST(RCubeEffect, DrawsInTheModelViewItFindsAndRestoresEnablesAndMatrix)
{
    auto lattice = Lattice(1);
    recorder::Frame(*lattice, 0);
    const std::string transcript = recorder::Transcript();
    const std::string setUp = "glPushAttrib(8192) glScissor(0,96,640,288) glEnable(3089) glMatrixMode(5888) "
                              "glPushMatrix glTranslatef(0,0,-15) glEnable(3042) glBlendFunc(770,771) "
                              "glLineWidth(3) glBegin(1) glColor4f(";
    const std::string restore = "glEnd glPopMatrix glPopAttrib";
    EXPECT_EQ(transcript.substr(0, setUp.size()), setUp);
    EXPECT_EQ(transcript.substr(transcript.size() - restore.size()), restore);
    EXPECT_EQ(recorder::Count("glLoadIdentity"), 0u);
}

}  // namespace
