#include "platform/web/page_query.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace {

// The largest canvas a still may ask for: beyond it browsers refuse the context anyway.
constexpr long kMaxCanvasSide = 8192;
// The longest span of sound handed to the page at once: it travels as one array of floats.
constexpr long kMaxSoundMs = 10000;

// A whole decimal number in [low, high], nothing else.
bool ParseNumber(const std::string& text, long long low, long long high, long long& value)
{
    if (text.empty() || text.size() > 19) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

// Undoes the address's %XX escapes; false for a broken one.
bool Unescape(const std::string& text, std::string& plain)
{
    plain.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            plain += ' ';
        } else if (text[i] == '%') {
            if (i + 2 >= text.size()) return false;
            const std::string hex = text.substr(i + 1, 2);
            char* end = nullptr;
            const long code = std::strtol(hex.c_str(), &end, 16);
            if (hex.size() != 2 || *end != '\0') return false;
            plain += char(code);
            i += 2;
        } else {
            plain += text[i];
        }
    }
    return true;
}

bool Apply(const std::string& name, const std::string& value, PageRequest& request, std::string& error)
{
    const std::string got = " got '" + value + "'";
    long long number = 0;
    if (name == "still") {
        request.still = true;
    } else if (name == "mute") {
        request.mute = true;
    } else if (name == "t") {
        if (!ParseNumber(value, 0, std::numeric_limits<std::int32_t>::max(), number)) {
            error = "t: expected a time in milliseconds," + got;
            return false;
        }
        request.timeMs = std::int32_t(number);
    } else if (name == "seed") {
        if (!ParseNumber(value, 0, std::numeric_limits<std::uint32_t>::max(), number)) {
            error = "seed: expected a number from 0 to 4294967295," + got;
            return false;
        }
        request.seed = std::uint32_t(number);
    } else if (name == "sound") {
        if (!ParseNumber(value, 1, kMaxSoundMs, number)) {
            error = "sound: expected 1 to " + std::to_string(kMaxSoundMs) + " milliseconds," + got;
            return false;
        }
        request.soundMs = std::int32_t(number);
    } else if (name == "fps") {
        if (!ParseNumber(value, 1, 1000, number)) {
            error = "fps: expected 1 to 1000," + got;
            return false;
        }
        request.fps = int(number);
    } else if (name == "size") {
        const size_t x = value.find('x');
        long long width = 0, height = 0;
        if (x == std::string::npos || !ParseNumber(value.substr(0, x), 16, kMaxCanvasSide, width) ||
            !ParseNumber(value.substr(x + 1), 16, kMaxCanvasSide, height)) {
            error = "size: expected WxH, each 16 to " + std::to_string(kMaxCanvasSide) + "," + got;
            return false;
        }
        request.width = int(width);
        request.height = int(height);
    }
    return true;
}

}  // namespace

bool ParsePageQuery(const std::string& query, PageRequest& request, std::string& error)
{
    request = PageRequest{};
    size_t at = !query.empty() && query[0] == '?' ? 1 : 0;
    while (at <= query.size()) {
        size_t end = query.find('&', at);
        if (end == std::string::npos) end = query.size();
        const std::string pair = query.substr(at, end - at);
        at = end + 1;
        if (pair.empty()) continue;
        const size_t equals = pair.find('=');
        std::string name, value;
        if (!Unescape(pair.substr(0, equals), name) ||
            (equals != std::string::npos && !Unescape(pair.substr(equals + 1), value))) {
            error = "the address has a broken %-escape in '" + pair + "'";
            return false;
        }
        if (!Apply(name, value, request, error)) return false;
    }
    return true;
}
