// The encoder's process on Windows, against the stand-in encoder: its frames on the standard input
// and its sound through a named pipe arrive whole; a failing encoder and a stalled one interrupted
// free every writer, whichever input it was waiting on, and leave no process behind.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>

#include "platform/descriptors.h"
#include "platform/encoder_process.h"
#include "platform/interrupt.h"
#include "platform/process.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kFrameBytes = 2 * 1 * 3;  // -video_size 2x1, bgr24
constexpr std::size_t kMoreThanAPipe = 4 << 20;  // the pipes hold 1 MB

std::vector<std::string> Command(const std::string& output)
{
    return {STAND_IN_ENCODER, "-video_size", "2x1", "-i", "pipe:0", "-i", EncoderInputName(1), output};
}

std::string Output(const std::string& name)
{
    return (fs::temp_directory_path() / ("encoder-" + std::to_string(ProcessId()) + "-" + name)).string();
}

// The sound's writer, as the capture's feed is: its own thread, on the released descriptor.
std::future<bool> WriteSound(EncoderProcess& encoder, std::vector<std::uint8_t> bytes)
{
    const int descriptor = encoder.ReleaseInput(1);
    return std::async(std::launch::async, [descriptor, bytes] {
        std::string reason;
        const bool written = WriteAllTo(descriptor, bytes.data(), bytes.size(), reason);
        CloseDescriptor(descriptor);
        return written;
    });
}

class EncoderProcessTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        _putenv("TARNELVOIS_STAND_IN_FAIL=");
        _putenv("TARNELVOIS_STAND_IN_STALL=");
    }
};

TEST_F(EncoderProcessTest, FramesAndSoundArriveWholeAndInOrder)
{
    const std::string output = Output("whole");
    EncoderProcess encoder;
    std::string error;
    ASSERT_TRUE(encoder.Start(Command(output), 2, error)) << error;
    const std::vector<std::uint8_t> sound{1, 2, 3, 4, 5, 6, 7, 8};
    std::future<bool> soundWritten = WriteSound(encoder, sound);
    std::vector<std::uint8_t> frames(3 * kFrameBytes);
    for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = std::uint8_t(100 + i);
    EXPECT_TRUE(encoder.Write(0, frames.data(), frames.size()));
    EXPECT_TRUE(soundWritten.get());
    std::string failure;
    EXPECT_EQ(encoder.Wait(failure), EncoderProcess::Ending::Finished) << failure;

    std::ifstream file(output, std::ios::binary);
    const std::vector<std::uint8_t> written{std::istreambuf_iterator<char>(file), {}};
    std::vector<std::uint8_t> expected = frames;
    expected.insert(expected.end(), sound.begin(), sound.end());
    EXPECT_EQ(written, expected);
    file.close();
    fs::remove(output);
}

TEST_F(EncoderProcessTest, AFailingEncoderIsReportedAndFreesTheSoundWaitingForIt)
{
    _putenv("TARNELVOIS_STAND_IN_FAIL=1");
    EncoderProcess encoder;
    std::string error;
    ASSERT_TRUE(encoder.Start(Command(Output("failing")), 2, error)) << error;
    // The stand-in fails before it opens the sound's pipe: its writer must not wait forever. (More
    // than the pipe holds, so that no write can end in its buffer as the encoder goes.)
    std::future<bool> soundWritten = WriteSound(encoder, std::vector<std::uint8_t>(kMoreThanAPipe, 1));
    const std::vector<std::uint8_t> frames(kFrameBytes * 100);
    encoder.Write(0, frames.data(), frames.size());
    std::string failure;
    EXPECT_EQ(encoder.Wait(failure), EncoderProcess::Ending::Failed);
    EXPECT_EQ(failure, "exited with status 3 (stand-in encoder: failing as asked)");
    ASSERT_EQ(soundWritten.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(soundWritten.get());
    EXPECT_FALSE(fs::exists(Output("failing")));
}

TEST_F(EncoderProcessTest, AStalledEncoderIsKilledWhenInterruptedAndItsWritersFreed)
{
    _putenv("TARNELVOIS_STAND_IN_STALL=1");
    EncoderProcess encoder;
    std::string error;
    ASSERT_TRUE(encoder.Start(Command(Output("stalled")), 2, error)) << error;
    std::future<bool> soundWritten = WriteSound(encoder, std::vector<std::uint8_t>(kMoreThanAPipe, 1));
    // More than the pipe holds: the frames' writer blocks on the stalled encoder.
    std::future<bool> framesWritten = std::async(std::launch::async, [&encoder] {
        const std::vector<std::uint8_t> frames(kFrameBytes * 1'000'000);
        return encoder.Write(0, frames.data(), frames.size());
    });
    EXPECT_EQ(framesWritten.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);

    CatchInterrupts();
    std::raise(SIGINT);
    const Clock::time_point asked = Clock::now();
    std::string failure;
    EXPECT_EQ(encoder.Wait(failure), EncoderProcess::Ending::Interrupted);
    EXPECT_LT(Clock::now() - asked, std::chrono::seconds(2)) << "answered within a fraction of a second";
    ASSERT_EQ(framesWritten.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(framesWritten.get());
    ASSERT_EQ(soundWritten.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(soundWritten.get());
}

}  // namespace
