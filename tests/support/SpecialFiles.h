#pragma once
// Things at a path that are not regular files, for the tests that a save refuses them and
// leaves them as they were, and the unprivileged user those tests hand files to.

#include <sys/types.h>

#include <functional>
#include <string>

enum class SpecialFile { DanglingLink, LinkLoop, Device, Fifo, Folder, LinkToFifo, Socket };

const char* Describe(SpecialFile kind);
// Makes one at path (a device node where the system allows, else a link to /dev/null).
void MakeSpecialFile(SpecialFile kind, const std::string& path);
// What lstat and readlink say of path: its type, its mode and where a link points.
std::string Inspect(const std::string& path);

// Only the superuser may hand a file to another user, which the owner tests need.
bool MayGiveFilesAway();
// The user and group "nobody" stands for (65534 when the system does not name them).
uid_t NobodyUser();
gid_t NobodyGroup();

// Runs `action`, which may open the named pipe at `fifo` (or a link to it) for reading, and
// answers whether it finished by itself: a reader that waits for a writer is set free after a
// long patience by a writer that closes at once (it then reads an empty pipe), and the answer
// is false.
bool FinishesWithoutAWriter(const std::string& fifo, const std::function<void()>& action);
