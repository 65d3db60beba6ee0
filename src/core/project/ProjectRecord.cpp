#include "project/ProjectRecord.h"

#include "platform/Files.h"

namespace vantor {

void ProjectRecord::deriveHomepageFields()
{
    const std::string full = path.str();
    homepageDirectory = files::directoryOf(full);
    homepageFileName = files::fileNameOf(full);
    homepageExtension = files::extensionOf(full);
}

ProjectRecord &projectRecord()
{
    // Large (the research list alone is 300 KB): static storage, not stack.
    static ProjectRecord record;
    return record;
}

} // namespace vantor
