// What --capture names, checked before anything is rendered: a video file or a folder of PNG
// frames, and whether writing there would destroy earlier work.
#pragma once

#include <string>

enum class CaptureKind { PngFolder, Video };

// What the name alone says: a video extension (.mp4, .mkv, .mov, .webm) is a video; a name ending
// in '/', a name without an extension, or an existing folder is a PNG folder; any other extension
// is refused (a mistyped container must not quietly become a folder of PNGs).
bool CheckCaptureName(const std::string& path, CaptureKind& kind, std::string& error);

// What is already there: a video name that is a folder or a device is refused; so is an existing
// video, or a folder that already holds frames, unless 'overwrite'.
bool CheckCaptureTarget(const std::string& path, CaptureKind kind, bool overwrite, std::string& error);

// True for the names a PNG capture writes: frame-<digits>.png.
bool IsFrameName(const std::string& name);

// Removes the frames an earlier capture left in 'folder' (only frame-<digits>.png), so a new
// capture does not mix with them. False with 'error' set when one cannot be removed.
bool RemoveFrames(const std::string& folder, std::string& error);

// The temporary name an output is written under before it gets 'path': beside it (a rename never
// crosses file systems) and carrying the process id (two runs never share it), "NAME.<pid>.part",
// with NAME shortened when the whole would pass the file system's 'nameLimit' bytes.
std::string TemporaryNameBeside(const std::string& path, long processId, std::size_t nameLimit = 255);
