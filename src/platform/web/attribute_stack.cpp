#include "platform/web/attribute_stack.h"

namespace glshim {

namespace {

constexpr unsigned kDepthBufferBit = 0x00000100;
constexpr unsigned kPolygonBit = 0x00000008;
constexpr unsigned kEnableBit = 0x00002000;
constexpr unsigned kColorBufferBit = 0x00004000;

constexpr unsigned kDither = 0x0BD0;
constexpr unsigned kBlend = 0x0BE2;
constexpr unsigned kAlphaTest = 0x0BC0;
constexpr unsigned kColorLogicOp = 0x0BF2;
constexpr unsigned kDepthTest = 0x0B71;
constexpr unsigned kCullFace = 0x0B44;
constexpr unsigned kPolygonOffsetFill = 0x8037;

// The capabilities each group carries besides the enable group's all of them.
constexpr unsigned kColorCapabilities[] = {kBlend, kAlphaTest, kDither, kColorLogicOp};
constexpr unsigned kDepthCapabilities[] = {kDepthTest};
constexpr unsigned kPolygonCapabilities[] = {kCullFace, kPolygonOffsetFill};

template <std::size_t N>
void Restore(const unsigned (&capabilities)[N], const FixedFunctionState& from, FixedFunctionState& to)
{
    for (unsigned capability : capabilities) to.SetEnabled(capability, from.IsEnabled(capability));
}

}  // namespace

bool FixedFunctionState::IsEnabled(unsigned capability) const
{
    const auto found = enabled.find(capability);
    if (found != enabled.end()) return found->second;
    return capability == kDither;
}

bool AttributeStack::Push(unsigned mask, const FixedFunctionState& current)
{
    if (saved_.size() >= kMaxDepth) return false;
    saved_.push_back(Saved{mask, current});
    return true;
}

bool AttributeStack::Pop(FixedFunctionState& state)
{
    if (saved_.empty()) return false;
    const Saved top = saved_.back();
    saved_.pop_back();
    const FixedFunctionState& was = top.state;
    if (top.mask & kEnableBit) {
        // Every capability either side knows of goes back to what it was.
        for (const auto& entry : state.enabled) state.SetEnabled(entry.first, was.IsEnabled(entry.first));
        for (const auto& entry : was.enabled) state.SetEnabled(entry.first, entry.second);
    }
    if (top.mask & kColorBufferBit) {
        Restore(kColorCapabilities, was, state);
        state.blendSource = was.blendSource;
        state.blendDestination = was.blendDestination;
    }
    if (top.mask & kDepthBufferBit) {
        Restore(kDepthCapabilities, was, state);
        state.depthFunction = was.depthFunction;
        state.depthMask = was.depthMask;
    }
    if (top.mask & kPolygonBit) {
        Restore(kPolygonCapabilities, was, state);
        state.cullFace = was.cullFace;
        state.frontFace = was.frontFace;
    }
    return true;
}

}  // namespace glshim
