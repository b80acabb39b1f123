#include "host/gl_functions.h"

#include <sstream>
#include <string>

#include "platform/gl_lookup.h"

#define TARNELVOIS_DEFINE_GL(type, name) type tarnelvois_##name = nullptr;
TARNELVOIS_GL_FUNCTIONS(TARNELVOIS_DEFINE_GL)
#undef TARNELVOIS_DEFINE_GL

namespace {

void* Lookup(const char* name)
{
    for (const char* suffix : {"", "EXT", "ARB"}) {
        if (void* entry = LookUpGlFunction((std::string(name) + suffix).c_str())) return entry;
    }
    return nullptr;
}

}  // namespace

bool LoadGlFunctions(std::string& missing)
{
    missing.clear();
#define TARNELVOIS_LOAD_GL(type, name)                                         \
    tarnelvois_##name = reinterpret_cast<type>(Lookup(#name));                 \
    if (!tarnelvois_##name && missing.empty()) missing = #name;
    TARNELVOIS_GL_FUNCTIONS(TARNELVOIS_LOAD_GL)
#undef TARNELVOIS_LOAD_GL
    return missing.empty();
}

std::set<std::string> ReadGlExtensions()
{
    std::set<std::string> names;
    const GLubyte* text = glGetString(GL_EXTENSIONS);
    std::istringstream list(text ? reinterpret_cast<const char*>(text) : "");
    for (std::string name; list >> name;) names.insert(name);
    return names;
}
