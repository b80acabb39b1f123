// Giving a finished output its name: on disk first, then renamed into place, so a name never
// shows a file that is not whole.
#pragma once

#include <string>

// Asks the file system to have the file's contents on disk, so an error that shows only when it
// is written out (a full disk) is seen before the file gets its name. 0 or the errno.
int FlushToDisk(const std::string& path);

// Renames from to to, replacing a file there. False with reason set to the system's words.
bool MoveIntoPlace(const std::string& from, const std::string& to, std::string& reason);
