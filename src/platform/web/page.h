// The page the program runs in: the query of its address, its canvas and WebGL context, the
// display's frame callback, the keys and the tab's visibility, and what the page shows around the
// canvas (loading bar, overlay, end screen, messages). The rest of the program never learns that
// it runs in a browser.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace page {

// The address's query, as the page hands it to the program ("?still&t=40000", or empty).
std::string Query(int argumentCount, char** arguments);

// Sizes the canvas to width x height pixels and makes a WebGL context on it current. still: the
// canvas sits alone at the page's top-left and keeps its picture for a screenshot. False, with
// error set to one line, when the browser gives no WebGL.
bool CreateCanvas(int width, int height, bool still, std::string& error);

// A monotonic reading in milliseconds.
std::uint64_t NowMs();

// What a key asks of the player.
enum class Key { None, Pause, SeekBack, SeekForward, SeekStart, Fullscreen, Overlay, Restart };

struct Callbacks {
    std::function<void(std::uint64_t nowMs)> frame;    // once per display refresh
    std::function<void(Key key, std::uint64_t nowMs)> key;
    std::function<void(bool hidden, std::uint64_t nowMs)> visibility;
};
// Calls back until the page closes; does not return to its caller.
void Run(const Callbacks& callbacks);

void ShowProgress(float fraction);
void ShowOverlay(bool shown, const std::string& text);
// The end screen with its "play again", which comes back as Key::Restart.
void ShowEnd(bool shown);
void ToggleFullscreen();
// A still is drawn: the page's title says "done".
void StillDone();
// The run could not take place: the page shows its last message line (and a still's title
// says "error: ..."), never a blank canvas.
void Failed(const std::string& message);

}  // namespace page
