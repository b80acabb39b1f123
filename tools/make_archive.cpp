// Builds demodat.zip: the timeline and the score as written, and every registered picture drawn and packed as a
// TGA under demotex/. Two runs over the same sources give the same bytes. The timeline and the
// score are checked as the program checks them, so a broken one stops the build, and a score's
// cue that the timeline cannot place is warned about as the program will warn; the score's path
// as given is packed beside it, for the program's messages. A picture in the overrides folder
// (picture_overrides.h) is packed instead of the drawn one of its name.
//
//   make_archive --timeline FILE [--score FILE] --output FILE [--preview DIR] [--overrides DIR]
#include "app/effect_catalog.h"
#include "sound/soundtrack.h"
#include "canvas.h"
#include "host/image.h"
#include "host/timeline.h"
#include "host/timeline_params.h"
#include "picture_overrides.h"

#include <stb_image_write.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

const char kUsage[] = "make_archive --timeline FILE [--score FILE] --output FILE [--preview DIR] [--overrides DIR]";

// Every entry carries this date (2000-01-01 00:00, MS-DOS format) rather than the build time, and
// it is given in DOS form directly so the local time zone cannot change the bytes either.
constexpr zip_uint16_t kEntryDosTime = 0;
constexpr zip_uint16_t kEntryDosDate = ((2000 - 1980) << 9) | (1 << 5) | 1;

struct Failure {
    std::string what;
    std::string file;
};

// Said as the program says it: "file:line: what".
struct BrokenTimeline {
    std::string message;
};

struct Options {
    std::string timeline;
    std::string score;
    std::string output;
    std::string preview;
    std::string overrides;
};

using Entry = NamedBytes;

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::printf("usage: %s\n", kUsage);
            std::exit(0);
        }
        std::string* target = nullptr;
        if (option == "--timeline") target = &options.timeline;
        else if (option == "--score") target = &options.score;
        else if (option == "--output") target = &options.output;
        else if (option == "--preview") target = &options.preview;
        else if (option == "--overrides") target = &options.overrides;
        else throw Failure{"unknown option, usage: " + std::string(kUsage), option};
        if (i + 1 >= argc) throw Failure{"option needs a value, usage: " + std::string(kUsage), option};
        *target = argv[++i];
    }
    if (options.timeline.empty()) throw Failure{"missing --timeline, usage: " + std::string(kUsage), "--timeline"};
    if (options.output.empty()) throw Failure{"missing --output, usage: " + std::string(kUsage), "--output"};
    return options;
}

std::vector<std::uint8_t> ReadFile(const std::string& path, const std::string& failure) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure{failure, path};
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Failure{failure, path};
    return bytes;
}

// The program's own check, with its registered names: the same "file:line: what" message, at build
// time. Param texts no effect reads are warned about and packed.
Timeline CheckTimeline(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string text(bytes.begin(), bytes.end());
    Timeline timeline;
    std::string error;
    if (!ParseTimeline(text, path, EffectCatalogNames(), timeline, error)) throw BrokenTimeline{error};
    for (const std::string& warning : ParamWarnings(timeline, EffectCatalog(), path))
        std::fprintf(stderr, "make_archive: %s\n", warning.c_str());
    return timeline;
}

// The score read as the program reads it against this timeline: a mistake in it stops the build;
// a cue the timeline cannot place is packed, and said now, in the words the program will use.
void CheckScore(const std::string& path, const std::vector<std::uint8_t>& bytes, const Timeline& timeline) {
    const std::string text(bytes.begin(), bytes.end());
    std::string error;
    std::vector<std::string> unplaced;
    if (!audio::Soundtrack::Parse(text, path, timeline, error, &unplaced)) throw BrokenTimeline{error};
    for (const std::string& cue : unplaced) std::fprintf(stderr, "make_archive: warning: %s\n", cue.c_str());
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

// The preview is decoded from the TGA bytes themselves, so it shows exactly what the archive holds.
void WritePreview(const std::string& directory, const Entry& picture) {
    Image image;
    std::string problem;
    if (!DecodeTga(picture.bytes, image, problem)) throw Failure{"cannot decode for the preview: " + problem, picture.name};
    const int width = image.width;
    const int height = image.height;
    // Decoded rows run bottom first; a PNG starts at the top.
    std::vector<std::uint8_t> rgb(image.rgb.size());
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int row = 0; row < height; ++row)
        std::copy_n(image.rgb.begin() + static_cast<std::ptrdiff_t>(row * rowBytes), rowBytes,
                    rgb.begin() + static_cast<std::ptrdiff_t>((height - 1 - row) * rowBytes));
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
    entries.push_back(Entry{"timeline.txt", ReadFile(options.timeline, "cannot read the timeline")});
    const Timeline timeline = CheckTimeline(options.timeline, entries.back().bytes);
    if (!options.score.empty()) {
        entries.push_back(Entry{"score.txt", ReadFile(options.score, "cannot read the score")});
        CheckScore(options.score, entries.back().bytes, timeline);
        entries.push_back(Entry{"score.source", std::vector<std::uint8_t>(options.score.begin(), options.score.end())});
    }
    // Everything is drawn before anything is written, so a failing picture leaves no files.
    std::vector<Entry> pictures = DrawPictures();
    ApplyPictureOverrides(options.overrides, pictures,
                          [](const std::string& line) { std::fprintf(stderr, "make_archive: %s\n", line.c_str()); });
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
    } catch (const BrokenTimeline& broken) {
        std::fprintf(stderr, "make_archive: %s\n", broken.message.c_str());
    } catch (const Failure& failure) {
        std::fprintf(stderr, "make_archive: %s (%s)\n", failure.what.c_str(), failure.file.c_str());
    } catch (const OverrideFailure& failure) {
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
