// Draws the timeline as a picture: one lane per effect, its bar from start to stop with the fades
// the effect makes on its own shaded in, the moments it keeps to the frame time marked, the
// music's sections in a lane of their own when a list of them is given, and an axis in seconds.
//
//   timeline_picture --timeline FILE --output FILE.png [--sections FILE]
//
// A sections file has one "<from ms> <to ms> <name>" line per section of the music.
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>
#include <sstream>
#include <string>
#include <vector>

#include "canvas.h"
#include "host/timeline.h"

namespace {

const char kUsage[] = "usage: timeline_picture --timeline FILE --output FILE.png [--sections FILE]";

// What the effects do by themselves after the timeline starts them: fades in ms after their own
// start ("relative") or at moments of the piece ("absolute"), and marks such as the caption
// changes. Kept beside the effects' code by hand; the picture is documentation.
struct Shape {
    int fadeInMs = 0;
    int fadeOutFrom = -1, fadeOutTo = -1;  // -1: none
    bool fadeOutRelative = false;
    int markEveryMs = 0;                    // a tick every so often after the start
    std::vector<int> marks;                 // ticks at moments of the piece
};

Shape ShapeOf(const std::string& effect, const Timeline& timeline) {
    Shape shape;
    auto relative = [&](int from, int to) { shape.fadeOutFrom = from, shape.fadeOutTo = to, shape.fadeOutRelative = true; };
    auto absolute = [&](int from, int to) { shape.fadeOutFrom = from, shape.fadeOutTo = to; };
    if (effect == "SPLASH") shape.fadeInMs = 5000, relative(8000, 13000);
    else if (effect == "NDSPLASH") shape.fadeInMs = 5000;
    else if (effect == "RCUBE" || effect == "RCUBE2") shape.fadeInMs = 4000, relative(52000, 56000);
    else if (effect == "STAR") shape.fadeInMs = 1000;
    else if (effect == "LINE") shape.fadeInMs = 10000, absolute(89000, 93000);
    else if (effect.rfind("CUBE", 0) == 0) absolute(91000, 95000);
    else if (effect == "SPOT4") absolute(70900, 72900);
    else if (effect == "SPOT3") absolute(73400, 75400);
    else if (effect == "SPOT2") absolute(76000, 78000);
    else if (effect == "SPOT") absolute(81300, 83300);
    else if (effect == "SNOW") shape.fadeInMs = 8000, absolute(135000, 153000);
    else if (effect == "LOGO") shape.markEveryMs = 7000;
    else if (effect == "SCROLLER") shape.marks = {201000};
    else if (effect == "ZEP") {
        // Slides in dim; warms when the scroller starts and fades forty seconds later.
        shape.fadeInMs = 5000;
        for (const TimelineEvent& event : timeline.events)
            if (event.kind == TimelineEvent::Kind::Start && event.effect == "SCROLLER") {
                shape.marks = {event.time};
                absolute(event.time + 40000, event.time + 44000);
            }
    }
    return shape;
}

struct Bar {
    std::string effect;
    int from, to;
};

struct Section {
    int from, to;
    std::string name;
};

struct Layout {
    int width = 1600;
    int labelWidth = 110;
    int top = 16;
    int lane = 22;
    int endMs = 1;
    float X(int ms) const { return labelWidth + (width - labelWidth - 16) * float(ms) / endMs; }
};

Color LaneColour(const std::string& effect) {
    if (effect.rfind("CUBE", 0) == 0) return {0.85f, 0.3f, 0.75f};
    if (effect.rfind("SPOT", 0) == 0) return {0.95f, 0.8f, 0.3f};
    if (effect.rfind("RCUBE", 0) == 0) return {0.3f, 0.75f, 0.6f};
    if (effect == "STAR" || effect == "SNOW") return {0.75f, 0.85f, 1.0f};
    if (effect == "CONTROL") return {0.45f, 0.45f, 0.5f};
    return {0.4f, 0.6f, 1.0f};
}

void FillBox(Canvas& canvas, float x0, float y0, float x1, float y1, Color colour, float amount) {
    for (int y = int(y0); y < int(y1); ++y)
        for (int x = int(std::floor(x0)); x < int(std::ceil(x1)); ++x) {
            float cover = std::clamp(std::min(x + 1.0f, x1) - std::max(float(x), x0), 0.0f, 1.0f);
            canvas.Mix(x, y, colour, amount * cover);
        }
}

// The bar's brightness at a moment: its fades ramp between a quarter and full.
float Level(const Shape& shape, const Bar& bar, int ms) {
    float level = 1.0f;
    if (shape.fadeInMs > 0) level = std::min(level, float(ms - bar.from) / shape.fadeInMs);
    if (shape.fadeOutFrom >= 0) {
        int from = shape.fadeOutFrom + (shape.fadeOutRelative ? bar.from : 0);
        int to = shape.fadeOutTo + (shape.fadeOutRelative ? bar.from : 0);
        if (ms >= from) level = std::min(level, 1.0f - float(ms - from) / std::max(1, to - from));
    }
    return 0.2f + 0.8f * std::clamp(level, 0.0f, 1.0f);
}

void DrawBar(Canvas& canvas, const Font& font, const Layout& layout, int row, const Bar& bar, const Shape& shape) {
    const float y0 = layout.top + row * layout.lane + 3, y1 = y0 + layout.lane - 6;
    const Color colour = LaneColour(bar.effect);
    for (int x = int(layout.X(bar.from)); x < int(std::ceil(layout.X(bar.to))); ++x) {
        int ms = int((x + 0.5f - layout.labelWidth) / (layout.width - layout.labelWidth - 16) * layout.endMs);
        FillBox(canvas, std::max(float(x), layout.X(bar.from)), y0, std::min(x + 1.0f, layout.X(bar.to)), y1, colour,
                Level(shape, bar, std::clamp(ms, bar.from, bar.to)));
    }
    std::vector<int> marks = shape.marks;
    if (shape.markEveryMs > 0)
        for (int ms = bar.from + shape.markEveryMs; ms < bar.to; ms += shape.markEveryMs) marks.push_back(ms);
    for (int ms : marks)
        if (ms > bar.from && ms < bar.to) FillBox(canvas, layout.X(ms) - 1, y0 - 2, layout.X(ms) + 1, y1 + 2, {1, 1, 1}, 0.9f);
    char start[16];
    std::snprintf(start, sizeof start, "%g", bar.from / 1000.0);
    font.DrawText(canvas, start, layout.X(bar.from) + 3, y1 - 4, 11.0f, {0.05f, 0.05f, 0.08f});
}

void DrawAxis(Canvas& canvas, const Font& font, const Layout& layout, int y) {
    FillBox(canvas, layout.X(0), y, layout.X(layout.endMs), y + 1, {0.8f, 0.8f, 0.85f}, 1.0f);
    for (int ms = 0; ms <= layout.endMs; ms += 5000) {
        bool major = ms % 10000 == 0;
        FillBox(canvas, layout.X(ms), layout.top, layout.X(ms) + 1, y + (major ? 6 : 3), {0.8f, 0.8f, 0.85f},
                major ? 0.14f : 0.06f);
        FillBox(canvas, layout.X(ms), y, layout.X(ms) + 1, y + (major ? 6 : 3), {0.8f, 0.8f, 0.85f}, 1.0f);
        if (major) {
            std::string label = std::to_string(ms / 1000);
            font.DrawTextCentred(canvas, label, layout.X(ms), y + 19, 12.0f, {0.85f, 0.85f, 0.9f});
        }
    }
    font.DrawText(canvas, "seconds", 8, y + 19, 12.0f, {0.85f, 0.85f, 0.9f});
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<Section> ReadSections(const std::string& path) {
    std::vector<Section> sections;
    std::istringstream lines(ReadText(path));
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Section section;
        if (!(fields >> section.from >> section.to) || section.to <= section.from)
            throw std::runtime_error(path + ":" + std::to_string(number) + ": expected '<from ms> <to ms> <name>'");
        std::getline(fields >> std::ws, section.name);
        sections.push_back(section);
    }
    return sections;
}

void Draw(const std::string& timelinePath, const std::string& sectionsPath, const std::string& output) {
    Timeline timeline;
    std::string error;
    if (!ParseTimeline(ReadText(timelinePath), timelinePath, timeline, error)) throw std::runtime_error(error);

    // Lanes in the order effects first start; a restarted effect keeps its lane.
    std::vector<std::string> lanes;
    std::vector<Bar> bars;
    std::map<std::string, int> running;
    for (const TimelineEvent& event : timeline.events) {
        if (event.kind == TimelineEvent::Kind::Start) {
            running[event.effect] = event.time;
            if (std::find(lanes.begin(), lanes.end(), event.effect) == lanes.end()) lanes.push_back(event.effect);
        } else if (event.kind == TimelineEvent::Kind::Stop) {
            bars.push_back({event.effect, running[event.effect], event.time});
            running.erase(event.effect);
        }
    }
    for (const auto& [effect, from] : running) bars.push_back({effect, from, timeline.endTime});

    const std::vector<Section> sections = sectionsPath.empty() ? std::vector<Section>() : ReadSections(sectionsPath);
    Layout layout;
    layout.endMs = std::max(1, timeline.endTime);
    const int rows = int(lanes.size()) + (sections.empty() ? 0 : 1);
    Canvas canvas(layout.width, layout.top + rows * layout.lane + 36);
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) canvas.Set(x, y, {0.07f, 0.07f, 0.1f});
    const Font font("DejaVuSans.ttf");
    const Font bold("DejaVuSans-Bold.ttf");
    DrawAxis(canvas, font, layout, layout.top + rows * layout.lane + 4);
    for (size_t row = 0; row < lanes.size(); ++row) {
        bold.DrawText(canvas, lanes[row], 8, layout.top + row * layout.lane + 16, 12.0f, {0.9f, 0.9f, 0.95f});
        for (const Bar& bar : bars)
            if (bar.effect == lanes[row]) DrawBar(canvas, font, layout, int(row), bar, ShapeOf(bar.effect, timeline));
    }
    if (!sections.empty()) {
        const int row = int(lanes.size());
        const float y0 = layout.top + row * layout.lane + 3, y1 = y0 + layout.lane - 6;
        bold.DrawText(canvas, "music", 8, y1 - 3, 12.0f, {0.9f, 0.9f, 0.95f});
        for (size_t i = 0; i < sections.size(); ++i) {
            const Section& section = sections[i];
            FillBox(canvas, layout.X(section.from) + 1, y0, layout.X(section.to), y1,
                    i % 2 ? Color{0.55f, 0.45f, 0.85f} : Color{0.4f, 0.3f, 0.7f}, 1.0f);
            font.DrawText(canvas, section.name, layout.X(section.from) + 4, y1 - 4, 11.0f, {1, 1, 1});
        }
    }

