// The page through emscripten's HTML5 API, and a few calls into the page's own script (index.html),
// which draws what sits around the canvas.
#include "platform/web/page.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

namespace page {

// clang-format off
EM_JS(void, PageCall, (const char* name, double number, const char* text), {
    const page = globalThis.tarnelvoisPage;
    const call = page && page[UTF8ToString(name)];
    if (call) call.call(page, number, UTF8ToString(text));
});
// clang-format on

namespace {

Callbacks& Registered()
{
    static Callbacks callbacks;
    return callbacks;
}

Key KeyOf(const EmscriptenKeyboardEvent& event)
{
    if (event.repeat || event.ctrlKey || event.metaKey || event.altKey) return Key::None;
    const std::string key = event.key;
    if (key == " " || key == "Spacebar") return Key::Pause;
    if (key == "ArrowLeft") return Key::SeekBack;
    if (key == "ArrowRight") return Key::SeekForward;
    if (key == "Home") return Key::SeekStart;
    if (key == "f" || key == "F") return Key::Fullscreen;
    if (key == "Tab") return Key::Overlay;
    return Key::None;
}

EM_BOOL OnKey(int, const EmscriptenKeyboardEvent* event, void*)
{
    const Key key = KeyOf(*event);
    if (key == Key::None || !Registered().key) return EM_FALSE;
    Registered().key(key, NowMs());
    return EM_TRUE;  // Space would scroll and Tab would move the focus
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*)
{
    if (Registered().visibility) Registered().visibility(event->hidden != 0, NowMs());
    return EM_FALSE;
}

// Each frame's start and cost go to the page, which keeps them for the benchmark.
void OnFrame()
{
    const double started = emscripten_get_now();
    if (Registered().frame) Registered().frame(NowMs());
    PageCall("frame", emscripten_get_now() - started, "");
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void tarnelvois_page_restart()
{
    if (Registered().key) Registered().key(Key::Restart, NowMs());
}


std::string Query(int argumentCount, char** arguments)
{
    return argumentCount > 1 && arguments[1] ? arguments[1] : "";
}

bool CreateCanvas(int width, int height, bool still, std::string& error)
{
    PageCall("placeCanvas", still ? 1 : 0, "");
    emscripten_set_canvas_element_size("#canvas", width, height);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = still ? EM_TRUE : EM_FALSE;
    attributes.majorVersion = 1;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0) {
        error = "this browser gives the page no WebGL; the piece needs WebGL 1 (turn on hardware acceleration)";
        return false;
    }
    emscripten_webgl_make_context_current(context);
    // The fixed-function emulation sets itself up when a context is made through the browser
    // library; this one was made through the HTML5 API, which lets the page choose its attributes.
    emscripten_run_script("Module.useWebGL = true;"
                          "Browser.moduleContextCreatedCallbacks.forEach(function(created) { created(); });");
    return true;
}

std::uint64_t NowMs() { return std::uint64_t(emscripten_get_now()); }

void Run(const Callbacks& callbacks)
{
    Registered() = callbacks;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, OnVisibility);
    emscripten_set_main_loop(OnFrame, 0, EM_TRUE);
}

void ShowProgress(float fraction) { PageCall("progress", fraction, ""); }
void ShowOverlay(bool shown, const std::string& text) { PageCall("overlay", shown ? 1 : 0, text.c_str()); }
void ShowEnd(bool shown) { PageCall("end", shown ? 1 : 0, ""); }
void ToggleFullscreen() { PageCall("fullscreen", 0, ""); }
void StillDone() { PageCall("done", 0, ""); }
void Failed(const std::string& message) { PageCall("failed", 0, message.c_str()); }

}  // namespace page
