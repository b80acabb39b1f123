// The real host on Mesa's software renderer, in this process: small timelines and archives made
// here, frames captured to PNG and read back.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstring>

#include "effects/control.h"
#include "host/demogl.h"
#include "tests/support/test_files.h"

namespace {

// Paints the whole frame white with a scissor-free clear: a mark the next frames can be checked for.
class WhiteMarkEffect : public CEffect {
public:
    void RenderFrame(LONG) override
    {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);
    }
};

// Shows one picture of the archive over the whole frame, texture (0, 0) at the bottom left.
class PictureEffect : public CEffect {
public:
    explicit PictureEffect(const char* path) : path_(path) {}
    int Init(int, int) override
    {
        texture_ = DEMOGL_TextureLoad(path_, 3, 0, 0x2901, 0x2901, 0x2600, 0x2600, false, false, 0, 0, 2);
        return 0;
    }
    void Prepare() override { DEMOGL_TextureUpload(texture_); }
    void RenderFrame(LONG) override
    {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1, 1, 1, 1);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0), glVertex3f(0, 0, 0);
        glTexCoord2f(1, 0), glVertex3f(1, 0, 0);
        glTexCoord2f(1, 1), glVertex3f(1, 1, 0);
        glTexCoord2f(0, 1), glVertex3f(0, 1, 0);
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }
    void End() override { DEMOGL_TextureDelete(texture_); }

private:
    const char* path_;
    unsigned int texture_ = 0;
};

SStartupDat QuietStartup()
{
    SStartupDat startup{};
    std::strncpy(startup.demoName, "Test", sizeof startup.demoName);
    std::strncpy(startup.groupName, "Tests", sizeof startup.groupName);
    startup.renderSizePreset = 0;
    startup.timelineFromArchive = true;
    return startup;
}

// Runs the host headless with an archive holding the timeline and pictures; returns its status.
int RunHost(const std::string& folder, const std::string& timeline,
            std::map<std::string, std::vector<std::uint8_t>> pictures = {})
{
    pictures["timeline.txt"] = Bytes(timeline);
    const std::string archive = folder + "/data.zip";
    WriteZip(archive, pictures);
    std::vector<std::string> arguments = {"tarnelvois", "--headless", "--size", "64x48", "--fps", "10",
                                          "--data", archive, "--capture", folder + "/frames"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    PlatformInstance instance;
    instance.argumentCount = int(argv.size());
    instance.arguments = argv.data();
    instance.executablePath = argv[0];
    SStartupDat startup = QuietStartup();
    int status = DEMOGL_AppRun(&instance, &startup, "Test", false, 0, 0, 1);
    DEMOGL_AppEnd();
    return status;
}

bool IsColour(const Picture& picture, int x, int y, int r, int g, int b)
{
    const std::uint8_t* pixel = picture.At(x, y);
    return std::abs(pixel[0] - r) <= 2 && std::abs(pixel[1] - g) <= 2 && std::abs(pixel[2] - b) <= 2;
}

TEST(HostRender, ControlClearsEveryFrameAndColorOffKeepsThePreviousOne)
{
    for (bool colourOff : {false, true}) {
        const std::string folder = TemporaryFolder(colourOff ? "colour-off" : "clear");
        CControlEffect control;
        WhiteMarkEffect mark;
        ASSERT_EQ(DEMOGL_EffectRegister(&control, "CONTROL"), 0);
        ASSERT_EQ(DEMOGL_EffectRegister(&mark, "MARK"), 0);
        std::string timeline = "0 start CONTROL 0\n0 start MARK 5\n50 stop MARK\n";
        if (colourOff) timeline += "60 param CONTROL \"COLOR OFF\"\n";
        timeline += "300 end\n";
        ASSERT_EQ(RunHost(folder, timeline), 0);

        Picture first = ReadPng(folder + "/frames/frame-000000.png");
        Picture second = ReadPng(folder + "/frames/frame-000001.png");
        ASSERT_EQ(first.width, 64);
        ASSERT_EQ(second.height, 48);
        EXPECT_TRUE(IsColour(first, 10, 10, 255, 255, 255));
        if (colourOff)
            EXPECT_TRUE(IsColour(second, 10, 10, 255, 255, 255)) << "a frame that is not cleared keeps the last one";
        else
            EXPECT_TRUE(IsColour(second, 10, 10, 0, 0, 0));
    }
}

TEST(HostRender, PicturesShowUprightAndMissingOnesBlack)
{
    const std::string folder = TemporaryFolder("upright");
    // Top half red, bottom half blue, as seen.
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            pixels.push_back(y < 2 ? 255 : 0);
            pixels.push_back(0);
            pixels.push_back(y < 2 ? 0 : 255);
        }
    CControlEffect control;
    PictureEffect picture("demotex\\Test.tga");
    PictureEffect missing("demotex\\missing.tga");
    DEMOGL_EffectRegister(&control, "CONTROL");
    DEMOGL_EffectRegister(&picture, "PICTURE");
    DEMOGL_EffectRegister(&missing, "MISSING");
    const std::string timeline =
        "0 start CONTROL 0\n0 start PICTURE 1\n150 stop PICTURE\n150 start MISSING 1\n300 end\n";
    ASSERT_EQ(RunHost(folder, timeline, {{"demotex/test.tga", MakeTga(4, 4, pixels)}}), 0);

    Picture shown = ReadPng(folder + "/frames/frame-000000.png");
    ASSERT_EQ(shown.width, 64);
    EXPECT_TRUE(IsColour(shown, 32, 2, 255, 0, 0)) << "the picture's top row belongs at the top";
    EXPECT_TRUE(IsColour(shown, 32, 45, 0, 0, 255));
    Picture black = ReadPng(folder + "/frames/frame-000002.png");
    ASSERT_EQ(black.width, 64);
    EXPECT_TRUE(IsColour(black, 32, 2, 0, 0, 0)) << "a missing picture is drawn black, never white";
}

TEST(HostRender, RegisteringTwiceOrNothingIsRefused)
{
    CControlEffect control;
    EXPECT_EQ(DEMOGL_EffectRegister(&control, "CONTROL"), 0);
    EXPECT_EQ(DEMOGL_EffectRegister(&control, "CONTROL"), -1);
    EXPECT_EQ(DEMOGL_EffectRegister(nullptr, "OTHER"), -1);
    const std::string folder = TemporaryFolder("refused");
    EXPECT_EQ(RunHost(folder, "0 start CONTROL 0\n100 end\n"), 1) << "a run with a broken registry must not play";
}

}  // namespace
