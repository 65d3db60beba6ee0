#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

// File system access for the engine. Every path here is cp1252, like every
// other text of the engine; the conversion to the UTF-8 names of the disk
// happens inside. The directory separator is '/'.
namespace files {

constexpr char kSeparator = '/';

// The UTF-8 form of a cp1252 path, for handing to the operating system.
std::string osPath(const std::string &path);

bool exists(const std::string &path);
// True when there is any entry at the path, a dangling symbolic link too.
bool entryExists(const std::string &path);
bool isFile(const std::string &path);
bool isDirectory(const std::string &path);
std::optional<std::uint64_t> size(const std::string &path);

// Reads the whole file; false when it cannot be opened or read.
bool read(const std::string &path, std::string &content);
// Replaces the file in place; a file the user may not write stays (see
// writeAtomic). Use writeAtomic for anything the user must never find
// half-written.
bool write(const std::string &path, const std::string &content);
// How writeAtomic treats the target.
struct AtomicWrite {
    // Permission bits of a file that does not exist yet (the umask applies);
    // an existing file keeps its own.
    unsigned newFileMode = 0666;
    // False: never replace a file that is there, not even one that appears
    // while we write (the write then fails and the file stays as it is).
    bool replaceExisting = true;
    // False for files we can make again at any time (the documents a run
    // generates): they skip the flushes to the disk, which cost more than the
    // writing itself when a run makes a thousand of them. They are still
    // never seen half-written under their own name, and the leftovers of a
    // killed run are cleared from their directory at the first write there.
    bool durable = true;
};

// Writes to a temporary file beside the target, flushes it to the disk and
// renames it over the target, so a crash or a full disk leaves either the
// old or the new file. A symbolic link is written through to its target; a
// dangling link, or a target that is no regular file, fails. So does a
// target the user may not write (no write bit at all, or none for us): it
// stays as it is and lastError() is EACCES (EROFS on a read-only disk). Temporary files
// of an earlier run that was killed are removed on the way.
bool writeAtomic(const std::string &path, const std::string &content, const AtomicWrite &how = {});
// The same for a path already in the file system's own encoding (the
// settings file, whose place comes from the environment).
bool writeAtomicOsPath(const std::string &osPath, const std::string &content, const AtomicWrite &how = {});
// True when the name of a temporary file of writeAtomic (for tests and for
// directory listings that must not show them).
bool isAtomicTempName(const std::string &name);
// True when the file is there and the user may not write it (see
// writeAtomic); a caller can then refuse before it changes anything else.
bool writeProtected(const std::string &path);
// Appends to the file (made when missing) with one write, so that a line is
// there whole even if the process is killed right after; for journals.
bool append(const std::string &path, const std::string &text);
bool remove(const std::string &path);
// Copies with overwrite when overwrite is set; false when the target exists
// and overwrite is not set. The copy is written atomically.
bool copy(const std::string &from, const std::string &to, bool overwrite = true);

bool createDirectory(const std::string &path);
bool createDirectories(const std::string &path);
// Removes an empty directory only.
bool removeDirectory(const std::string &path);

// Wildcard listing like the system's find-first/find-next: pattern is a
// directory plus a file-name pattern with '*' and '?', e.g. "/site/*.htm".
// Returns the bare names, sorted. Matching of the name is case-insensitive
// for ASCII letters, as the site owners' Windows habits expect.
std::vector<std::string> listFiles(const std::string &pattern);
std::vector<std::string> listDirectories(const std::string &pattern);

// Path helpers on cp1252 text.
std::string join(const std::string &directory, const std::string &name);
std::string directoryOf(const std::string &path); // without the last separator and name
std::string fileNameOf(const std::string &path);  // the part after the last separator
std::string extensionOf(const std::string &path); // after the last dot of the file name, lower case

bool wildcardMatch(const std::string &pattern, const std::string &name);

// Why the last failed read, write, writeAtomic(OsPath), copy, remove or
// createDirectory(ies) of this thread failed: its errno (ENOSPC, EACCES,
// EROFS, ENOENT, ...), so a caller can tell the user more than "failed".
// A success does not clear it.
int lastError();
// True for the reasons that mean "no room left" (a full disk, a used-up quota).
bool isDiskFull(int error);

} // namespace files
} // namespace vantor
