#include "app/effect_catalog.h"

const std::vector<EffectParameters>& EffectCatalog()
{
    using namespace effect_name;
    static const std::vector<EffectParameters> catalog = [] {
        std::vector<EffectParameters> entries = {{kSnow, {}}, {kStar, {}}};
        for (const char* cube : kCubes) entries.push_back({cube, {}});
        for (const char* name : {kLogo, kLine, kSpot, kSpot2, kSpot3, kSpot4, kSplash, kNdSplash, kZep, kRCube,
                                 kRCube2, kScroller})
            entries.push_back({name, {}});
        // The frame clear's keywords: the "ON" ones set a buffer's clear, the "OFF" ones toggle it.
        entries.push_back({kControl, {"COLOR ON", "COLOR OFF", "DEPTH ON", "DEPTH OFF"}});
        return entries;
    }();
    return catalog;
}

std::vector<std::string> EffectCatalogNames()
{
    std::vector<std::string> names;
    for (const EffectParameters& entry : EffectCatalog()) names.push_back(entry.effect);
    return names;
}
