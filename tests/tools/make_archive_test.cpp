// The generator run as the build runs it: same bytes every time, pictures the host can read,
// and nothing left behind when it fails.
#include "src/host/image.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class MakeArchive : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        directory_ = fs::temp_directory_path() /
                     ("make_archive_test_" + std::to_string(getpid()) + "_" + test->name());
        fs::remove_all(directory_);
        fs::create_directories(directory_);
        timeline_ = (directory_ / "timeline.txt").string();
        // Bytes a text-mode copy would spoil: CRLF, UTF-8 in a comment, no final newline.
        static const char kBytes[] = "0 start CONTROL 0\r\n# caf\xc3\xa9 \xe2\x80\x94 note\r\n255000 end";
        timelineBytes_ = std::string(kBytes, sizeof kBytes - 1);
        std::ofstream(timeline_, std::ios::binary) << timelineBytes_;
    }
    void TearDown() override { fs::remove_all(directory_); }

    // Exit status of the generator; its stderr goes to errors_.
    int Run(const std::string& arguments) {
        const std::string errors = (directory_ / "stderr.txt").string();
        const std::string command = std::string("'") + MAKE_ARCHIVE_BINARY + "' " + arguments + " 2>'" + errors + "'";
        const int status = std::system(command.c_str());
        errors_ = ReadAll(errors);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string ReadAll(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    std::string Path(const std::string& name) const { return (directory_ / name).string(); }

    fs::path directory_;
    std::string timeline_;
    std::string timelineBytes_;
    std::string errors_;
};

std::vector<std::uint8_t> ReadEntry(zip_t* archive, zip_uint64_t index) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    EXPECT_EQ(zip_stat_index(archive, index, 0, &stat), 0);
    std::vector<std::uint8_t> bytes(stat.size);
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return {};
    EXPECT_EQ(zip_fread(file, bytes.data(), bytes.size()), static_cast<zip_int64_t>(bytes.size()));
    zip_fclose(file);
    return bytes;
}

bool IsPowerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

TEST_F(MakeArchive, HelpIsAnAnswerNotAMistake) {
    EXPECT_EQ(Run("--help --output '" + Path("help.zip") + "'"), 0);
    EXPECT_EQ(errors_, "");
    EXPECT_FALSE(fs::exists(Path("help.zip")));
}

}  // namespace

TEST_F(MakeArchive, GivesTheSameBytesEveryRunHoldingTheTimelineAsWrittenAndPicturesTheHostCanDecode) {
    ASSERT_EQ(Run("--timeline '" + timeline_ + "' --output '" + Path("demodat.zip") + "'"), 0) << errors_;
    ASSERT_EQ(Run("--output '" + Path("second.zip") + "' --timeline '" + timeline_ + "'"), 0) << errors_;
    EXPECT_TRUE(ReadAll(Path("demodat.zip")) == ReadAll(Path("second.zip"))) << "the archive must be reproducible";
    EXPECT_FALSE(fs::exists(Path("second.zip.tmp")));
    int error = 0;
    zip_t* archive = zip_open(Path("demodat.zip").c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    ASSERT_NE(archive, nullptr) << "libzip error " << error;

    const zip_int64_t timeline = zip_name_locate(archive, "timeline.txt", 0);
    ASSERT_GE(timeline, 0);
    const std::vector<std::uint8_t> stored = ReadEntry(archive, timeline);
    EXPECT_EQ(std::string(stored.begin(), stored.end()), timelineBytes_);

    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const std::string name = zip_get_name(archive, i, 0);
        if (name == "timeline.txt") continue;
        SCOPED_TRACE(name);
        ASSERT_EQ(name.rfind("demotex/", 0), 0u);
        Image image;
        std::string decodeError;
        ASSERT_TRUE(DecodeTga(ReadEntry(archive, i), image, decodeError)) << decodeError;
        EXPECT_TRUE(IsPowerOfTwo(image.width) && IsPowerOfTwo(image.height));
    }
    zip_close(archive);
}