    std::vector<unsigned char> rgb(size_t(canvas.Width()) * canvas.Height() * 3);
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            Color c = canvas.Get(x, y);
            unsigned char* out = &rgb[(size_t(y) * canvas.Width() + x) * 3];
            out[0] = static_cast<unsigned char>(std::lround(std::clamp(c.r, 0.0f, 1.0f) * 255));
            out[1] = static_cast<unsigned char>(std::lround(std::clamp(c.g, 0.0f, 1.0f) * 255));
            out[2] = static_cast<unsigned char>(std::lround(std::clamp(c.b, 0.0f, 1.0f) * 255));
        }
    const std::string temporary = output + ".tmp.png";
    if (!stbi_write_png(temporary.c_str(), canvas.Width(), canvas.Height(), 3, rgb.data(), canvas.Width() * 3) ||
        std::rename(temporary.c_str(), output.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw std::runtime_error("cannot write " + output);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string timeline, output, sections;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        std::string* target = option == "--timeline" ? &timeline
                            : option == "--output"   ? &output
                            : option == "--sections" ? &sections : nullptr;
        if (target == nullptr || i + 1 >= argc) {
            std::fprintf(stderr, "timeline_picture: %s: %s\n", option.c_str(), kUsage);
            return 2;
        }
        *target = argv[++i];
    }
    if (timeline.empty() || output.empty()) {
        std::fprintf(stderr, "timeline_picture: %s\n", kUsage);
        return 2;
    }
    try {
        Draw(timeline, sections, output);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "timeline_picture: %s\n", failure.what());
        return 1;
    }
    return 0;
}
