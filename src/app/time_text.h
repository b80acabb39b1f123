// Demo times as people type them: milliseconds by default ("90000" or "90000ms"), seconds ("90s",
// "1.5s") or minutes and seconds ("1:30", "1:30.250"). Kept apart from the option parser because
// a bare number meant as seconds is the mistake everyone makes once.
#pragma once

#include <cstdint>
#include <string>

// True with the time in milliseconds when text is one of the forms above and at most maxMs;
// fractions finer than a millisecond are refused rather than rounded.
bool ParseDemoTime(const std::string& text, std::int64_t maxMs, std::int32_t& ms);
