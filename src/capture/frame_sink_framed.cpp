// A picture smaller than the frame it is written in: the frame buffer keeps its black bars from
// one frame to the next, and only the picture's rows are copied into it.
#include <cstring>
#include <string>

#include "capture/frame_sink.h"

namespace {

class FramedSink : public FrameSink {
public:
    FramedSink(std::unique_ptr<FrameSink> inner, const FrameLayout& layout)
        : inner_(std::move(inner)), layout_(layout), frame_(size_t(layout.frameWidth) * layout.frameHeight * 3, 0)
    {
    }

    bool Write(std::int64_t frameIndex, const std::vector<std::uint8_t>& rgb, int width, int height,
               std::string& error) override
    {
        if (width != layout_.pictureWidth || height != layout_.pictureHeight) {
            error = "a captured picture of " + std::to_string(width) + "x" + std::to_string(height) +
                    " does not match its frame's layout";
            return false;
        }
        const size_t frameRow = size_t(layout_.frameWidth) * 3, pictureRow = size_t(width) * 3;
        const size_t leftBytes = size_t(layout_.left) * 3;
        for (int y = 0; y < height; ++y)
            std::memcpy(frame_.data() + size_t(layout_.top + y) * frameRow + leftBytes,
                        rgb.data() + size_t(y) * pictureRow, pictureRow);
        return inner_->Write(frameIndex, frame_, layout_.frameWidth, layout_.frameHeight, error);
    }
    bool Finish(std::string& error) override { return inner_->Finish(error); }
    void Abandon() override { inner_->Abandon(); }
    std::string LeftBehind() const override { return inner_->LeftBehind(); }

private:
    std::unique_ptr<FrameSink> inner_;
    FrameLayout layout_;
    std::vector<std::uint8_t> frame_;
};

}  // namespace

std::unique_ptr<FrameSink> MakeFramedSink(std::unique_ptr<FrameSink> inner, const FrameLayout& layout)
{
    if (!inner) return nullptr;
    return std::make_unique<FramedSink>(std::move(inner), layout);
}
