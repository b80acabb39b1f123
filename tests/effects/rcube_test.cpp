// The twisted lattice: where its points land, its fade, the two kinds, and its GL state.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <memory>

#include "effects/rcube.h"
#include "tests/support/recorder.h"

namespace {

std::unique_ptr<CRCubeEffect> Lattice(int kind, int width = 640, int height = 480)
{
    auto lattice = std::make_unique<CRCubeEffect>();
    lattice->kind = kind;
    lattice->Init(width, height);
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

    // The first pair drawn joins [0][0][0] to [1][0][0].
    auto vertices = recorder::CallsNamed("glVertex3f");
    ASSERT_EQ(vertices.size(), 5400u);
    EXPECT_NEAR(vertices[0].Arg(0), -5.1244, 1e-4);
    EXPECT_NEAR(vertices[0].Arg(2), -4.8509, 1e-4);
    for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(vertices[1].Arg(axis), lattice->points[1][0][0][axis]);
    for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(vertices[3].Arg(axis), lattice->points[0][1][0][axis]);
    for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(vertices[5].Arg(axis), lattice->points[0][0][1][axis]);

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

    // Turning the rest lattice, not the last frame's, keeps the lattice's shape: distances from
    // the centre point are preserved.
    for (int frame = 0; frame < 20; ++frame) lattice->RenderFrame(16000 + 777 * frame);
    ExpectPoint(lattice->points[5][5][5], 0, 0, 0);
    const float* corner = lattice->points[9][9][9];
    EXPECT_NEAR(std::sqrt(corner[0] * corner[0] + corner[1] * corner[1] + corner[2] * corner[2]), std::sqrt(48.0f),
                1e-4);
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
    EXPECT_FLOAT_EQ(LevelAt(2000, *lattice), 0.5f);
    EXPECT_FLOAT_EQ(LevelAt(4000, *lattice), 1.0f);
    EXPECT_FLOAT_EQ(LevelAt(30000, *lattice), 1.0f);
    EXPECT_FLOAT_EQ(LevelAt(52000, *lattice), 1.0f);
    EXPECT_FLOAT_EQ(LevelAt(52001, *lattice), 1.0f - 1.0f / 4000.0f);
    EXPECT_FLOAT_EQ(LevelAt(54000, *lattice), 0.5f);
    EXPECT_FLOAT_EQ(LevelAt(56000, *lattice), 0.0f);
    EXPECT_FLOAT_EQ(LevelAt(60000, *lattice), -1.0f);

    // Colours across the lattice at full level: green falls with i, blue rises with k.
    recorder::Reset();
    lattice->RenderFrame(lattice->startTime + 10000);
    auto colours = recorder::CallsNamed("glColor4f");
    ASSERT_EQ(colours.size(), 1000u);
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

    for (int kind : {2, 0, 7}) {
        auto sheets = Lattice(kind);
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

TEST(RCubeEffect, UnsetKindDrawsSheets)
{
    CRCubeEffect lattice;
    lattice.Init(640, 480);
    recorder::Reset();
    lattice.RenderFrame(0);
    EXPECT_EQ(recorder::CallsNamed("glBegin").at(0).Arg(0), GL_QUAD_STRIP);
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
    EXPECT_EQ(calls[2].Arg(0), GL_SCISSOR_TEST);
    EXPECT_EQ(calls[3].Arg(0), GL_MODELVIEW);
    EXPECT_EQ(calls[6].Arg(0), GL_BLEND);
    EXPECT_EQ(calls[7].args, (std::vector<double>{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
    EXPECT_EQ(calls[8].Arg(0), 3);
    EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
              (std::vector<std::string>{"glEnd", "glPopMatrix", "glPopAttrib"}));
    EXPECT_EQ(recorder::Count("glLoadIdentity"), 0u);
    EXPECT_EQ(recorder::Count("glOrtho"), 0u);

    for (auto [width, height, bottom, band] : {std::tuple{800, 600, 120, 360}, std::tuple{1024, 768, 154, 460}}) {
        auto other = Lattice(2, width, height);
        recorder::Reset();
        other->RenderFrame(0);
        EXPECT_EQ(recorder::CallsNamed("glScissor").at(0).args,
                  (std::vector<double>{0, double(bottom), double(width), double(band)}));
    }
}

TEST(RCubeEffect, TwoInstancesKeepTheirOwnClocksAndLattices)
{
    auto lines = Lattice(1);
    auto sheets = Lattice(2);
    lines->RenderFrame(96000);
    lines->RenderFrame(110000);
    lines->RenderFrame(124000);
    sheets->RenderFrame(124000);
    EXPECT_EQ(lines->startTime, 96000);
    EXPECT_EQ(sheets->startTime, 124000);
    EXPECT_FLOAT_EQ(lines->angleX, 20.0f);
    EXPECT_FLOAT_EQ(sheets->angleX, 0.0f);
    EXPECT_NE(lines->points[9][9][9][0], sheets->points[9][9][9][0]);
}

}  // namespace
