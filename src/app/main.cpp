// The portable entry: hands the program's entry function an instance handle that carries the
// command line, as the Windows loader would.
#include <string>

#include "platform/platform.h"

int main(int argc, char** argv)
{
    PlatformInstance instance;
    instance.argumentCount = argc;
    instance.arguments = argv;
    instance.executablePath = argc > 0 ? argv[0] : "";

    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return WinMain(&instance, nullptr, commandLine.data(), 1);
}
