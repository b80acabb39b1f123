// The keys that move time, in a window (the offscreen driver's) and in a capture: held back while
// the window catches up to --start, stopping at the last frame when a seek goes past the end, and
// off while capturing.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include <vector>

#include "host/host_state.h"
#include "player/player.h"

namespace {

void Press(SDL_Keycode key)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

// Records the frames it draws where they are seen (the unseen catch-up draws into one pixel), and
// presses keys at given moments of the piece: unseen ones during a catch-up, seen ones else.
class KeyPresser : public CEffect {
public:
    int Init(int, int) override { return 0; }
    void RenderFrame(LONG time) override
    {
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        const bool seen = viewport[2] > 1;
        if (seen) seenTimes.push_back(time);
        for (Press& press : presses) {
            if (press.done || press.seen != seen || time < press.at) continue;
            press.done = true;
            ::Press(press.key);
        }
    }

    struct Press {
        LONG at;
        bool seen;
        SDL_Keycode key;
        bool done = false;
    };
    std::vector<Press> presses;
    std::vector<LONG> seenTimes;
};

class TimeKeysInAWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ContextSettings window;
        window.renderWidth = 32;
        window.renderHeight = 24;
        window.vsync = false;
        std::string error;
        ASSERT_TRUE(context.Create(window, error)) << error;
        host.effects = {{&keys, "KEYS"}};
        startup.enableKeys = startup.quitOnEscape = startup.pauseOnSpace = true;
        settings.quiet = true;
    }
    // Plays the one-effect timeline that ends at endMs, in real time, until it ends or Escape.
    void Play(const std::string& timelineText)
    {
        Timeline timeline;
        std::string error;
        ASSERT_TRUE(ParseTimeline(timelineText, "timeline", {"KEYS"}, timeline, error)) << error;
        Player player(host, context, settings, startup, timeline, silence);
        ASSERT_EQ(player.Run(nullptr, timeline.endTime - 1), 0);
        paused = player.Clock().Paused();
    }

    HostState host;
    GlContext context;
    PlaySettings settings;
    SStartupDat startup{};
    std::unique_ptr<audio::Soundtrack> silence;
    KeyPresser keys;
    bool paused = false;
};

TEST_F(TimeKeysInAWindow, KeysPressedWhileCatchingUpToTheStartActOnTheStart)
{
    // Space and Right pressed while the frames before 5 s are drawn unseen: the piece shows 15 s,
    // paused, and nothing before it.
    settings.startMs = 5000;
    keys.presses = {{1000, false, SDLK_SPACE}, {1000, false, SDLK_RIGHT}, {15000, true, SDLK_ESCAPE}};
    Play("0 start KEYS 1\n20000 end\n");
    ASSERT_FALSE(keys.seenTimes.empty());
    EXPECT_EQ(keys.seenTimes.front(), 15000) << "the seek counted from somewhere else than --start";
    EXPECT_EQ(keys.seenTimes.back(), 15000) << "the pause was lost";
    EXPECT_TRUE(paused);
}

TEST_F(TimeKeysInAWindow, ASeekPastTheEndStopsAtTheLastFramePausedInsteadOfClosingTheWindow)
{
    keys.presses = {{500, true, SDLK_RIGHT}, {2999, true, SDLK_ESCAPE}};
    Play("0 start KEYS 1\n3000 end\n");
    ASSERT_FALSE(keys.seenTimes.empty());
    EXPECT_EQ(keys.seenTimes.back(), 2999) << "the window closed without showing the last frame";
    EXPECT_TRUE(paused);
}

}  // namespace
