// Where the data archive may be when --data does not say: the working directory, the program's own
// folder, the data folder of the tree the program is installed in (found from the program, so a
// moved tree still works), and the data folder of the prefix it was built for.
#pragma once

#include <string>
#include <vector>

// The folders to search, in order, without repeats: ".", the program's folder, its
// ../share/tarnelvois, then installedFolder (when not empty).
std::vector<std::string> DataFolders(const std::string& program, const std::string& installedFolder);

// The data folder of the install prefix this program was built for.
std::string InstalledDataFolder();
