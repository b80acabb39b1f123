#include "host/host_state.h"

#include <cstdio>

HostState& Host()
{
    static HostState state;
    return state;
}

void HostError(const std::string& message) { std::fprintf(stderr, "tarnelvois: %s\n", message.c_str()); }

void HostWarning(const std::string& message)
{
    if (Host().logLevel >= 1) std::fprintf(stderr, "tarnelvois: warning: %s\n", message.c_str());
}
