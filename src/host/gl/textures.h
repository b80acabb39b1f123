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
    // Frees every GL name still held; the decoded pictures stay for the next Load (a fresh start).
    void DeleteAll();
    // Frees every GL name and picture (at the end of the run, while the context exists).
    void Clear();

    size_t Count() const { return textures_.size(); }
    // How many Delete calls found a texture: the player compares it around an effect's End.
    size_t Deletions() const { return deletions_; }

private:
    struct Texture {
        std::shared_ptr<const Image> image;
        TextureParameters parameters;
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
};
