// Builds demodat.zip: the timeline and the score as written, and every registered picture drawn and packed as a
// TGA under demotex/. Two runs over the same sources give the same bytes.
//
//   make_archive --timeline FILE [--score FILE] --output FILE [--preview DIR]
#include "canvas.h"

#include <stb_image_write.h>
#include <zip.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

const char kUsage[] = "make_archive --timeline FILE [--score FILE] --output FILE [--preview DIR]";

// Every entry carries this date (2000-01-01 00:00, MS-DOS format) rather than the build time, and
// it is given in DOS form directly so the local time zone cannot change the bytes either.
constexpr zip_uint16_t kEntryDosTime = 0;
constexpr zip_uint16_t kEntryDosDate = ((2000 - 1980) << 9) | (1 << 5) | 1;

struct Failure {
    std::string what;
    std::string file;
};

struct Options {
    std::string timeline;
    std::string score;
    std::string output;
    std::string preview;
};

struct Entry {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        std::string* target = nullptr;
        if (option == "--timeline") target = &options.timeline;
        else if (option == "--score") target = &options.score;
        else if (option == "--output") target = &options.output;
        else if (option == "--preview") target = &options.preview;
        else throw Failure{"unknown option, usage: " + std::string(kUsage), option};
        if (i + 1 >= argc) throw Failure{"option needs a value, usage: " + std::string(kUsage), option};
        *target = argv[++i];
    }
    if (options.timeline.empty()) throw Failure{"missing --timeline, usage: " + std::string(kUsage), "--timeline"};
    if (options.output.empty()) throw Failure{"missing --output, usage: " + std::string(kUsage), "--output"};
    return options;
}

std::vector<std::uint8_t> ReadFile(const std::string& path, const std::string& what = "the timeline") {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure{"cannot read " + what, path};
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Failure{"cannot read " + what, path};
    return bytes;
}

bool IsPowerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

std::vector<Entry> DrawPictures() {
    std::vector<Entry> pictures;
    std::set<std::string> seen;
    for (const RegisteredPicture& picture : RegisteredPictures()) {
        if (picture.name.empty() || picture.name.find('/') != std::string::npos)
            throw Failure{"picture name must be a plain file name", picture.name};
        if (!seen.insert(picture.name).second) throw Failure{"picture registered twice", picture.name};
        Canvas canvas(0, 0);
        try {
            canvas = picture.draw();
        } catch (const std::exception& error) {
            throw Failure{std::string("drawing failed: ") + error.what(), picture.name};
        }
        if (!IsPowerOfTwo(canvas.Width()) || !IsPowerOfTwo(canvas.Height()))
            throw Failure{"picture is " + std::to_string(canvas.Width()) + "x" + std::to_string(canvas.Height()) +
                              ", sides must be powers of two",
                          picture.name};
        pictures.push_back(Entry{picture.name, canvas.ToTga()});
    }
    return pictures;
}

// The preview is made from the TGA bytes themselves, so it shows exactly what the archive holds.
void WritePreview(const std::string& directory, const Entry& picture) {
    const std::vector<std::uint8_t>& tga = picture.bytes;
    const int width = tga[12] | (tga[13] << 8);
    const int height = tga[14] | (tga[15] << 8);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    constexpr std::size_t kHeaderSize = 18;
    for (int row = 0; row < height; ++row) {
        const std::size_t from = kHeaderSize + static_cast<std::size_t>(height - 1 - row) * width * 3;
        const std::size_t to = static_cast<std::size_t>(row) * width * 3;
        for (int x = 0; x < width; ++x) {
            rgb[to + x * 3 + 0] = tga[from + x * 3 + 2];
            rgb[to + x * 3 + 1] = tga[from + x * 3 + 1];
            rgb[to + x * 3 + 2] = tga[from + x * 3 + 0];
        }
    }
    std::string base = picture.name;
    const std::size_t dot = base.rfind('.');
    if (dot != std::string::npos) base.erase(dot);
    const std::string path = (std::filesystem::path(directory) / (base + ".png")).string();
    if (stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) == 0)
        throw Failure{"cannot write the preview", path};
}

void WritePreviews(const std::string& directory, const std::vector<Entry>& pictures) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) throw Failure{"cannot create the preview folder", directory};
    for (const Entry& picture : pictures) WritePreview(directory, picture);
}

void AddEntry(zip_t* archive, const Entry& entry, const std::string& path) {
    // The buffer is not copied: entry outlives the archive handle, which reads it at close.
    zip_source_t* source = zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0);
    if (source == nullptr) throw Failure{std::string("cannot add ") + entry.name + ": " + zip_strerror(archive), path};
    const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        throw Failure{std::string("cannot add ") + entry.name + ": " + zip_strerror(archive), path};
    }
    const auto at = static_cast<zip_uint64_t>(index);
    if (zip_set_file_compression(archive, at, ZIP_CM_DEFLATE, 9) != 0 ||
        zip_file_set_dostime(archive, at, kEntryDosTime, kEntryDosDate, 0) != 0)
        throw Failure{std::string("cannot set up ") + entry.name + ": " + zip_strerror(archive), path};
}

void WriteArchive(const std::string& path, const std::vector<Entry>& entries) {
    int openError = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &openError);
    if (archive == nullptr) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        Failure failure{std::string("cannot create the archive: ") + zip_error_strerror(&error), path};
        zip_error_fini(&error);
        throw failure;
    }
    try {
        for (const Entry& entry : entries) AddEntry(archive, entry, path);
    } catch (...) {
        zip_discard(archive);
        throw;
    }
    if (zip_close(archive) != 0) {
        Failure failure{std::string("cannot write the archive: ") + zip_strerror(archive), path};
        zip_discard(archive);
        throw failure;
    }
}

void Run(const Options& options) {
    // The archive of an earlier build goes first: should this run stop anywhere (a picture that
    // exits on a missing font included), the build sees no archive and tries again next time.
    std::error_code ignored;
    std::filesystem::remove(options.output, ignored);

    std::vector<Entry> entries;
    entries.push_back(Entry{"timeline.txt", ReadFile(options.timeline)});
    if (!options.score.empty()) entries.push_back(Entry{"score.txt", ReadFile(options.score, "the score")});
    // Everything is drawn before anything is written, so a failing picture leaves no files.
    std::vector<Entry> pictures = DrawPictures();
    if (!options.preview.empty()) WritePreviews(options.preview, pictures);
    for (Entry& picture : pictures) entries.push_back(Entry{"demotex/" + picture.name, std::move(picture.bytes)});

    // Written aside and moved into place whole: a build stopped half-way never leaves an archive
    // that looks finished.
    const std::string temporary = options.output + ".tmp";
    std::filesystem::remove(temporary, ignored);
    try {
        WriteArchive(temporary, entries);
        std::error_code error;
        std::filesystem::rename(temporary, options.output, error);
        if (error) throw Failure{"cannot move the archive into place: " + error.message(), options.output};
    } catch (...) {
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = ParseOptions(argc, argv);
        Run(options);
        return 0;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "make_archive: %s (%s)\n", failure.what.c_str(), failure.file.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_archive: %s (%s)\n", error.what(), options.output.c_str());
    }
    // An archive from an earlier run would look up to date to the build; without it the next build
    // tries again.
    if (!options.output.empty()) {
        std::error_code ignored;
        std::filesystem::remove(options.output, ignored);
    }
    return 1;
}
