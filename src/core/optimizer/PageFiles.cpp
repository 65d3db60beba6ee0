#include "optimizer/PageFiles.h"

#include "optimizer/FindLiteral.h"
#include "optimizer/OutOfMemory.h"
#include "optimizer/PageText.h"
#include "optimizer/TermText.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <system_error>
#include <vector>

namespace vantor {

bool readMarkedBlock(const std::string &start, const std::string &end, const std::string &fileName, int index,
                     std::string &result)
{
    if (index < 1 || start.empty() || end.empty())
        return false;
    return exitWhenOutOfMemory([&] {
        std::string content;
        if (!files::read(fileName, content))
            return false;
        content = removeLineBreaks(content);
        for (int i = 1; i < index; ++i) {
            if (!cutBetween(start, end, content))
                return false;
        }
        const std::size_t startPos = findLiteral(content, start);
        if (startPos == std::string::npos)
            return false;
        // An end marker before the start marker: the page is not laid out
        // the way the block was written, so there is no block to read.
        if (findLiteral(content, end) < startPos)
            return false;
        std::size_t from = startPos + start.size();
        if (from < content.size() && content[from] == ' ')
            ++from;
        const std::size_t endPos = findLiteral(content, end, from);
        if (endPos == std::string::npos)
            return false;
        result = content.substr(from, endPos - from);
        return true;
    });
}

bool deleteDirectory(const std::string &path)
{
    namespace fs = std::filesystem;
    if (!files::isDirectory(path))
        return false;
    return exitWhenOutOfMemory([&] {
        struct Entry
        {
            std::string name; // cp1252, for the order
            fs::path path;
            bool directory;
        };
        std::vector<Entry> entries;
        std::error_code ec;
        for (fs::directory_iterator it(fs::path(files::osPath(path)), ec), end; !ec && it != end; it.increment(ec)) {
            // The entry's own type, never that of a link's target: a link to
            // a directory is removed as a link, and what it points to is not
            // ours to touch.
            std::error_code typeEc;
            const fs::file_status status = it->symlink_status(typeEc);
            if (typeEc)
                continue; // gone meanwhile; should anything be left, the directory stays
            entries.push_back({toCp1252(it->path().filename().string()), it->path(), fs::is_directory(status)});
        }
        if (ec)
            return false;
        std::sort(entries.begin(), entries.end(),
                  [](const Entry &a, const Entry &b) { return a.name < b.name; });
        // Walk the entries in the order a directory listing would give them,
        // and stop at the first subdirectory: we never delete more than the
        // flat results of our own runs.
        for (const Entry &entry : entries) {
            if (entry.directory)
                return false;
            std::error_code removeEc;
            fs::remove(entry.path, removeEc);
        }
        return files::removeDirectory(path);
    });
}

} // namespace vantor
