#pragma once

#include <string>

namespace vantor {

// Keeps a run's writes and deletions inside the homepage's directory tree.
// A site is a place where the user may have put symbolic links of his own
// (to a shared picture folder, to his documents); following one while
// removing old results or writing new ones would touch files that have
// nothing to do with the site. The homepage file itself is the exception:
// when it is a link, the user chose that, and it is written through.
class SiteGuard
{
public:
    // The directory is resolved to its real path once; a directory that
    // cannot be resolved confines to nothing.
    explicit SiteGuard(const std::string &homepageDirectory);

    enum class Verdict {
        Allowed,     // write (or delete) the entry itself
        LinkAllowed, // a link whose target lies inside the tree: the link is replaced, not followed
        Link,        // a symbolic link that is left alone
        Outside,     // the entry's real place is outside the tree
    };

    // A file about to be written: its directory must resolve inside the
    // tree; a link at the name is replaced only when it points inside.
    Verdict fileTarget(const std::string &path) const;
    // A directory the run creates or writes into: a link there is never
    // followed.
    Verdict directory(const std::string &path) const;
    // A directory that may be reached through a link (the templates): its
    // real place must be inside the tree.
    Verdict resolvedDirectory(const std::string &path) const;

    // True when the real path (file system encoding) lies inside the tree.
    bool containsReal(const std::string &realOsPath) const;
    const std::string &realRoot() const { return m_realRoot; }

    static bool isLink(const std::string &path);

private:
    std::string m_realRoot; // file system encoding, no trailing separator
};

} // namespace vantor
