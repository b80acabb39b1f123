#include "capture/capture_sink.h"

#include "capture/capture_target.h"
#include "host/clock.h"

std::unique_ptr<FrameSink> MakeCaptureSink(const CaptureRequest& request, const CaptureSound& sound,
                                           std::string& error)
{
    CaptureKind kind;
    if (!CheckCaptureName(request.path, kind, error) ||
        !CheckCaptureTarget(request.path, kind, request.overwrite, error))
        return nullptr;
    if (kind == CaptureKind::Video)
        return MakeVideoSink(request.path, request.layout, request.fps, request.overwrite, error, sound,
                             request.encoding);
    std::unique_ptr<FrameSink> folder = MakePngFolderSink(request.path, request.overwrite, error, sound);
    return request.layout.HasBars() ? MakeFramedSink(std::move(folder), request.layout) : std::move(folder);
}

CaptureSound SoundOfFrames(const audio::Soundtrack* soundtrack, std::int32_t startMs, std::int32_t lastTime, int fps,
                           int passes)
{
    const std::int64_t first = FirstFrameAtOrAfter(startMs, fps);
    const std::int64_t count = FirstFrameAtOrAfter(lastTime + 1, fps) - first;
    CaptureSound sound{soundtrack, {}};
    for (int pass = 0; pass < passes; ++pass) {
        // A pass's frames go on from the last pass's; their sound is the span's from its start,
        // as long as those frames last (a sample more or less where the rate does not divide 48 kHz).
        const SampleSpan frames = SpanOfFrames(first + pass * count, count, fps);
        sound.spans.push_back(SampleSpan{SpanOfFrames(first, count, fps).first, frames.count});
    }
    return sound;
}
