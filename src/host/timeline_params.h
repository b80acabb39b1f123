// What each effect makes of the timeline's "param" lines. An effect reads its text as it likes and
// ignores what it does not know, so a misspelt keyword would change nothing without a word; the
// program declares the texts each effect reads, and the timeline's param lines are checked
// against that.
#pragma once

#include <string>
#include <vector>

#include "host/timeline.h"

struct EffectParameters {
    std::string effect;
    std::vector<std::string> accepted;  // empty: the effect takes no parameters
};

// One warning per param line whose text its effect does not read, in file order:
// "<source>:<line>: warning: ...", saying what the effect accepts. Effects not declared are not
// checked.
std::vector<std::string> ParamWarnings(const Timeline& timeline, const std::vector<EffectParameters>& declared,
                                       const std::string& source);

// The program's declarations, made once before the run; the host checks the timeline with them.
void DeclareEffectParameters(std::vector<EffectParameters> declared);
const std::vector<EffectParameters>& DeclaredEffectParameters();
