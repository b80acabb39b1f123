#include "host/textures.h"

#include <GL/gl.h>

#include "host/archive.h"

TextureStore::~TextureStore() = default;

std::shared_ptr<const Image> TextureStore::Decode(const std::string& path)
{
    const std::string key = Archive::FoldName(path);
    if (auto shared = decoded_[key]) return shared;

    auto image = std::make_shared<Image>();
    std::vector<std::uint8_t> file;
    std::string error;
    bool ok = false;
    if (!archive_) {
        error = "no data archive";
    } else if (archive_->Read(path, file, error)) {
        std::string reason;
        ok = DecodeTga(file, *image, reason);
        if (!ok) error = archive_->Path() + ": " + archive_->EntryName(path) + ": " + reason;
    }
    if (!ok) {
        *image = BlackImage();
        if (warned_.insert(key).second) warn_(error + "; drawing it black");
    }
    decoded_[key] = image;
    return image;
}

unsigned int TextureStore::Load(const std::string& path, const TextureParameters& parameters)
{
    const TextureParameters& p = parameters;
    const std::string key = Archive::FoldName(path) + "|" + std::to_string(p.wrapS) + "," + std::to_string(p.wrapT) +
                            "," + std::to_string(p.minFilter) + "," + std::to_string(p.magFilter) + "," +
                            std::to_string(p.internalFormat);
    GLuint id = 0;
    if (auto spare = spare_.find(key); spare != spare_.end()) {
        id = spare->second;
        spare_.erase(spare);
    } else {
        glGenTextures(1, &id);
    }
    if (id == 0) return 0;
    textures_[id] = Texture{Decode(path), parameters, key};
    return id;
}

bool TextureStore::Upload(unsigned int id)
{
    auto found = textures_.find(id);
    if (found == textures_.end()) return false;
    const Texture& texture = found->second;
    const Image& image = *texture.image;

    // Uploading between frames must not change the binding an effect will find.
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, id);
    const TextureParameters& p = texture.parameters;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, p.wrapS ? p.wrapS : GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, p.wrapT ? p.wrapT : GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, p.minFilter ? p.minFilter : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, p.magFilter ? p.magFilter : GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLint internalFormat = p.internalFormat ? p.internalFormat : GL_RGB8;
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.rgb.data());
    glBindTexture(GL_TEXTURE_2D, GLuint(previous));
    return glGetError() == GL_NO_ERROR;
}

void TextureStore::UnUpload(unsigned int id)
{
    if (!textures_.count(id)) return;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, id);
    // An empty image frees the storage; the name stays reserved for a later upload.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 0, 0, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, GLuint(previous));
}

void TextureStore::Delete(unsigned int id)
{
    auto found = textures_.find(id);
    if (found == textures_.end()) return;
    spare_.emplace(found->second.key, id);
    textures_.erase(found);
    ++deletions_;
}

void TextureStore::ReleaseAll()
{
    for (auto& entry : textures_) spare_.emplace(entry.second.key, entry.first);
    textures_.clear();
}

void TextureStore::Clear()
{
    for (auto& entry : textures_) {
        GLuint name = entry.first;
        glDeleteTextures(1, &name);
    }
    textures_.clear();
    for (auto& entry : spare_) {
        GLuint name = entry.second;
        glDeleteTextures(1, &name);
    }
    spare_.clear();
    decoded_.clear();
}
