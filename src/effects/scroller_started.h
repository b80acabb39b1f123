// The one flag two effects share: the scroller sets it on its first frame, and the sliding
// picture switches from its blue slide to its bright phase when it sees it. Cleared only when the
// piece starts again from its beginning.
#pragma once

extern bool g_scrollerStarted;
