#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

std::string TemporaryFolder(const std::string& name)
{
    auto folder = std::filesystem::temp_directory_path() /
                  ("tarnelvois-test-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

void WriteZip(const std::string& path, const std::map<std::string, std::vector<std::uint8_t>>& entries)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr) << "cannot create " << path;
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(archive), 0) << "cannot write " << path;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> MakeTga(int width, int height, const std::vector<std::uint8_t>& rgbTopDown)
{
    std::vector<std::uint8_t> file(18, 0);
    file[2] = 2;  // uncompressed true colour
    file[12] = std::uint8_t(width & 0xFF);
    file[13] = std::uint8_t(width >> 8);
    file[14] = std::uint8_t(height & 0xFF);
    file[15] = std::uint8_t(height >> 8);
    file[16] = 24;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = &rgbTopDown[(size_t(y) * width + x) * 3];
            file.push_back(pixel[2]);
            file.push_back(pixel[1]);
            file.push_back(pixel[0]);
        }
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
