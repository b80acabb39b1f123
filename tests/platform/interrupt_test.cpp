#include <gtest/gtest.h>

#include <csignal>

#include "platform/interrupt.h"

namespace {

TEST(Interrupt, ASignalIsRecordedInsteadOfEndingTheProgram)
{
    CatchInterrupts();
    EXPECT_EQ(InterruptSignal(), 0);
    std::raise(SIGTERM);
    EXPECT_EQ(InterruptSignal(), SIGTERM);
}

}  // namespace
