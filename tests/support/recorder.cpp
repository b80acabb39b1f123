// Link-time stand-ins: every GL and host function an effect calls appends one RecordedCall.
#include "tests/support/recorder.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <map>

#include "host/demogl.h"

namespace {

std::vector<RecordedCall> calls;
std::map<int, bool> extensions;
unsigned int nextTextureId = 1;

void Record(const char* name, std::vector<double> args, std::string text = {})
{
    calls.push_back(RecordedCall{name, std::move(args), std::move(text)});
}

}  // namespace

namespace recorder {

int runResult = 0;
std::function<void()> runHook;

void Reset()
{
    calls.clear();
    extensions.clear();
    nextTextureId = 1;
    runResult = 0;
    runHook = nullptr;
}

const std::vector<RecordedCall>& Calls() { return calls; }

std::vector<RecordedCall> CallsNamed(const std::string& name)
{
    std::vector<RecordedCall> matching;
    for (const RecordedCall& call : calls)
        if (call.name == name) matching.push_back(call);
    return matching;
}

size_t Count(const std::string& name) { return CallsNamed(name).size(); }

std::string Transcript(size_t first)
{
    std::string text;
    for (size_t index = first; index < calls.size(); ++index) {
        const RecordedCall& call = calls[index];
        text += (text.empty() ? "" : " ") + call.name;
        if (call.args.empty() && call.text.empty()) continue;
        std::string inside = call.text.empty() ? "" : "\"" + call.text + "\"";
        for (double arg : call.args) {
            char number[32];
            std::snprintf(number, sizeof number, "%g", arg);
            inside += (inside.empty() ? "" : ",") + std::string(number);
        }
        text += "(" + inside + ")";
    }
    return text;
}

const std::vector<RecordedCall>& Frame(CEffect& effect, LONG time)
{
    calls.clear();
    effect.RenderFrame(time);
    return calls;
}

double ColourAt(CEffect& effect, LONG time, size_t channel)
{
    Frame(effect, time);
    return CallsNamed("glColor4f").at(0).Arg(channel);
}

void SetExtension(int id, bool available) { extensions[id] = available; }

}  // namespace recorder

extern "C" {

void glBegin(GLenum mode) { Record("glBegin", {double(mode)}); }
void glEnd() { Record("glEnd", {}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Record("glVertex3f", {x, y, z}); }
void glVertex3fv(const GLfloat* v) { Record("glVertex3fv", {v[0], v[1], v[2]}); }
void glTexCoord2f(GLfloat s, GLfloat t) { Record("glTexCoord2f", {s, t}); }
void glNormal3fv(const GLfloat* v) { Record("glNormal3fv", {v[0], v[1], v[2]}); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Record("glColor4f", {r, g, b, a}); }
void glEnable(GLenum cap) { Record("glEnable", {double(cap)}); }
void glDisable(GLenum cap) { Record("glDisable", {double(cap)}); }
void glBlendFunc(GLenum source, GLenum destination) { Record("glBlendFunc", {double(source), double(destination)}); }
void glDepthFunc(GLenum function) { Record("glDepthFunc", {double(function)}); }
void glTexEnvi(GLenum target, GLenum name, GLint value) { Record("glTexEnvi", {double(target), double(name), double(value)}); }
void glTexGeni(GLenum coord, GLenum name, GLint value) { Record("glTexGeni", {double(coord), double(name), double(value)}); }
void glBindTexture(GLenum target, GLuint texture) { Record("glBindTexture", {double(target), double(texture)}); }
void glPushAttrib(GLbitfield mask) { Record("glPushAttrib", {double(mask)}); }
void glPopAttrib() { Record("glPopAttrib", {}); }
void glMatrixMode(GLenum mode) { Record("glMatrixMode", {double(mode)}); }
void glPushMatrix() { Record("glPushMatrix", {}); }
void glPopMatrix() { Record("glPopMatrix", {}); }
void glLoadIdentity() { Record("glLoadIdentity", {}); }
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) { Record("glOrtho", {l, r, b, t, n, f}); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Record("glTranslatef", {x, y, z}); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { Record("glRotatef", {angle, x, y, z}); }
void glScissor(GLint x, GLint y, GLsizei w, GLsizei h) { Record("glScissor", {double(x), double(y), double(w), double(h)}); }
void glLineWidth(GLfloat width) { Record("glLineWidth", {width}); }
void glClear(GLbitfield mask) { Record("glClear", {double(mask)}); }

}  // extern "C"

unsigned int DEMOGL_TextureLoad(const char* path, int fileFormat, int mipmapLevels, int wrapS, int wrapT,
                                int minFilter, int magFilter, bool generateMipmaps, bool compress,
                                int borderWidth, int internalFormat, int dimensions)
{
    Record("DEMOGL_TextureLoad",
           {double(fileFormat), double(mipmapLevels), double(wrapS), double(wrapT), double(minFilter),
            double(magFilter), double(generateMipmaps), double(compress), double(borderWidth),
            double(internalFormat), double(dimensions)},
           path);
    return nextTextureId++;
}

int DEMOGL_TextureUpload(unsigned int id)
{
    Record("DEMOGL_TextureUpload", {double(id)});
    return 0;
}

void DEMOGL_TextureUnUpload(unsigned int id) { Record("DEMOGL_TextureUnUpload", {double(id)}); }
void DEMOGL_TextureDelete(unsigned int id) { Record("DEMOGL_TextureDelete", {double(id)}); }

bool DEMOGL_ExtensionCheckIfAvailable(int id)
{
    Record("DEMOGL_ExtensionCheckIfAvailable", {double(id)});
    auto found = extensions.find(id);
    return found != extensions.end() && found->second;
}

namespace {
void RecordedProc() {}
}  // namespace

PROC wglGetProcAddress(const char* name)
{
    Record("wglGetProcAddress", {}, name);
    return reinterpret_cast<PROC>(&RecordedProc);
}

// The start-up's host calls, so the entry function can be run without a window.
namespace {
SStartupDat lastStartup{};
}  // namespace

namespace recorder {
const SStartupDat& LastStartup() { return lastStartup; }
}  // namespace recorder

void DEMOGL_SetVariable(int id, bool value) { Record("DEMOGL_SetVariable", {double(id), double(value)}, "bool"); }
void DEMOGL_SetVariable(int id, int value) { Record("DEMOGL_SetVariable", {double(id), double(value)}, "int"); }
void DEMOGL_SetVariable(int id, const char* value) { Record("DEMOGL_SetVariable", {double(id)}, value); }

int DEMOGL_EffectRegister(CEffect* effect, const char* name)
{
    Record("DEMOGL_EffectRegister", {double(reinterpret_cast<std::uintptr_t>(effect))}, name);
    return 0;
}

int DEMOGL_AppRun(HINSTANCE, const SStartupDat* startup, const char* title, bool useCrtDialog,
                  unsigned char soundSystem, unsigned char frameLimit, int startRunMode)
{
    lastStartup = *startup;
    Record("DEMOGL_AppRun", {double(useCrtDialog), double(soundSystem), double(frameLimit), double(startRunMode)}, title);
    if (recorder::runHook) recorder::runHook();
    return recorder::runResult;
}

void DEMOGL_AppEnd() { Record("DEMOGL_AppEnd", {}); }
