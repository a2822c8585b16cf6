// Saving a whole small file (the settings file) so that it stays what it was: a regular file is
// replaced through a temporary file and a rename, keeping its mode and owner; a symbolic link
// stays a link and its target is saved; a device or FIFO is written directly.
#pragma once
#include <string>

// The file a path names once its symbolic links are followed (a missing last target is fine).
// False with a message when the links loop or go too deep.
bool ResolveLinks(const std::string& path, std::string* target, std::string* error);

// Called after the temporary file is written and before the rename; returning false abandons
// the save as a crash there would (tests use it).
using BeforeRenameHook = bool (*)(const std::string& tempPath);

// Writes `text` as the whole content of `path` (see above). A regular file whose owner cannot
// be kept (another user's file) is rewritten in place. False with "PATH: what" on failure.
bool ReplaceFileContent(const std::string& path, const std::string& text, BeforeRenameHook hook,
                        std::string* error);
