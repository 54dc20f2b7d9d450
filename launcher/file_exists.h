// Whether a path names something on disk: the launcher's test before it warns that the
// accessory is missing and before it starts the music timer; the accessory's start never asks.
#pragma once

// 1 when FindFirstFileA finds the path: files, folders and matching wildcards; not "".
int FileExists(const char* path);
