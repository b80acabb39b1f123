// The music after an ordinary edit of the timeline: cues whose moments are gone are left out, each
// said once by the line of data/score.txt that gives it, and the rest plays, whether the edited
// timeline comes packed in the archive or with --timeline.
#include <gtest/gtest.h>

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "host/archive.h"
#include "tests/support/test_files.h"

namespace {

std::string EntryText(const Archive& archive, const std::string& name)
{
    Bytes bytes;
    std::string error;
    EXPECT_TRUE(archive.Read(name, bytes, error)) << error;
    return std::string(bytes.begin(), bytes.end());
}

// The text without the lines that mention word.
std::string WithoutLinesNaming(const std::string& text, const std::string& word)
{
    std::istringstream in(text);
    std::string kept;
    for (std::string line; std::getline(in, line);)
        if (line.find(word) == std::string::npos) kept += line + "\n";
    return kept;
}

// The warning expected for each line of the score that names word.
std::string WarningsForLinesNaming(const std::string& score, const std::string& source, const std::string& word)
{
    std::istringstream in(score);
    std::string warnings;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.find(word) == std::string::npos || line.rfind('#', 0) == 0) continue;
        warnings += "tarnelvois: warning: " + source + ":" + std::to_string(number) + ": no effect " + word +
                    " in the timeline; this cue is left out of the music\n";
    }
    return warnings;
}

std::string ArchiveWithTimeline(const std::string& folder, const std::string& timeline)
{
    const std::string path = folder + "/edited.zip";
    std::filesystem::copy_file(TARNELVOIS_ARCHIVE, path, std::filesystem::copy_options::overwrite_existing);
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), 0, &error);
    EXPECT_NE(archive, nullptr);
    static std::string kept;
    kept = timeline;
    zip_file_add(archive, "timeline.txt", zip_source_buffer(archive, kept.data(), kept.size(), 0), ZIP_FL_OVERWRITE);
    EXPECT_EQ(zip_close(archive), 0);
    return path;
}

bool HasSound(const std::string& wav)
{
    const Bytes bytes = ReadFileBytes(wav);
    return bytes.size() > 44 && std::any_of(bytes.begin() + 44, bytes.end(), [](std::uint8_t b) { return b != 0; });
}

TEST(ScorePlacement, ATimelineWithoutAnEffectPlaysTheRestOfTheMusicAndNamesEachCueLeftOut)
{
    const std::string folder = TemporaryFolder("score-placement");
    std::string error;
    const auto built = Archive::Open(TARNELVOIS_ARCHIVE, error);
    ASSERT_TRUE(built) << error;
    // The build packs the score's path as the user edits it, from the project's folder.
    ASSERT_EQ(EntryText(*built, "score.source"), "data/score.txt");
    const std::string score = EntryText(*built, "score.txt");
    const std::string expected = WarningsForLinesNaming(score, "data/score.txt", "CUBE9");
    ASSERT_FALSE(expected.empty()) << "the score no longer names CUBE9; pick another effect it names";

    const std::string timeline = WithoutLinesNaming(EntryText(*built, "timeline.txt"), "CUBE9");
    const std::string edited = ArchiveWithTimeline(folder, timeline);
    SaveFile(folder + "/timeline.txt", TextBytes(timeline));
    const std::string span = " --headless --quiet --size 32x24 --fps 10 --start 33000 --end 33300 --capture ";
    const std::pair<std::string, std::string> runs[] = {
        {"--data " + edited, "packed"},
        {"--timeline " + folder + "/timeline.txt", "given"},
    };
    for (const auto& [source, name] : runs) {
        std::string output;
        EXPECT_EQ(RunProgram(source + span + folder + "/" + name + "/", &output), 0) << output;
        EXPECT_EQ(output, expected) << name;
        EXPECT_TRUE(HasSound(folder + "/" + name + "/soundtrack.wav")) << name << ": the music must play";
    }
}

}  // namespace
