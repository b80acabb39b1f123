// A recording stand-in for OpenGL and the host's texture and extension calls. Effect tests link
// against it instead of the real libraries, run an effect, and read back what it called.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/demogl.h"

struct RecordedCall {
    std::string name;          // "glColor4f", "DEMOGL_TextureLoad", ...
    std::vector<double> args;  // numeric arguments in order; enums and ids as their values
    std::string text;          // the path of DEMOGL_TextureLoad, the name of wglGetProcAddress

    double Arg(size_t index) const { return args.at(index); }
};

namespace recorder {

// Forgets every recorded call and restores the default host answers.
void Reset();

const std::vector<RecordedCall>& Calls();
// The calls with this name, in order.
std::vector<RecordedCall> CallsNamed(const std::string& name);
// How many calls with this name.
size_t Count(const std::string& name);
// The calls from 'first' on as one text, "glEnable(3042) glEnd ...", numbers in %g, a path quoted first:
// comparing it pins a whole call sequence, arguments included, in a few lines.
std::string Transcript(size_t first = 0);
// Forgets the calls so far (not the host's answers), draws one frame of the effect, and returns its calls.
const std::vector<RecordedCall>& Frame(CEffect& effect, LONG time);
// Draws one frame and returns one channel of its first glColor4f: where an effect fades, that is the level.
double ColourAt(CEffect& effect, LONG time, size_t channel = 0);

// Answers of DEMOGL_ExtensionCheckIfAvailable; every id answers false until set.
void SetExtension(int id, bool available);
// DEMOGL_TextureLoad returns 1, 2, 3, ... in call order after Reset.

// The start-up record the last DEMOGL_AppRun received, and what it returns.
const SStartupDat& LastStartup();
extern int runResult;
// Called inside DEMOGL_AppRun, while the registered objects are alive.
extern std::function<void()> runHook;

}  // namespace recorder
