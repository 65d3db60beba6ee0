#include "optimizer/PageFiles.h"

#include "optimizer/OutOfMemory.h"
#include "optimizer/PageText.h"
#include "optimizer/TermText.h"
#include "platform/Files.h"

#include <cstddef>
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
        const std::size_t startPos = content.find(start);
        if (startPos == std::string::npos)
            return false;
        std::size_t from = startPos + start.size();
        if (from < content.size() && content[from] == ' ')
            ++from;
        const std::size_t endPos = content.find(end, from);
        if (endPos == std::string::npos)
            return false;
        result = content.substr(from, endPos - from);
        return true;
    });
}

bool deleteDirectory(const std::string &path)
{
    if (!files::isDirectory(path))
        return false;
    return exitWhenOutOfMemory([&] {
        const std::string all = files::join(path, "*");
        const std::vector<std::string> names = files::listFiles(all);
        const std::vector<std::string> directories = files::listDirectories(all);
        // Walk the files in the order a directory listing would give them, and
        // stop at the first subdirectory: we never delete more than the flat
        // results of our own runs.
        const std::string *firstDirectory = directories.empty() ? nullptr : &directories.front();
        for (const std::string &name : names) {
            if (firstDirectory && !(name < *firstDirectory))
                return false;
            files::remove(files::join(path, name));
        }
        if (firstDirectory)
            return false;
        return files::removeDirectory(path);
    });
}

} // namespace vantor
