#include "effects/scroller_started.h"

bool g_scrollerStarted = false;
