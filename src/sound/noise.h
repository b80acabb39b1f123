// White noise from a small generator of the synthesizer's own: the same seed gives the same
// sequence on every machine and thread, and it shares no state with anything else.
#pragma once

#include <cstdint>

namespace audio {

class NoiseSource {
public:
    explicit NoiseSource(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {
        if (state_ == 0) state_ = 1;
    }
    // Uniform in [-1, 1).
    double Next() {
        // xorshift32: three shifts, period 2^32 - 1, no zero state.
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

}  // namespace audio
