#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/demogl.h"

std::string TemporaryFolder(const std::string& name)
{
    auto folder = std::filesystem::temp_directory_path() /
                  ("tarnelvois-test-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

Bytes TextBytes(const std::string& text) { return {text.begin(), text.end()}; }

Bytes ReadFileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void SaveFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteZip(const std::string& path, const std::map<std::string, Bytes>& entries, bool stored)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr) << "cannot create " << path;
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0);
        if (stored) zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(zip_close(archive), 0) << "cannot write " << path;
}

Bytes MakeTga(int width, int height, const Bytes& rgbTopDown)
{
    // Uncompressed true colour, 24 bits, the bottom row first.
    Bytes file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, std::uint8_t(width), std::uint8_t(width >> 8),
                  std::uint8_t(height), std::uint8_t(height >> 8), 24, 0};
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = &rgbTopDown[(size_t(y) * width + x) * 3];
            file.insert(file.end(), {pixel[2], pixel[1], pixel[0]});
        }
    return file;
}

Picture ReadPng(const std::string& path)
{
    Picture picture;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 3);
    if (!data) return Picture{};
    picture.rgb.assign(data, data + size_t(picture.width) * picture.height * 3);
    stbi_image_free(data);
    return picture;
}

int RunCommand(const std::string& command, std::string* output)
{
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        if (output) output->append(buffer, count);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

const std::string kProgram = std::string("SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 timeout 60 ") +
                             TARNELVOIS_BINARY + " --data " + TARNELVOIS_ARCHIVE;

std::string XvfbRun()
{
    return "xvfb-run -a -n " + std::to_string(200 + getpid() % 3000) + " -s '-screen 0 1024x768x24 -noreset' ";
}

int RunProgram(const std::string& arguments, std::string* output)
{
    if (output) output->clear();
    return RunCommand(kProgram + " " + arguments, output);
}

int RunInProcess(const std::vector<std::string>& options)
{
    std::vector<std::string> arguments = {"tarnelvois"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    PlatformInstance instance;
    instance.argumentCount = int(argv.size());
    instance.arguments = argv.data();
    instance.executablePath = argv[0];
    SStartupDat startup{};
    std::strncpy(startup.demoName, "Test", sizeof startup.demoName);
    std::strncpy(startup.groupName, "Tests", sizeof startup.groupName);
    startup.resizableWindow = true;
    startup.timelineFromArchive = true;
    const int status = DEMOGL_AppRun(&instance, &startup, "Test", false, 0, 0, 1);
    DEMOGL_AppEnd();
    return status;
}
