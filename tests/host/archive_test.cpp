#include "host/archive.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Entry {
    std::string name;
    Bytes contents;
    bool stored;  // no compression, so the bytes can be found and damaged in the file
};

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "archive-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    std::string MakeZip(const std::string& fileName, const std::vector<Entry>& entries) const {
        const std::string path = PathOf(fileName);
        int code = 0;
        zip* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        EXPECT_NE(archive, nullptr);
        for (const Entry& entry : entries) {
            zip_source_t* source = zip_source_buffer(archive, entry.contents.data(), entry.contents.size(), 0);
            const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
            EXPECT_GE(index, 0);
            if (entry.stored) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        }
        EXPECT_EQ(zip_close(archive), 0);
        return path;
    }

    static Bytes Load(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void Save(const std::string& path, const Bytes& bytes) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    fs::path folder_;
};

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
}

void PutLittle32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST_F(ArchiveTest, FindsEntriesWhateverTheCaseAndSeparator) {
    const Bytes picture = Pattern(70000);
    const std::string path = MakeZip("demodat.zip", {{"demotex/Txts3.tga", picture, false},
                                                     {"Demotex/End.tga", Bytes{1, 2, 3}, true}});
    std::string error;
    auto archive = Archive::Open(path, error);
    ASSERT_NE(archive, nullptr) << error;

    EXPECT_TRUE(archive->Contains("DEMOTEX\\END.TGA"));
    EXPECT_FALSE(archive->Contains("Txts3.tga")) << "the folder is part of the name";

    Bytes contents;
    ASSERT_TRUE(archive->Read("demotex\\txts3.TGA", contents, error)) << error;
    EXPECT_EQ(contents, picture);
    ASSERT_TRUE(archive->Read("demotex/end.tga", contents, error)) << error;
    EXPECT_EQ(contents, (Bytes{1, 2, 3}));

    EXPECT_FALSE(archive->Read("demotex\\star.tga", contents, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("demotex\\star.tga"), std::string::npos) << error;
    EXPECT_TRUE(contents.empty());
}

TEST_F(ArchiveTest, RefusesWhatIsNotAWholeArchive) {
    const std::string good = MakeZip("good.zip", {{"a.tga", Pattern(5000), false}, {"b.tga", Pattern(5000), false}});
    const Bytes goodBytes = Load(good);
    Save(PathOf("truncated.zip"), Bytes(goodBytes.begin(), goodBytes.begin() + goodBytes.size() * 2 / 3));
    Save(PathOf("empty.zip"), {});
    Save(PathOf("text.zip"), Bytes{'h', 'e', 'l', 'l', 'o', '\n'});
    fs::create_directory(PathOf("folder.zip"));

    const std::pair<std::string, std::string> cases[] = {
        {"missing.zip", "no such file"},   {"empty.zip", "empty file"},
        {"text.zip", "not a zip archive"}, {"truncated.zip", "not a zip archive"},
        {"folder.zip", "not a file"},
    };
    for (const auto& [name, reason] : cases) {
        std::string error;
        EXPECT_EQ(Archive::Open(PathOf(name), error), nullptr) << name;
        EXPECT_EQ(error.rfind(PathOf(name) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST_F(ArchiveTest, DamagedStoredEntryFailsItsChecksum) {
    const Bytes picture = Pattern(4000);
    const std::string path = MakeZip("damaged.zip", {{"demotex/Line.tga", picture, true}});
    Bytes file = Load(path);
    // The stored bytes appear verbatim in the file: damage one in the middle of them.
    const auto found = std::search(file.begin(), file.end(), picture.begin(), picture.end());
    ASSERT_NE(found, file.end());
    found[2000] ^= 0x40;
    Save(path, file);

    std::string error;
    auto archive = Archive::Open(path, error);
    ASSERT_NE(archive, nullptr) << error;
    Bytes contents;
    EXPECT_FALSE(archive->Read("demotex\\Line.tga", contents, error));
    EXPECT_NE(error.find("checksum"), std::string::npos) << error;
    EXPECT_TRUE(contents.empty());
}

TEST_F(ArchiveTest, NeverTrustsTheStatedSize) {
    Bytes zeros(Archive::kMaxEntrySize + 1, 0);
    MakeZip("huge.zip", {{"huge.bin", zeros, false}});
    zeros = Bytes();
    std::string error;
    auto huge = Archive::Open(PathOf("huge.zip"), error);
    ASSERT_NE(huge, nullptr) << error;
    Bytes contents;
    EXPECT_FALSE(huge->Read("huge.bin", contents, error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;

    // A header that understates the size, in both places libzip compares, must not let more through.
    const std::string path = MakeZip("lying.zip", {{"small.bin", Pattern(3000), false}});
    Bytes file = Load(path);
    const Bytes local{'P', 'K', 3, 4}, central{'P', 'K', 1, 2};
    const auto localAt = std::search(file.begin(), file.end(), local.begin(), local.end()) - file.begin();
    const auto centralAt = std::search(file.begin(), file.end(), central.begin(), central.end()) - file.begin();
    PutLittle32(file, localAt + 22, 100);
    PutLittle32(file, centralAt + 24, 100);
    Save(path, file);
    auto lying = Archive::Open(path, error);
    ASSERT_NE(lying, nullptr) << error;
    EXPECT_FALSE(lying->Read("small.bin", contents, error));
    EXPECT_TRUE(contents.empty());
}

TEST_F(ArchiveTest, LocatesTheArchive) {
    fs::create_directories(folder_ / "bin");
    fs::create_directories(folder_ / "elsewhere");
    Save(PathOf("bin/demodat.zip"), {1});
    Save(PathOf("elsewhere/demodat.zip"), {2});
    const fs::path previous = fs::current_path();
    std::string error;

    EXPECT_EQ(LocateArchive(PathOf("bin/demodat.zip"), "demodat.zip", "", error), PathOf("bin/demodat.zip"));
    EXPECT_EQ(LocateArchive(PathOf("nowhere.zip"), "demodat.zip", "", error), "");
    EXPECT_EQ(error, PathOf("nowhere.zip") + ": no such file");

    // The working directory comes before the program's folder.
    fs::current_path(folder_ / "elsewhere");
    EXPECT_EQ(LocateArchive("", "demodat.zip", PathOf("bin/tarnelvois"), error), "demodat.zip");
    // A relative program path is taken from the working directory.
    fs::current_path(folder_);
    EXPECT_EQ(fs::path(LocateArchive("", "demodat.zip", "./bin/tarnelvois", error)), fs::path("./bin/demodat.zip"));
    EXPECT_EQ(LocateArchive("", "other.zip", "./bin/tarnelvois", error), "");
    EXPECT_NE(error.find("other.zip"), std::string::npos) << error;
    EXPECT_NE(error.find("--data"), std::string::npos) << error;
    fs::current_path(previous);
}

}  // namespace
