// Whether a path names something on disk: the launcher's test before it warns about the
// accessory, starts it, or starts the music.
#pragma once

// 1 when FindFirstFileA finds the path: files, folders and matching wildcards; not "".
int FileExists(const char* path);
