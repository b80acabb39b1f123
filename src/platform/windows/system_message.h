// The system's own words for an error code, as one line.
#pragma once

#include <string>

#include "platform/platform.h"

std::string SystemMessage(DWORD code);
