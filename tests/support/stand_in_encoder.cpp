// A stand-in for ffmpeg.exe in the Windows checks (Debian has no Windows ffmpeg). It reads what the
// program hands an encoder: the raw frames on its standard input and, when a second -i names it,
// the sound from that named pipe, both at once as ffmpeg does. It checks that the frames are whole
// frames of -video_size bgr24 and the sound whole 16-bit stereo frames, and writes the frames and
// then the sound into the file its last argument names ("file:" stripped), exiting 0.
//   TARNELVOIS_STAND_IN_FAIL   read a little, complain on stderr, exit 3 (an encoder breaking mid-run)
//   TARNELVOIS_STAND_IN_STALL  read a little, then read nothing more and never end (a stalled encoder)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string ReadAll(std::FILE* input)
{
    std::string bytes;
    static thread_local char buffer[1 << 16];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, input)) > 0) bytes.append(buffer, got);
    return bytes;
}

int Complain(const std::string& what, int status)
{
    std::fprintf(stderr, "stand-in encoder: %s\n", what.c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> inputs;
    int width = 0, height = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-i") == 0) inputs.push_back(argv[i + 1]);
        if (std::strcmp(argv[i], "-video_size") == 0) std::sscanf(argv[i + 1], "%dx%d", &width, &height);
    }
    if (inputs.empty() || inputs[0] != "pipe:0" || width <= 0 || height <= 0)
        return Complain("expected frames on pipe:0 and -video_size WxH", 2);
    _setmode(_fileno(stdin), _O_BINARY);
    static char buffer[1 << 16];
    if (std::getenv("TARNELVOIS_STAND_IN_FAIL")) {
        (void)std::fread(buffer, 1, sizeof buffer, stdin);
        return Complain("failing as asked", 3);
    }
    if (std::getenv("TARNELVOIS_STAND_IN_STALL")) {
        (void)std::fread(buffer, 1, sizeof buffer, stdin);
        for (;;) Sleep(1000);
    }

    std::FILE* sound = nullptr;
    if (inputs.size() > 1 && !(sound = std::fopen(inputs[1].c_str(), "rb")))
        return Complain("cannot open the sound input " + inputs[1] + " (error " + std::to_string(GetLastError()) + ")", 1);
    std::string soundBytes;
    std::thread soundReader([&] { if (sound) soundBytes = ReadAll(sound); });
    const std::string frames = ReadAll(stdin);
    soundReader.join();
    if (sound) std::fclose(sound);

    const size_t frameBytes = size_t(width) * size_t(height) * 3;
    if (frames.empty() || frames.size() % frameBytes != 0)
        return Complain(std::to_string(frames.size()) + " bytes of frames are not whole " + std::to_string(width) + "x" +
                            std::to_string(height) + " frames",
                        4);
    if (soundBytes.size() % 4 != 0) return Complain(std::to_string(soundBytes.size()) + " bytes of sound are not whole frames", 4);

    std::string path = argv[argc - 1];
    if (path.rfind("file:", 0) == 0) path.erase(0, 5);
    std::FILE* output = std::fopen(path.c_str(), "wb");
    if (!output) return Complain("cannot write " + path, 1);
    const bool written = std::fwrite(frames.data(), 1, frames.size(), output) == frames.size() &&
                         std::fwrite(soundBytes.data(), 1, soundBytes.size(), output) == soundBytes.size();
    return std::fclose(output) == 0 && written ? 0 : Complain("cannot write " + path, 1);
}
