#include <gtest/gtest.h>

#include <csignal>

#include "platform/interrupt.h"

namespace {

TEST(Interrupt, ASignalIgnoredAtStartStaysIgnored)
{
    std::signal(SIGHUP, SIG_IGN);  // as under nohup
    CatchInterrupts();
    std::raise(SIGHUP);
    EXPECT_EQ(InterruptSignal(), 0);
}

}  // namespace
