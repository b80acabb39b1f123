// The pictures the effects load, by GL texture name. A picture is decoded once per file name and
// shared; its GL storage comes and goes with Upload and UnUpload while the name stays reserved.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "host/image.h"

class Archive;

struct TextureParameters {
    int wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0, internalFormat = 0;
};

class TextureStore {
public:
    using Warn = std::function<void(const std::string&)>;
    TextureStore(const Archive* archive, Warn warn) : archive_(archive), warn_(std::move(warn)) {}
    ~TextureStore();

    // Reserves a GL name for the picture at path; a missing or broken file is shown black.
    unsigned int Load(const std::string& path, const TextureParameters& parameters);
    bool Upload(unsigned int id);
    void UnUpload(unsigned int id);
    void Delete(unsigned int id);
    // Lets go of every texture as if each were deleted (a fresh start of the piece): the names and
    // pictures serve the Loads that follow.
    void ReleaseAll();
    // Frees every GL name and picture (at the end of the run, while the context exists).
    void Clear();

    size_t Count() const { return textures_.size(); }
    // How many Delete calls found a texture: the player compares it around an effect's End.
    size_t Deletions() const { return deletions_; }

private:
    struct Texture {
        std::shared_ptr<const Image> image;
        TextureParameters parameters;
        std::string key;  // folded path and parameters: which spare name may serve a later Load
    };
    std::shared_ptr<const Image> Decode(const std::string& path);

    const Archive* archive_;
    Warn warn_;
    std::map<unsigned int, Texture> textures_;
    // By folded path, kept for the whole run: effects restarted over and over would otherwise decode
    // their pictures again each time and leave the heap more scattered with every pass.
    std::map<std::string, std::shared_ptr<const Image>> decoded_;
    std::set<std::string> warned_;
    size_t deletions_ = 0;
    // Names whose picture an effect deleted, kept with their storage for the next Load of the same
    // picture: effects that delete on every stop and load on every start would otherwise have the
    // driver free and allocate the same storage each time, and the heap spread with each cycle.
    std::multimap<std::string, unsigned int> spare_;
};