TEST_F(MakeArchive, AFailedRunSaysWhyInOneLineAndLeavesNothing) {
    // A stale archive from an earlier build must not survive a failed one looking up to date.
    std::ofstream(Path("demodat.zip")) << "stale";
    const std::string timeline = " --timeline '" + timeline_ + "'";
    const std::pair<std::string, std::string> cases[] = {  // arguments, what the message names
        {timeline + " --output '" + Path("missing-folder/demodat.zip") + "'", Path("missing-folder/demodat.zip")},
        {" --timeline '" + Path("no-such-timeline.txt") + "' --output '" + Path("demodat.zip") + "'",
         "no-such-timeline.txt"},
        {timeline + " --output '" + Path("a.zip") + "' --colour red", "--colour"},
    };
    for (const auto& [arguments, named] : cases) {
        EXPECT_EQ(Run(arguments), 1) << arguments;
        EXPECT_EQ(errors_.rfind("make_archive: ", 0), 0u) << errors_;
        EXPECT_NE(errors_.find(named), std::string::npos) << errors_;
        EXPECT_EQ(errors_.find('\n'), errors_.size() - 1) << errors_;
    }
    for (const char* left : {"missing-folder/demodat.zip", "demodat.zip", "demodat.zip.tmp", "a.zip"})
        EXPECT_FALSE(fs::exists(Path(left))) << left;
}

TEST_F(MakeArchive, PacksTheScoreAsWrittenAndRefusesAMissingOne) {
    const std::string score = Path("score.txt");
    std::ofstream(score, std::ios::binary) << "tempo 120\r\ninstrument bell fm\n";
    ASSERT_EQ(Run("--timeline '" + timeline_ + "' --score '" + score + "' --output '" + Path("demodat.zip") + "'"), 0) << errors_;
    int error = 0;
    zip_t* archive = zip_open(Path("demodat.zip").c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    ASSERT_NE(archive, nullptr) << "libzip error " << error;
    const zip_int64_t entry = zip_name_locate(archive, "score.txt", 0);
    ASSERT_GE(entry, 0);
    const std::vector<std::uint8_t> stored = ReadEntry(archive, entry);
    EXPECT_EQ(std::string(stored.begin(), stored.end()), "tempo 120\r\ninstrument bell fm\n");
    zip_close(archive);

    EXPECT_EQ(Run("--timeline '" + timeline_ + "' --score '" + Path("none.txt") + "' --output '" + Path("demodat.zip") + "'"), 1);
    EXPECT_EQ(errors_, "make_archive: cannot read the score (" + Path("none.txt") + ")\n");
    EXPECT_FALSE(fs::exists(Path("demodat.zip")));
}

TEST_F(MakeArchive, RefusesATimelineTheProgramWouldRefuseWithTheProgramsMessage) {
    const std::pair<std::string, std::string> cases[] = {  // timeline, the message after "make_archive: "
        {"0 start CONTROL 0\n142000 start ZAP 60\n148000 stop ZEP\n255000 end\n", "2: unknown effect ZAP"},
        {"0 strat CONTROL 0\n255000 end\n", "1: unknown command 'strat'"},
        {"0 start CONTROL 0\n", "1: no end line"},
    };
    for (const auto& [text, message] : cases) {
        std::ofstream(Path("demodat.zip")) << "stale";
        std::ofstream(timeline_, std::ios::binary | std::ios::trunc) << text;
        EXPECT_EQ(Run("--timeline '" + timeline_ + "' --output '" + Path("demodat.zip") + "'"), 1);
        EXPECT_EQ(errors_, "make_archive: " + timeline_ + ":" + message + "\n");
        EXPECT_FALSE(fs::exists(Path("demodat.zip"))) << text;
    }
    // Texts no effect reads are worth a warning each, not a failed build.
    std::ofstream(timeline_, std::ios::binary | std::ios::trunc)
        << "0 start CONTROL 0 # clear\n0 start STAR 70\n1 param CONTROL \"COLOUR OFF\"\n2 param STAR \"hello\"\n"
           "3 param CONTROL \"COLOR OFF\"\n255000 end\n";
    ASSERT_EQ(Run("--timeline '" + timeline_ + "' --output '" + Path("demodat.zip") + "'"), 0) << errors_;
    EXPECT_EQ(errors_, "make_archive: " + timeline_ + ":3: warning: \"COLOUR OFF\" does nothing: CONTROL accepts "
                       "\"COLOR ON\", \"COLOR OFF\", \"DEPTH ON\", \"DEPTH OFF\"\n"
                       "make_archive: " + timeline_ + ":4: warning: \"hello\" does nothing: STAR takes no parameters\n");
}

TEST_F(MakeArchive, PacksAPictureFromTheOverridesFolderInsteadOfTheDrawnOneAtEveryRun) {
    fs::create_directories(Path("overrides"));
    // A 2x1 RLE picture, top-left origin: not what the generator writes, but one the program shows.
    const std::vector<std::uint8_t> tga = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0x20, 0x81, 10, 20, 30};
    std::ofstream(Path("overrides/Zep.tga"), std::ios::binary).write(reinterpret_cast<const char*>(tga.data()), tga.size());
    std::ofstream(Path("overrides/zep.TGA")) << "misnamed";
    const std::string arguments = "--timeline '" + timeline_ + "' --overrides '" + Path("overrides") + "' --output '";
    for (const char* output : {"first.zip", "second.zip"}) {
        ASSERT_EQ(Run(arguments + Path(output) + "' --preview '" + Path("preview") + "'"), 0) << errors_;
        EXPECT_EQ(errors_, "make_archive: " + Path("overrides/zep.TGA") +
                               ": not packed: no picture is called zep.TGA; did you mean Zep.tga?\n");
        int error = 0;
        zip_t* archive = zip_open(Path(output).c_str(), ZIP_RDONLY, &error);
        ASSERT_NE(archive, nullptr);
        const zip_int64_t zep = zip_name_locate(archive, "demotex/Zep.tga", 0);
        ASSERT_GE(zep, 0);
        EXPECT_EQ(ReadEntry(archive, zep), tga);
        EXPECT_GT(ReadEntry(archive, zip_name_locate(archive, "demotex/End.tga", 0)).size(), 100000u) << "drawn";
        zip_close(archive);
    }
    EXPECT_TRUE(fs::exists(Path("preview/Zep.png"))) << "the preview decodes what is packed";

    // A file the program could not show stops the build rather than turning black on screen.
    std::ofstream(Path("overrides/End.tga")) << "not a picture";
    EXPECT_EQ(Run(arguments + Path("third.zip") + "'"), 1);
    EXPECT_NE(errors_.find("End.tga"), std::string::npos) << errors_;
    EXPECT_FALSE(fs::exists(Path("third.zip")));
}

