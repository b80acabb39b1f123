#include "app/time_text.h"

namespace {

// Digits only, at least one, stopping before the value could overflow.
bool ParseDigits(const std::string& text, std::int64_t& value)
{
    if (text.empty() || text.size() > 12) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// "12" or "12.345": whole seconds and up to three decimals, as milliseconds.
bool ParseSeconds(const std::string& text, std::int64_t& ms)
{
    const std::size_t dot = text.find('.');
    std::int64_t whole = 0, fraction = 0;
    if (!ParseDigits(text.substr(0, dot), whole)) return false;
    if (dot != std::string::npos) {
        std::string decimals = text.substr(dot + 1);
        if (decimals.empty() || decimals.size() > 3 || !ParseDigits(decimals, fraction)) return false;
        for (std::size_t i = decimals.size(); i < 3; ++i) fraction *= 10;
    }
    ms = whole * 1000 + fraction;
    return true;
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool ParseDemoTime(const std::string& text, std::int64_t maxMs, std::int32_t& ms)
{
    std::int64_t value = 0;
    bool ok = false;
    if (const std::size_t colon = text.find(':'); colon != std::string::npos) {
        std::int64_t minutes = 0, seconds = 0;
        const std::string rest = text.substr(colon + 1);
        // The seconds of "m:ss" are two digits below 60, so "1:90" is a typing mistake, not 2:30.
        ok = ParseDigits(text.substr(0, colon), minutes) && rest.size() >= 2 && rest[0] >= '0' && rest[0] <= '5' &&
             (rest.size() == 2 || rest[2] == '.') && ParseSeconds(rest, seconds);
        value = minutes * 60000 + seconds;
    } else if (EndsWith(text, "ms")) {
        ok = ParseDigits(text.substr(0, text.size() - 2), value);
    } else if (EndsWith(text, "s")) {
        ok = ParseSeconds(text.substr(0, text.size() - 1), value);
    } else {
        ok = ParseDigits(text, value);
    }
    if (!ok || value > maxMs) return false;
    ms = static_cast<std::int32_t>(value);
    return true;
}
