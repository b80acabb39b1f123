// Param lines checked against the texts their effects read.
#include "host/timeline_params.h"

#include <algorithm>

namespace {

std::vector<EffectParameters>& Declared() {
    static std::vector<EffectParameters> declared;
    return declared;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Accepted(const EffectParameters& parameters) {
    if (parameters.accepted.empty()) return parameters.effect + " takes no parameters";
    std::string list;
    for (const std::string& text : parameters.accepted) list += (list.empty() ? "" : ", ") + Quoted(text);
    return parameters.effect + " accepts " + list;
}

}  // namespace

std::vector<std::string> ParamWarnings(const Timeline& timeline, const std::vector<EffectParameters>& declared,
                                       const std::string& source) {
    std::vector<std::string> warnings;
    for (const TimelineEvent& event : timeline.events) {
        if (event.kind != TimelineEvent::Kind::Param) continue;
        auto parameters = std::find_if(declared.begin(), declared.end(),
                                       [&](const EffectParameters& entry) { return entry.effect == event.effect; });
        if (parameters == declared.end()) continue;
        const std::vector<std::string>& accepted = parameters->accepted;
        if (std::find(accepted.begin(), accepted.end(), event.text) != accepted.end()) continue;
        warnings.push_back(source + ":" + std::to_string(event.line) + ": warning: " + Quoted(event.text) +
                           " does nothing: " + Accepted(*parameters));
    }
    return warnings;
}

void DeclareEffectParameters(std::vector<EffectParameters> declared) { Declared() = std::move(declared); }

const std::vector<EffectParameters>& DeclaredEffectParameters() { return Declared(); }
