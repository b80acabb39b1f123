// Finding entries and the archive itself, and entries whose bytes cannot be trusted. Archives that
// cannot be opened at all are tried on the program itself, in the render tests.
#include "host/archive.h"
#include "host/data_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder for each test, removed when the test ends.
class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(folder_); }
    void TearDown() override { fs::remove_all(folder_); }
    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    // Entries are stored uncompressed, so their bytes can be found and changed in the file.
    std::string MakeZip(const std::map<std::string, Bytes>& entries) const
    {
        zip* archive = zip_open(PathOf("data.zip").c_str(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
        for (const auto& [name, contents] : entries) {
            const zip_int64_t index = zip_file_add(
                archive, name.c_str(), zip_source_buffer(archive, contents.data(), contents.size(), 0), ZIP_FL_ENC_UTF_8);
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
        EXPECT_EQ(zip_close(archive), 0);
        return PathOf("data.zip");
    }

    const fs::path folder_ = fs::temp_directory_path() / ("archive-test-" + std::to_string(getpid()));
};

Bytes Pattern(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
}

Bytes Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void Save(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST_F(ArchiveTest, FindsEntriesWhateverTheCaseAndSeparator)
{
    const Bytes picture = Pattern(70000);
    const std::string path = MakeZip({{"demotex/Txts3.tga", picture}, {"Demotex/End.tga", {1, 2, 3}}});
    std::string error;
    auto archive = Archive::Open(path, error);
    ASSERT_NE(archive, nullptr) << error;
    EXPECT_TRUE(archive->Contains("DEMOTEX\\END.TGA"));
    EXPECT_FALSE(archive->Contains("Txts3.tga")) << "the folder is part of the name";

    Bytes contents;
    ASSERT_TRUE(archive->Read("demotex\\txts3.TGA", contents, error)) << error;
    EXPECT_EQ(contents, picture);
    EXPECT_FALSE(archive->Read("demotex\\star.tga", contents, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("demotex/star.tga"), std::string::npos) << error;
    EXPECT_TRUE(contents.empty());
}

TEST_F(ArchiveTest, DamagedOrUnderstatedEntriesGiveNothing)
{
    const Bytes picture = Pattern(4000);
    const std::string path = MakeZip({{"damaged.tga", picture}, {"small.bin", Pattern(3000)}});
    Bytes file = Load(path);
    const auto found = std::search(file.begin(), file.end(), picture.begin(), picture.end());
    ASSERT_NE(found, file.end());
    found[2000] ^= 0x40;
    // A header that understates the size, in both places libzip compares, must not let more through.
    auto patchSize = [&](const Bytes& signature, std::size_t offset, const Bytes& after) {
        auto at = std::search(file.begin(), file.end(), after.begin(), after.end());
        at = std::find_end(file.begin(), at, signature.begin(), signature.end()) + offset;
        std::copy_n(Bytes{100, 0, 0, 0}.begin(), 4, at);
    };
    patchSize({'P', 'K', 3, 4}, 22, {'s', 'm', 'a', 'l', 'l'});
    patchSize({'P', 'K', 1, 2}, 24, {'P', 'K', 5, 6});
    Save(path, file);

    std::string error;
    auto archive = Archive::Open(path, error);
    ASSERT_NE(archive, nullptr) << error;
    Bytes contents;
    EXPECT_FALSE(archive->Read("damaged.tga", contents, error));
    EXPECT_NE(error.find("checksum"), std::string::npos) << error;
    EXPECT_TRUE(contents.empty());
    EXPECT_FALSE(archive->Read("small.bin", contents, error));
    EXPECT_TRUE(contents.empty());
}

TEST_F(ArchiveTest, LocatesTheArchiveInTheFirstFolderThatHasIt)
{
    fs::create_directories(folder_ / "bin");
    fs::create_directories(folder_ / "share");
    fs::create_directories(folder_ / "elsewhere");
    Save(PathOf("bin/demodat.zip"), {1});
    Save(PathOf("share/demodat.zip"), {1});
    Save(PathOf("elsewhere/demodat.zip"), {2});
    const fs::path previous = fs::current_path();
    std::string error;
    EXPECT_EQ(LocateArchive(PathOf("nowhere.zip"), "demodat.zip", {"."}, error), "");
    EXPECT_EQ(error, PathOf("nowhere.zip") + ": no such file");
    EXPECT_EQ(LocateArchive(PathOf("bin"), "demodat.zip", {"."}, error), "");
    EXPECT_EQ(error, PathOf("bin") + ": not a file");

    // The working directory comes first, then the folders in their order.
    fs::current_path(folder_ / "elsewhere");
    const std::vector<std::string> folders{".", PathOf("empty"), PathOf("share"), PathOf("bin")};
    EXPECT_EQ(LocateArchive("", "demodat.zip", folders, error), "demodat.zip");
    fs::current_path(folder_);
    EXPECT_EQ(LocateArchive("", "demodat.zip", folders, error), PathOf("share/demodat.zip"));

    // Not found: every place is named, the working directory by its path, and --data is offered.
    EXPECT_EQ(LocateArchive("", "other.zip", folders, error), "");
    EXPECT_EQ(error, "other.zip not found in the working directory (" + fs::current_path().string() + "), " +
                         PathOf("empty") + ", " + PathOf("share") + " or " + PathOf("bin") +
                         "; give its path with --data PATH");
    fs::current_path(previous);
}

TEST(DataFolders, InstalledTreeFoundFromTheProgramWhereverItWasMoved)
{
    EXPECT_EQ(DataFolders("/opt/moved/bin/tarnelvois", "/usr/local/share/tarnelvois"),
              (std::vector<std::string>{".", "/opt/moved/bin", "/opt/moved/share/tarnelvois",
                                        "/usr/local/share/tarnelvois"}));
    // The build folder's program: nothing repeated, nothing invented for an unknown program.
    EXPECT_EQ(DataFolders("/usr/bin/tarnelvois", "/usr/share/tarnelvois"),
              (std::vector<std::string>{".", "/usr/bin", "/usr/share/tarnelvois"}));
    EXPECT_EQ(DataFolders("", ""), (std::vector<std::string>{"."}));
    // A Debian package puts the program in /usr/games: its share folder is still /usr/share.
    EXPECT_EQ(DataFolders("/usr/games/tarnelvois", "/usr/share/tarnelvois"),
              (std::vector<std::string>{".", "/usr/games", "/usr/share/tarnelvois"}));
}

TEST(DataFolders, RunningProgramIsTheFileNotTheLinkItWasCalledBy)
{
    // This test program reached through /proc: the resolved file, whatever argv[0] says.
    EXPECT_EQ(RunningProgram("/some/link/name"), fs::read_symlink("/proc/self/exe").string());
}

TEST_F(ArchiveTest, MessagesNameEntriesAsTheArchiveHoldsThem)
{
    const std::string path = MakeZip({{"demotex/Zep.tga", Bytes{1, 2, 3}}});
    std::string error;
    std::unique_ptr<Archive> archive = Archive::Open(path, error);
    ASSERT_NE(archive, nullptr) << error;
    EXPECT_EQ(archive->EntryName("DEMOTEX\\zep.tga"), "demotex/Zep.tga");
    EXPECT_EQ(archive->EntryName("demotex\\Missing.tga"), "demotex/Missing.tga");
    Bytes contents;
    EXPECT_FALSE(archive->Read("demotex\\Missing.tga", contents, error));
    EXPECT_EQ(error, path + ": demotex/Missing.tga: no such entry in the archive");
}

}  // namespace
