#include "platform/command_line.h"

CommandLine CommandLineOf(HINSTANCE instance)
{
    CommandLine line;
    if (!instance) return line;
    line.executable = instance->executablePath ? instance->executablePath : "";
    for (int i = 1; i < instance->argumentCount; ++i) line.arguments.push_back(instance->arguments[i]);
    return line;
}

void AttachParentConsole() {}
