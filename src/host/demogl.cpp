// The host calls the program makes: registration, variables, textures, extensions, run and end.
#include "host/host_state.h"

void DEMOGL_SetVariable(int id, bool value)
{
    HostState& host = Host();
    switch (id) {
    case DEMOGL_VAR_USEARCHIVE: host.useArchive = value; break;
    case DEMOGL_VAR_SHOWDEBUGINFO: host.showDebugInfo = value; break;
    case DEMOGL_VAR_STARTPAUSED: host.startPaused = value; break;
    case DEMOGL_VAR_EXITONEND: host.exitOnEnd = value; break;
    default: break;
    }
}

void DEMOGL_SetVariable(int id, int value)
{
    if (id == DEMOGL_VAR_LOGLEVEL) Host().logLevel = value;
}

void DEMOGL_SetVariable(int id, const char* value)
{
    if (id == DEMOGL_VAR_ARCHIVENAME && value) Host().archiveName = value;
}

int DEMOGL_EffectRegister(CEffect* effect, const char* name)
{
    HostState& host = Host();
    const std::string shown = name ? name : "(null)";
    if (!effect || !name || !*name) {
        HostError("cannot register effect \"" + shown + "\": " + (effect ? "it has no name" : "the object is missing"));
        host.registrationFailed = true;
        return -1;
    }
    for (const RegisteredEffect& registered : host.effects) {
        if (registered.name == name) {
            HostError("cannot register effect \"" + shown + "\": the name is already taken");
            host.registrationFailed = true;
            return -1;
        }
    }
    host.effects.push_back(RegisteredEffect{effect, name});
    return 0;
}

int DEMOGL_AppRun(HINSTANCE instance, const SStartupDat* startup, const char* title, bool, unsigned char,
                  unsigned char, int)
{
    if (!startup) {
        HostError("no start-up record");
        return 1;
    }
    HostState& host = Host();
    if (!host.runner) {
        HostError("no player to run the demo");
        return 1;
    }
    return host.runner->Run(host, instance, *startup, title ? title : "");
}

void DEMOGL_AppEnd()
{
    HostState& host = Host();
    if (host.textures) host.textures->Clear();
    host.textures.reset();
    if (host.runner) host.runner->End(host);
    host.archive.reset();
    host.effects.clear();
    host.registrationFailed = false;
}

unsigned int DEMOGL_TextureLoad(const char* path, int, int, int wrapS, int wrapT, int minFilter, int magFilter, bool,
                                bool, int, int internalFormat, int)
{
    HostState& host = Host();
    if (!host.textures || !path) return 0;
    return host.textures->Load(path, TextureParameters{wrapS, wrapT, minFilter, magFilter, internalFormat});
}

int DEMOGL_TextureUpload(unsigned int id)
{
    HostState& host = Host();
    return host.textures && host.textures->Upload(id) ? 0 : -1;
}

void DEMOGL_TextureUnUpload(unsigned int id)
{
    if (Host().textures) Host().textures->UnUpload(id);
}

void DEMOGL_TextureDelete(unsigned int id)
{
    if (Host().textures) Host().textures->Delete(id);
}

bool DEMOGL_ExtensionCheckIfAvailable(int id)
{
    const HostState& host = Host();
    if (host.extensionsDisabled) return false;
    switch (id) {
    case DEMOGL_EXT_MULTITEXTURE: return host.glExtensions.count("GL_ARB_multitexture") > 0;
    case DEMOGL_EXT_TEXTURE_ENV_ADD:
        return host.glExtensions.count("GL_ARB_texture_env_add") > 0 || host.glExtensions.count("GL_EXT_texture_env_add") > 0;
    default: return false;
    }
}
