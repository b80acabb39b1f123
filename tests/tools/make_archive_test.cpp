// The generator run as the build runs it: same bytes every time, pictures the host can read,
// and nothing left behind when it fails.
#include "src/host/image.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <sys/wait.h>
#include <unistd.h>

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
        // Bytes a text-mode copy would spoil: CRLF, a lone CR, a NUL, no final newline.
        static const char kBytes[] = "0 start CONTROL 0\r\n255000 end\r\x00\xff";
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