// Where the scrolling and sliding texts are drawn decides whether they run under the airship or
// off the screen's edge; the layouts keep clear of both.
TEST_F(MakeArchive, TextsKeepClearOfTheAirshipAndOfTheRightEdge) {
    ASSERT_EQ(Run("--timeline '" + timeline_ + "' --output '" + Path("demodat.zip") + "'"), 0) << errors_;
    int error = 0;
    zip_t* archive = zip_open(Path("demodat.zip").c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(archive, nullptr);
    auto decode = [&](const char* name) {
        Image image;
        std::string problem;
        EXPECT_TRUE(DecodeTga(ReadEntry(archive, zip_name_locate(archive, name, 0)), image, problem)) << name;
        return image;
    };
    // Lit texels in columns [from, to) of rows [fromRow, toRow) counted from the top.
    auto lit = [](const Image& image, int from, int to, int fromRow, int toRow) {
        int count = 0;
        for (int row = fromRow; row < toRow; ++row)
            for (int x = from; x < to; ++x) {
                const std::uint8_t* texel = &image.rgb[(std::size_t(image.height - 1 - row) * image.width + x) * 3];
                count += std::max({texel[0], texel[1], texel[2]}) > 12;
            }
        return count;
    };
    // The credits scroll while the airship rests with its tail 35 % across the screen; the panel
    // spans 20 % to 80 %, so its left 25 % lies beside the ship.
    const Image credits = decode("demotex/Txts4.tga");
    EXPECT_EQ(lit(credits, 0, credits.width / 4, 0, credits.height), 0);
    EXPECT_GT(lit(credits, credits.width / 4, credits.width, 0, credits.height), 10000);
    // A bottom caption (second and fourth band) slides from 33 % to 53 % of the width while it
    // fades, drawn 67 % wide: texels right of 70 % of its picture would be cut off while lit.
    for (const char* name : {"demotex/txts1.tga", "demotex/txts2.tga"}) {
        const Image captions = decode(name);
        const int cut = captions.width * 70 / 100, band = captions.height / 4;
        for (int lower : {1, 3}) {
            EXPECT_EQ(lit(captions, cut, captions.width, lower * band, (lower + 1) * band), 0) << name << lower;
            EXPECT_GT(lit(captions, 0, cut, lower * band, (lower + 1) * band), 1000) << name << lower;
        }
    }
    zip_close(archive);
}

// A 2x1 PNG: opaque red, then transparent white.
const std::vector<std::uint8_t> kPng = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00,
    0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x22, 0x7F, 0x8A, 0x00, 0x00, 0x00, 0x14, 0x49,
    0x44, 0x41, 0x54, 0x78, 0x01, 0x01, 0x09, 0x00, 0xF6, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00,
    0x15, 0xF3, 0x04, 0xFC, 0xD2, 0x42, 0x6F, 0x77, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60,
    0x82};

