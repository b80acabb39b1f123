// The twisted lattice: where its points land, its fade, the two kinds, and its GL state.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>

#include "effects/rcube.h"
#include "tests/support/recorder.h"

namespace {

std::unique_ptr<CRCubeEffect> Lattice(int kind)
{
    auto lattice = std::make_unique<CRCubeEffect>();
    lattice->kind = kind;
    lattice->Init(640, 480);
    return lattice;
}

void ExpectPoint(const float* point, float x, float y, float z)
{
    EXPECT_NEAR(point[0], x, 1e-4);
    EXPECT_NEAR(point[1], y, 1e-4);
    EXPECT_NEAR(point[2], z, 1e-4);
}

TEST(RCubeEffect, FirstFrameTurnsEachLayerByItsTwistOnly)
{
    auto lattice = Lattice(1);
    recorder::Reset();
    lattice->RenderFrame(96000);
    ExpectPoint(lattice->points[5][5][5], 0, 0, 0);
    ExpectPoint(lattice->points[5][0][0], 0.0115f, -5.0683f, -4.9307f);
    ExpectPoint(lattice->points[0][0][0], -5.1244f, -5.0209f, -4.8509f);

    // Each point is joined to its next neighbour along i, then j, then k.
    auto vertices = recorder::CallsNamed("glVertex3f");
    ASSERT_EQ(vertices.size(), 5400u);
    EXPECT_FLOAT_EQ(vertices[5].Arg(2), lattice->points[0][0][1][2]);

    for (const auto& colour : recorder::CallsNamed("glColor4f"))
        ASSERT_EQ(colour.args, (std::vector<double>{0, 0, 0, 0.1f})) << "black at alpha 0.1 on the first frame";
}

TEST(RCubeEffect, PointsUseTheAnglesOfThePreviousFrame)
{
    auto lattice = Lattice(1);
    lattice->RenderFrame(1000);
    float firstFrame[3] = {lattice->points[9][2][7][0], lattice->points[9][2][7][1], lattice->points[9][2][7][2]};
    lattice->RenderFrame(1000 + 14000);
    ExpectPoint(lattice->points[9][2][7], firstFrame[0], firstFrame[1], firstFrame[2]);
    EXPECT_FLOAT_EQ(lattice->angleX, 10.0f);
    EXPECT_FLOAT_EQ(lattice->angleY, 14000 / 1700.0f);
    EXPECT_FLOAT_EQ(lattice->angleZ, 7.0f);
}

// The fade level of the frame at the given age: the green of a point with i = 0 is exactly it.
float LevelAt(LONG age, CRCubeEffect& lattice)
{
    recorder::Reset();
    lattice.RenderFrame(lattice.startTime + age);
    return static_cast<float>(recorder::CallsNamed("glColor4f").at(0).Arg(1));
}

TEST(RCubeEffect, FadesInOverFourSecondsAndOutBetween52And56)
{
    auto lattice = Lattice(2);
    lattice->RenderFrame(124000);
    EXPECT_FLOAT_EQ(LevelAt(0, *lattice), 0.0f);
    EXPECT_FLOAT_EQ(LevelAt(4000, *lattice), 1.0f);
    EXPECT_FLOAT_EQ(LevelAt(52000, *lattice), 1.0f);
    EXPECT_FLOAT_EQ(LevelAt(52001, *lattice), 1.0f - 1.0f / 4000.0f);
    EXPECT_FLOAT_EQ(LevelAt(56000, *lattice), 0.0f);
    EXPECT_FLOAT_EQ(LevelAt(60000, *lattice), -1.0f);

    // Colours across the lattice at full level: green falls with i, blue rises with k.
    recorder::Reset();
    lattice->RenderFrame(lattice->startTime + 10000);
    auto colours = recorder::CallsNamed("glColor4f");
    EXPECT_EQ(colours[999].args, (std::vector<double>{0.2f, 1 - 0.9f, 0.9f, 0.1f}));
    EXPECT_EQ(colours[9].args, (std::vector<double>{0.2f, 1, 0.9f, 0.1f}));
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

    for (int kind : {2, 0, 7, -1}) {
        auto sheets = Lattice(kind);
        if (kind < 0) {  // as constructed, before the start-up writes a kind
            sheets = std::make_unique<CRCubeEffect>();
            sheets->Init(640, 480);
        }
        recorder::Reset();
        sheets->RenderFrame(5000);
        sheets->RenderFrame(5000 + 3142);  // a quarter period (1000 pi ms): nearest the viewer
        sheets->RenderFrame(5000 + 9425);  // three quarters: farthest
        auto translations = recorder::CallsNamed("glTranslatef");
        EXPECT_FLOAT_EQ(translations[0].Arg(2), -5.0f) << "kind " << kind;
        EXPECT_NEAR(translations[1].Arg(2), -1.0, 1e-5);
        EXPECT_NEAR(translations[2].Arg(2), -9.0, 1e-5);
        EXPECT_EQ(recorder::CallsNamed("glBegin").at(0).Arg(0), GL_QUAD_STRIP);
        EXPECT_EQ(recorder::Count("glVertex3f"), 3 * 5400u);
    }
}

TEST(RCubeEffect, DrawsInTheModelViewItFindsAndRestoresEnablesAndMatrix)
{
    auto lattice = Lattice(1);
    recorder::Reset();
    lattice->RenderFrame(0);
    std::vector<std::string> names = recorder::Names();
    std::vector<std::string> setUp(names.begin(), names.begin() + 11);
    EXPECT_EQ(setUp, (std::vector<std::string>{"glPushAttrib", "glScissor", "glEnable", "glMatrixMode",
                                               "glPushMatrix", "glTranslatef", "glEnable", "glBlendFunc",
                                               "glLineWidth", "glBegin", "glColor4f"}));
    const auto& calls = recorder::Calls();
    EXPECT_EQ(calls[0].Arg(0), GL_ENABLE_BIT);
    EXPECT_EQ(calls[1].args, (std::vector<double>{0, 96, 640, 288}));
    EXPECT_EQ(calls[7].args, (std::vector<double>{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
    EXPECT_EQ(calls[8].Arg(0), 3);
    EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
              (std::vector<std::string>{"glEnd", "glPopMatrix", "glPopAttrib"}));
    EXPECT_EQ(recorder::Count("glLoadIdentity"), 0u);

}

}  // namespace
