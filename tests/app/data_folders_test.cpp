// Where the program looks for its archive: --data, the working directory, beside the program,
// an installed tree wherever it was moved, and the prefix it was built for.
#include "app/data_folders.h"
#include "host/archive.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The folders as this system writes them: the same names with its own separator.
std::vector<std::string> Native(std::vector<std::string> folders)
{
    for (std::string& folder : folders) folder = fs::path(folder).make_preferred().string();
    return folders;
}

// A fresh folder for each test, removed when the test ends.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(folder_); }
    void TearDown() override { fs::remove_all(folder_); }
    std::string PathOf(const std::string& name) const { return (folder_ / fs::path(name).make_preferred()).string(); }

    const fs::path folder_ = fs::temp_directory_path() / ("data-folder-test-" + std::to_string(ProcessId()));
};

void Save(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST_F(DataFolderTest, LocatesTheArchiveInTheFirstFolderThatHasIt)
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
              Native({".", "/opt/moved/bin", "/opt/moved/share/tarnelvois", "/usr/local/share/tarnelvois"}));
    // The build folder's program: nothing repeated, nothing invented for an unknown program.
    EXPECT_EQ(DataFolders("/usr/bin/tarnelvois", "/usr/share/tarnelvois"),
              Native({".", "/usr/bin", "/usr/share/tarnelvois"}));
    EXPECT_EQ(DataFolders("", ""), (std::vector<std::string>{"."}));
    // A Debian package puts the program in /usr/games: its share folder is still /usr/share.
    EXPECT_EQ(DataFolders("/usr/games/tarnelvois", "/usr/share/tarnelvois"),
              Native({".", "/usr/games", "/usr/share/tarnelvois"}));
}

}  // namespace
