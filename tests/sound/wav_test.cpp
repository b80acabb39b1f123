// WAV output: a header other programs read, little-endian samples, and nothing under the final
// name until the file is whole.
#include "sound/wav.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::string Folder(const std::string& name) {
    const auto folder = std::filesystem::temp_directory_path() / ("wav-" + name + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t Le32(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

TEST(Wav, WritesA48kHzStereo16BitFileInPieces) {
    const std::string path = Folder("whole") + "/out.wav";
    audio::WavWriter wav;
    std::string error;
    ASSERT_TRUE(wav.Open(path, error)) << error;
    const std::int16_t first[] = {1, -1, 0x1234, -32768};
    const std::int16_t second[] = {32767, 7};
    ASSERT_TRUE(wav.Write(first, 2, error)) << error;
    ASSERT_TRUE(wav.Write(second, 1, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path));  // not yet whole
    ASSERT_TRUE(wav.Close(error)) << error;
    const std::vector<unsigned char> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 44u + 12u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(bytes, 4), 36u + 12u);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(bytes, 24), 48000u);
    EXPECT_EQ(Le32(bytes, 28), 48000u * 4);
    EXPECT_EQ(bytes[22], 2);   // channels
    EXPECT_EQ(bytes[34], 16);  // bits
    EXPECT_EQ(Le32(bytes, 40), 12u);
    const std::vector<unsigned char> data(bytes.begin() + 44, bytes.end());
    EXPECT_EQ(data, (std::vector<unsigned char>{1, 0, 0xFF, 0xFF, 0x34, 0x12, 0x00, 0x80, 0xFF, 0x7F, 7, 0}));
    // ffmpeg reads it as what it is.
    const std::string probe = "ffprobe -v error -show_entries stream=sample_rate,channels,codec_name -of csv=p=0 '" + path + "'";
    FILE* pipe = popen(probe.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[128] = {};
    ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
    pclose(pipe);
    EXPECT_EQ(std::string(line), "pcm_s16le,48000,2\n");
}

TEST(Wav, AWriterLeftUnclosedLeavesNothing) {
    const std::string folder = Folder("unclosed");
    {
        audio::WavWriter wav;
        std::string error;
        ASSERT_TRUE(wav.Open(folder + "/out.wav", error)) << error;
        const std::int16_t samples[] = {1, 2};
        ASSERT_TRUE(wav.Write(samples, 1, error));
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(Wav, AnUnwritablePathIsOneLineNamingIt) {
    audio::WavWriter wav;
    std::string error;
    EXPECT_FALSE(wav.Open("/nonexistent-folder/out.wav", error));
    EXPECT_EQ(error.rfind("cannot write /nonexistent-folder/out.wav: ", 0), 0u) << error;
    EXPECT_FALSE(wav.Write(nullptr, 0, error));
}

// The command-line renderer: a span of the piece to a file, and every mistake one line.
int RunTool(const std::string& arguments, std::string& output) {
    output.clear();
    FILE* pipe = popen((std::string(RENDER_SOUNDTRACK_BINARY) + " " + arguments + " 2>&1").c_str(), "r");
    char buffer[1024];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
    return WEXITSTATUS(pclose(pipe));
}

TEST(RenderSoundtrack, WritesTheSpanAskedFor) {
    const std::string folder = Folder("tool");
    std::ofstream(folder + "/timeline.txt") << "0 start A 0\n3000 stop A\n3000 end\n";
    std::ofstream(folder + "/score.txt") << "instrument kick kick\nhit kick x at start:A+2\n";
    std::string output;
    ASSERT_EQ(RunTool("--score " + folder + "/score.txt --timeline " + folder + "/timeline.txt --output " + folder +
                      "/x.wav --start 500 --end 2500",
                  output),
              0)
        << output;
    const std::vector<unsigned char> bytes = ReadBytes(folder + "/x.wav");
    ASSERT_EQ(bytes.size(), 44u + 2 * 48000 * 4);
    // The kick at 1000 ms sounds from the frame 500 ms into the file.
    std::size_t firstSound = 0;
    for (std::size_t i = 44; i < bytes.size(); ++i) {
        if (bytes[i] != 0) { firstSound = (i - 44) / 4; break; }
    }
    EXPECT_EQ(firstSound, 24000u);

    std::ofstream(folder + "/bad.txt") << "instrument kick kick\nhit kick x at start:B\n";
    EXPECT_EQ(RunTool("--score " + folder + "/bad.txt --timeline " + folder + "/timeline.txt --output " + folder + "/y.wav", output), 1);
    EXPECT_EQ(output, "render_soundtrack: " + folder + "/bad.txt:2: no effect B in the timeline\n");
    EXPECT_FALSE(std::filesystem::exists(folder + "/y.wav"));
    EXPECT_EQ(RunTool("--score " + folder + "/score.txt --timeline " + folder + "/timeline.txt --output " + folder +
                      "/y.wav --start 2000 --end 1000",
                  output),
              1);
    EXPECT_EQ(output, "render_soundtrack: --end 1000 is before --start 2000\n");
    EXPECT_EQ(RunTool("--score", output), 1);
    EXPECT_EQ(output.find('\n'), output.size() - 1) << output;
}

}  // namespace
