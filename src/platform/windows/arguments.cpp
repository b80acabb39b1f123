#include "platform/windows/arguments.h"

namespace {

// The C library's rule: backslashes are literal except before a '"', where 2n of them stand for n
// and 2n+1 for n and a literal quote.
std::string Quote(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');  // before the closing quote
    return quoted + '"';
}

}  // namespace

std::string JoinWindowsArguments(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        line += Quote(argument);
    }
    return line;
}
