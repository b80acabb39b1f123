// What the page's address asks for: a still of one moment (?still&t=MS&size=WxH&seed=N&fps=N),
// a span of the soundtrack (?sound=MS&t=MS) for a test to compare, or the piece played, at a size
// and seed of the viewer's choosing. Plain text work.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct PageRequest {
    bool still = false;
    std::int32_t timeMs = 0;          // t: the moment a still shows, or where playing starts
    int width = 0, height = 0;        // size: the canvas in pixels; 0 = the program's own
    std::optional<std::uint32_t> seed;
    int fps = 60;                     // the step of the effects' catch-up to t
    bool mute = false;
    std::int32_t soundMs = 0;         // sound: that much of the soundtrack from t handed to the page
};

// Parses a query string, with or without its leading '?'. Unknown names are ignored, as pages
// pick up parameters from links and trackers; a known one with a bad value gives false and one
// line naming it ("size: expected WxH, got '12'").
bool ParsePageQuery(const std::string& query, PageRequest& request, std::string& error);
