// Compares two captures of the same span (folders of frame-*.png and soundtrack.wav), as two
// builds of the program wrote them: every frame within --levels of the other per channel, the
// same frames on both sides, and the sound's samples within --lsb. Prints what it found; exits 1
// when the captures differ by more, 2 when they cannot be read.
//   compare_captures [--levels N] [--lsb N] FOLDER_A FOLDER_B
#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::set<std::string> FrameNames(const fs::path& folder)
{
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("frame-", 0) == 0 && entry.path().extension() == ".png") names.insert(name);
    }
    return names;
}

// The largest difference of one channel between two pictures of one size, or -1 when they cannot
// be compared; 'beyond' counts the pixels with a channel more than 'levels' apart.
int LargestDifference(const fs::path& a, const fs::path& b, int levels, long& beyond)
{
    int widthA, heightA, widthB, heightB, channels;
    unsigned char* pixelsA = stbi_load(a.string().c_str(), &widthA, &heightA, &channels, 3);
    unsigned char* pixelsB = stbi_load(b.string().c_str(), &widthB, &heightB, &channels, 3);
    int largest = -1;
    if (pixelsA && pixelsB && widthA == widthB && heightA == heightB) {
        largest = 0;
        beyond = 0;
        for (long pixel = 0; pixel < long(widthA) * heightA; ++pixel) {
            int difference = 0;
            for (int channel = 0; channel < 3; ++channel)
                difference = std::max(difference, std::abs(pixelsA[pixel * 3 + channel] - pixelsB[pixel * 3 + channel]));
            largest = std::max(largest, difference);
            if (difference > levels) ++beyond;
        }
    }
    stbi_image_free(pixelsA);
    stbi_image_free(pixelsB);
    return largest;
}

std::vector<char> Bytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The largest difference between two WAV files' 16-bit samples after their 44-byte headers, or
// -1 when their lengths differ; 'differing' counts the samples that are not equal.
int LargestSampleDifference(const std::vector<char>& a, const std::vector<char>& b, long& differing)
{
    if (a.size() != b.size() || a.size() < 44) return -1;
    int largest = 0;
    differing = 0;
    for (std::size_t i = 44; i + 1 < a.size(); i += 2) {
        std::int16_t sampleA, sampleB;
        std::memcpy(&sampleA, &a[i], 2);
        std::memcpy(&sampleB, &b[i], 2);
        largest = std::max(largest, std::abs(int(sampleA) - int(sampleB)));
        if (sampleA != sampleB) ++differing;
    }
    return largest;
}

}  // namespace

int main(int argc, char** argv)
{
    int levels = 2, lsb = 1;
    std::vector<fs::path> folders;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--levels") && i + 1 < argc) levels = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--lsb") && i + 1 < argc) lsb = std::atoi(argv[++i]);
        else folders.emplace_back(argv[i]);
    }
    if (folders.size() != 2 || !fs::is_directory(folders[0]) || !fs::is_directory(folders[1])) {
        std::fprintf(stderr, "usage: compare_captures [--levels N] [--lsb N] FOLDER_A FOLDER_B\n");
        return 2;
    }
    const std::set<std::string> namesA = FrameNames(folders[0]), namesB = FrameNames(folders[1]);
    int identical = 0, within = 0, beyond = 0, worst = 0;
    std::string worstName;
    for (const std::string& name : namesA) {
        if (!namesB.count(name)) continue;
        long pixels = 0;
        const int difference = LargestDifference(folders[0] / name, folders[1] / name, levels, pixels);
        if (difference == 0) ++identical;
        else if (difference > 0 && difference <= levels) ++within;
        else ++beyond, std::printf("  %s: %ld pixels differ by more than %d levels, at most by %d\n", name.c_str(), pixels, levels, difference);
        if (difference < 0 || difference > worst) worst = difference < 0 ? 256 : difference, worstName = name;
    }
    std::printf("frames: %zu and %zu; %d identical, %d within %d levels, %d beyond%s%s\n", namesA.size(), namesB.size(),
                identical, within, levels, beyond, worstName.empty() ? "" : "; the most different: ", worstName.c_str());
    bool same = !namesA.empty() && namesA == namesB && beyond == 0;

    const fs::path soundA = folders[0] / "soundtrack.wav", soundB = folders[1] / "soundtrack.wav";
    if (fs::exists(soundA) || fs::exists(soundB)) {
        const std::vector<char> bytesA = Bytes(soundA), bytesB = Bytes(soundB);
        long differing = 0;
        const int difference = LargestSampleDifference(bytesA, bytesB, differing);
        if (difference < 0) std::printf("sound: %zu and %zu bytes, not the same length\n", bytesA.size(), bytesB.size());
        else std::printf("sound: %zu samples, %ld of them different, by at most %d (allowed %d)\n",
                         (bytesA.size() - 44) / 2, differing, difference, lsb);
        same = same && difference >= 0 && difference <= lsb;
    }
    return same ? 0 : 1;
}