// What a maker paints comes as PNG as often as TGA, and under a name slightly off: a PNG is packed
// as the TGA it decodes to (its transparency black), whatever its name's ending, a near name gets
// the name it most likely meant, and a picture in another format is named for what it is.
TEST_F(MakeArchive, PacksPngOverridesAndSaysWhichNameOrFormatWasMeant) {
    fs::create_directories(Path("overrides"));
    auto save = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(Path("overrides/" + name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    save("Zep.png", kPng);
    save("End.tga", kPng);  // renamed, not converted
    save("zep.tga", kPng);
    save("Lihgt.tga", kPng);
    save("notes.txt", {'h', 'i'});
    const std::string arguments = "--timeline '" + timeline_ + "' --overrides '" + Path("overrides") + "' --output '";
    ASSERT_EQ(Run(arguments + Path("demodat.zip") + "'"), 0) << errors_;
    EXPECT_EQ(errors_, "make_archive: " + Path("overrides/Lihgt.tga") + ": not packed: no picture is called Lihgt.tga; did you mean Light.tga?\n"
                       "make_archive: " + Path("overrides/notes.txt") + ": not packed: no picture is called notes.txt\n"
                       "make_archive: " + Path("overrides/zep.tga") + ": not packed: no picture is called zep.tga; did you mean Zep.tga?\n");
    int error = 0;
    zip_t* archive = zip_open(Path("demodat.zip").c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(archive, nullptr);
    for (const char* name : {"demotex/Zep.tga", "demotex/End.tga"}) {
        Image image;
        std::string problem;
        ASSERT_TRUE(DecodeTga(ReadEntry(archive, zip_name_locate(archive, name, 0)), image, problem)) << name << problem;
        EXPECT_EQ(image.rgb, (std::vector<std::uint8_t>{255, 0, 0, 0, 0, 0})) << name;
    }
    EXPECT_LT(zip_name_locate(archive, "demotex/Zep.png", ZIP_FL_NOCASE), 0);
    zip_close(archive);

    // Two files for one picture, and a JPEG under a TGA's name, stop the build.
    save("Zep.tga", kPng);
    EXPECT_EQ(Run(arguments + Path("second.zip") + "'"), 1);
    EXPECT_NE(errors_.find("both Zep.png and Zep.tga would replace Zep.tga"), std::string::npos) << errors_;
    fs::remove(Path("overrides/Zep.tga"));
    save("End.tga", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    EXPECT_EQ(Run(arguments + Path("third.zip") + "'"), 1);
    EXPECT_NE(errors_.find("make_archive: not a picture the program can show: a JPEG picture; only TGA and PNG are read (" +
                           Path("overrides/End.tga") + ")"),
              std::string::npos)
        << errors_;
    EXPECT_FALSE(fs::exists(Path("third.zip")));
}

// The score is read against the timeline as the program will read it: a cue whose moment the
// timeline lacks is warned about, by the score's path and line, and packed; the path goes into
// the archive so the program names the same file; a mistake in the score stops the build.
TEST_F(MakeArchive, WarnsOfScoreCuesTheTimelineCannotPlaceAndPacksTheScoresPath) {
    std::ofstream(timeline_, std::ios::binary | std::ios::trunc)
        << "0 start CONTROL 0\n1000 start CUBE 20\n9000 stop CUBE\n20000 end\n";
    const std::string score = Path("score.txt");
    std::ofstream(score, std::ios::binary) << "tempo 120\ninstrument bell fm\nhit bell A4 at start:CUBE\n"
                                              "hit bell A4 at start:CUBE9\nhit bell A4 at stop:CUBE+40\n";
    const std::string arguments = "--timeline '" + timeline_ + "' --score '" + score + "' --output '";
    ASSERT_EQ(Run(arguments + Path("demodat.zip") + "'"), 0) << errors_;
    EXPECT_EQ(errors_, "make_archive: warning: " + score + ":4: no effect CUBE9 in the timeline; this cue is left out of the music\n"
                       "make_archive: warning: " + score + ":5: position stop:CUBE+40 is after the end of the piece (20000 ms); "
                       "this cue is left out of the music\n");
    int error = 0;
    zip_t* archive = zip_open(Path("demodat.zip").c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(archive, nullptr);
    const zip_int64_t source = zip_name_locate(archive, "score.source", 0);
    ASSERT_GE(source, 0);
    const std::vector<std::uint8_t> path = ReadEntry(archive, source);
    EXPECT_EQ(std::string(path.begin(), path.end()), score);
    zip_close(archive);

    std::ofstream(score, std::ios::binary | std::ios::app) << "hit gong A4 at bar:1\n";
    EXPECT_EQ(Run(arguments + Path("demodat.zip") + "'"), 1);
    EXPECT_NE(errors_.find("make_archive: " + score + ":6: unknown instrument 'gong'\n"), std::string::npos) << errors_;
    EXPECT_FALSE(fs::exists(Path("demodat.zip")));
}
