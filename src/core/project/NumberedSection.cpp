#include "project/NumberedSection.h"

#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Profile.h"

namespace vantor::numberedsection {

std::vector<std::string> read(const std::string &projectFile, const std::string &section, std::size_t most,
                              std::size_t capacity, bool stopAtEmpty)
{
    std::vector<std::string> values;
    ProfileFile file;
    if (!file.load(projectFile))
        return values;
    const auto keys = file.sectionValues(section);
    for (std::size_t n = 1; n <= most; ++n) {
        const auto found = keys.find(std::to_string(n));
        if (found == keys.end() || (stopAtEmpty && found->second.empty()))
            break;
        values.push_back(found->second.substr(0, capacity));
    }
    return values;
}

bool write(const std::string &projectFile, const std::string &section, const std::vector<std::string> &values)
{
    const FileLock lock(files::osPath(projectFile));
    ProfileFile file;
    if (!lock.locked() || !file.load(projectFile))
        return false;
    file.clearSection(section);
    for (std::size_t i = 0; i < values.size(); ++i)
        file.write(section, std::to_string(i + 1), values[i]);
    return file.save();
}

} // namespace vantor::numberedsection
