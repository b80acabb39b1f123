// What a run reads before any window opens: the data archive, the timeline (the archive's or the
// user's file) and the score, each checked, so a mistake is one line and no window flickers.
#pragma once

#include <memory>
#include <string>

#include "app/options.h"
#include "host/host_state.h"
#include "host/timeline.h"
#include "sound/soundtrack.h"

struct DemoInputs {
    std::string archivePath;
    Timeline timeline;
    std::unique_ptr<audio::Soundtrack> soundtrack;  // null: the run is silent
};

// Finds and opens the archive (into host.archive), reads and checks the timeline against the
// registered effects, and, unless muted, the score against the timeline. Returns the exit status
// of a run that cannot go on (its message printed), or 0.
int ReadDemoInputs(HostState& host, const Options& options, const std::string& executable, DemoInputs& inputs);
