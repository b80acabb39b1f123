// The server attribute stack of glPushAttrib and glPopAttrib, which WebGL does not have: the
// state groups the program pushes (enables, colour buffer, depth buffer, polygon), kept here and
// put back on a pop. Plain data, so the rules are the same on every system.
#pragma once

#include <cstddef>
#include <map>
#include <vector>

namespace glshim {

// The part of the fixed-function state the stack saves. Capabilities never set read as GL's
// defaults (all off but dithering).
struct FixedFunctionState {
    std::map<unsigned, bool> enabled;
    unsigned blendSource = 1;          // GL_ONE
    unsigned blendDestination = 0;     // GL_ZERO
    unsigned depthFunction = 0x0201;   // GL_LESS
    bool depthMask = true;
    unsigned cullFace = 0x0405;        // GL_BACK
    unsigned frontFace = 0x0901;       // GL_CCW

    bool IsEnabled(unsigned capability) const;
    void SetEnabled(unsigned capability, bool on) { enabled[capability] = on; }
};

class AttributeStack {
public:
    // GL's guaranteed depth; a push beyond it is refused, as GL refuses it with an error.
    static constexpr std::size_t kMaxDepth = 16;

    // Saves the groups of mask. False (nothing saved) when the stack is full.
    bool Push(unsigned mask, const FixedFunctionState& current);
    // Puts the groups saved by the matching push back into state. False, state untouched, when
    // nothing is pushed.
    bool Pop(FixedFunctionState& state);
    std::size_t Depth() const { return saved_.size(); }

private:
    struct Saved {
        unsigned mask;
        FixedFunctionState state;
    };
    std::vector<Saved> saved_;
};

}  // namespace glshim
