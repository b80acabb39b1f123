#include "app/demo_inputs.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/data_folders.h"
#include "host/timeline_params.h"
#include "platform/process.h"
#include "sound/score_loader.h"

namespace {

constexpr const char* kTimelineEntry = "timeline.txt";

bool ReadTextFile(const std::string& path, std::string& text, std::string& error)
{
    // A folder, a device or a pipe is not a timeline: reading /dev/zero would never end.
    std::error_code code;
    if (std::filesystem::exists(path, code) && !std::filesystem::is_regular_file(path, code)) {
        error = "--timeline: " + path + " is not a file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "--timeline: cannot read " + path;
        return false;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return true;
}

// The timeline's text and the name its messages give it.
bool ReadTimelineText(const Archive& archive, const std::string& archivePath, const Options& options,
                      std::string& text, std::string& source, std::string& error)
{
    if (!options.timelinePath.empty()) {
        source = options.timelinePath;
        return ReadTextFile(options.timelinePath, text, error);
    }
    source = archivePath + ":" + kTimelineEntry;
    std::vector<std::uint8_t> bytes;
    if (!archive.Read(kTimelineEntry, bytes, error)) return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

}  // namespace

int ReadDemoInputs(HostState& host, const Options& options, const std::string& executable, DemoInputs& inputs)
{
    std::string error;
    inputs.archivePath = LocateArchive(options.dataPath, host.archiveName,
                                       DataFolders(RunningProgram(executable.c_str()), InstalledDataFolder()), error);
    if (inputs.archivePath.empty()) {
        HostError(error);
        return 1;
    }
    host.archive = Archive::Open(inputs.archivePath, error);
    if (!host.archive) {
        HostError(error);
        return 1;
    }
    std::string timelineText, timelineSource;
    if (!ReadTimelineText(*host.archive, inputs.archivePath, options, timelineText, timelineSource, error)) {
        HostError(error);
        return 1;
    }
    std::vector<std::string> names;
    for (const RegisteredEffect& registered : host.effects) names.push_back(registered.name);
    if (!ParseTimeline(timelineText, timelineSource, names, inputs.timeline, error)) {
        HostError(error);
        return 1;
    }
    for (const std::string& warning : ParamWarnings(inputs.timeline, DeclaredEffectParameters(), timelineSource))
        HostError(warning);
    inputs.soundtrack.reset();
    if (options.mute) return 0;
    std::vector<std::string> unplaced;
    const bool scoreRead = LoadScore(*host.archive, inputs.timeline, inputs.soundtrack, error, unplaced);
    for (const std::string& cue : unplaced) HostWarning(cue);
    if (!scoreRead) {
        // The archive's score was made for the archive's timeline; one tried out with
        // --timeline may well lack the moments it names, and is not the score's fault.
        if (options.timelinePath.empty()) {
            HostError(error);
            return 1;
        }
        HostWarning(error + "; the score does not fit --timeline " + options.timelinePath + ", playing silent");
    } else if (!inputs.soundtrack) {
        HostWarning(inputs.archivePath + " has no " + kScoreEntry + "; playing silent");
    } else {
        for (const std::string& warning : inputs.soundtrack->score().warnings) HostWarning(warning);
    }
    return 0;
}
