// The player's keys through injected input events.
#include <gtest/gtest.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "player/player.h"
#include "tests/support/test_files.h"

namespace {

SDL_Event Key(SDL_Keycode key, bool repeat = false)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.repeat = repeat;
    return event;
}

class PlayerKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        ContextSettings settings;
        settings.headless = true;
        settings.renderWidth = 32;
        settings.renderHeight = 24;
        std::string error;
        ASSERT_TRUE(context.Create(settings, error)) << error;
        startup.enableKeys = startup.quitOnEscape = startup.pauseOnSpace = true;
    }

    HostState host;
    GlContext context;
    PlaySettings options;
    std::unique_ptr<audio::Soundtrack> silence;
    SStartupDat startup{};
    Timeline timeline;
};

TEST_F(PlayerKeys, SpacePausesArrowsAndHomeSeekTabShowsTheOverlayAndEscapeEndsTheRunOnlyWhenKeysAreOn)
{
    Player player(host, context, options, startup, timeline, silence);
    player.Clock().Start(1000, 5000);
    ASSERT_TRUE(player.HandleEvent(Key(SDLK_SPACE), 6000, 2000));
    EXPECT_EQ(player.Clock().Time(9000), 6000) << "paused: the time stays where it was";
    // A held key repeats; it must not resume at once.
    player.HandleEvent(Key(SDLK_SPACE, true), 6000, 9000);
    EXPECT_EQ(player.Clock().Time(9500), 6000);
    player.HandleEvent(Key(SDLK_SPACE), 6000, 10000);
    EXPECT_EQ(player.Clock().Time(10500), 6500) << "resumed where it stopped, the paused time not counted";
    player.HandleEvent(Key(SDLK_RIGHT), 6500, 10500);
    EXPECT_EQ(player.Clock().Time(10500), 16500);
    player.HandleEvent(Key(SDLK_LEFT), 16500, 10500);
    player.HandleEvent(Key(SDLK_LEFT), 6500, 10500);
    EXPECT_EQ(player.Clock().Time(10500), 0) << "back past the beginning stops at it";
    player.HandleEvent(Key(SDLK_RIGHT), 0, 10500);
    player.HandleEvent(Key(SDLK_HOME), 10000, 10500);
    EXPECT_EQ(player.Clock().Time(11000), 500);
    player.HandleEvent(Key(SDLK_TAB), 0, 11000);
    EXPECT_TRUE(player.OverlayShown());
    player.HandleEvent(Key(SDLK_TAB, true), 0, 11000);
    EXPECT_TRUE(player.OverlayShown()) << "a held Tab must not flicker the overlay";
    EXPECT_FALSE(player.HandleEvent(Key(SDLK_ESCAPE), 0, 0));

    startup.enableKeys = false;
    Player locked(host, context, options, startup, timeline, silence);
    locked.Clock().Start(0, 0);
    EXPECT_TRUE(locked.HandleEvent(Key(SDLK_ESCAPE), 0, 0));
    locked.HandleEvent(Key(SDLK_SPACE), 0, 0);
    EXPECT_FALSE(locked.Clock().Paused());
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_FALSE(locked.HandleEvent(quit, 0, 0)) << "closing the window always ends the run";
}

TEST_F(PlayerKeys, F12SavesTheFrameAtTheRenderSizeNamedByItsTime)
{
    const std::string folder = TemporaryFolder("screenshot");
    const std::string previous = std::filesystem::current_path();
    ASSERT_EQ(chdir(folder.c_str()), 0);
    context.BindRenderTarget();
    glViewport(0, 0, 32, 24);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 12, 32, 12);  // the top half red
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    Player player(host, context, options, startup, timeline, silence);
    EXPECT_TRUE(player.HandleEvent(Key(SDLK_F12), 12345, 0));
    const Picture saved = ReadPng(folder + "/tarnelvois-000012345ms.png");
    EXPECT_EQ(chdir(previous.c_str()), 0);
    ASSERT_EQ(saved.width, 32);
    ASSERT_EQ(saved.height, 24);
    EXPECT_EQ(saved.At(0, 0)[0], 255) << "top row first";
    EXPECT_EQ(saved.At(0, 23)[2], 255);

    // Before any frame is shown (the catch-up to --start) there is nothing to save.
    ASSERT_EQ(chdir(folder.c_str()), 0);
    EXPECT_TRUE(player.HandleEvent(Key(SDLK_F12), -1, 0));
    EXPECT_EQ(chdir(previous.c_str()), 0);
    EXPECT_EQ(FilesIn(folder).size(), 1u);
}

}  // namespace
