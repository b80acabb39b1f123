// Naming a finished output and claiming a capture's folder: a video never replaces one that
// appeared meanwhile unless asked to, and two captures never share a folder.
#include "platform/files.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(folder_); }
    void TearDown() override { fs::remove_all(folder_); }
    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    static void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    static std::string Read(const std::string& path)
    {
        std::ostringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    }

    const fs::path folder_ = fs::temp_directory_path() / ("files-test-" + std::to_string(ProcessId()));
};

TEST_F(FilesTest, AFileThereIsReplacedOnlyWhenAskedAndTheNewOneIsKeptOtherwise)
{
    std::string reason;
    Write(PathOf("new.part"), "new");
    EXPECT_EQ(MoveIntoPlace(PathOf("new.part"), PathOf("video.mp4"), false, reason), Placement::Placed);
    EXPECT_EQ(Read(PathOf("video.mp4")), "new");

    Write(PathOf("second.part"), "second");
    EXPECT_EQ(MoveIntoPlace(PathOf("second.part"), PathOf("video.mp4"), false, reason), Placement::TargetExists);
    EXPECT_EQ(Read(PathOf("video.mp4")), "new") << "the video that was there first was replaced";
    EXPECT_EQ(Read(PathOf("second.part")), "second") << "the second video was lost";

    EXPECT_EQ(MoveIntoPlace(PathOf("second.part"), PathOf("video.mp4"), true, reason), Placement::Placed);
    EXPECT_EQ(Read(PathOf("video.mp4")), "second");
    EXPECT_FALSE(fs::exists(PathOf("second.part")));

    EXPECT_EQ(MoveIntoPlace(PathOf("gone.part"), PathOf("other.mp4"), false, reason), Placement::Failed);
    EXPECT_FALSE(reason.empty());
}

TEST_F(FilesTest, AFolderIsClaimedByOneCaptureAtATimeWhichIsNamed)
{
    std::string holder, reason;
    {
        std::unique_ptr<FolderClaim> first = FolderClaim::Take(folder_.string(), holder, reason);
        ASSERT_TRUE(first) << reason;
        EXPECT_FALSE(FolderClaim::Take(folder_.string(), holder, reason)) << "a second claim while the first holds";
        EXPECT_EQ(holder, "process " + std::to_string(ProcessId()));
    }
    holder.clear();
    EXPECT_TRUE(FolderClaim::Take(folder_.string(), holder, reason)) << "the claim outlived its holder";
    EXPECT_TRUE(holder.empty());
    // Claimed or not, the folder holds nothing of the claim once it has ended.
    EXPECT_TRUE(fs::is_empty(folder_));

    holder.clear();
    EXPECT_FALSE(FolderClaim::Take(PathOf("no-such-folder"), holder, reason));
    EXPECT_TRUE(holder.empty()) << "a folder that cannot be claimed is not someone else's";
    EXPECT_FALSE(reason.empty());
}

}  // namespace
