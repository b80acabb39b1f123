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
    if (kind == CaptureKind::Video) return MakeVideoSink(request.path, request.layout, request.fps, error, sound, request.encoding);
    if (request.overwrite && !RemoveFrames(request.path, error)) return nullptr;
    std::unique_ptr<FrameSink> folder = MakePngFolderSink(request.path, error, sound);
    return request.layout.HasBars() ? MakeFramedSink(std::move(folder), request.layout) : std::move(folder);
}

CaptureSound SoundOfFrames(const audio::Soundtrack* soundtrack, std::int32_t startMs, std::int32_t lastTime, int fps)
{
    const std::int64_t first = FirstFrameAtOrAfter(startMs, fps);
    const std::int64_t count = FirstFrameAtOrAfter(lastTime + 1, fps) - first;
    return CaptureSound{soundtrack, SpanOfFrames(first, count, fps)};
}
