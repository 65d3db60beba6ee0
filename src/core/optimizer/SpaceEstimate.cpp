#include "optimizer/SpaceEstimate.h"

#include "optimizer/TemplateCheck.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProjectRecord.h"

#include <algorithm>

namespace vantor {

namespace {

constexpr long long kHomepageSizeUnknown = 8000;
constexpr long long kTemplateSizeUnknown = 5000;

int kilobytes(double bytes) { return static_cast<int>(bytes / 1024.0); }

} // namespace

int SpaceEstimate::forScope(int scope) const
{
    switch (scope) {
    case 0:
        return minimum;
    case 2:
        return maximum;
    default:
        return middle;
    }
}

SpaceEstimate SpaceEstimate::withLowerLimits() const
{
    SpaceEstimate limited = *this;
    limited.maximum = std::max(maximum, copies == 0 ? 20 : 30);
    limited.middle = std::max(middle, 20);
    limited.minimum = std::max(minimum, 10);
    return limited;
}

SpaceEstimate estimateSpace(const ProjectRecord &record, long long homepageSize, long long templateSize)
{
    int setTerms = 0;
    int copies = 0;
    for (const auto &term : record.homepageKeywords)
        setTerms += term.empty() ? 0 : 1;
    for (const auto &copy : record.copyKeywords) {
        copies += copy[0].empty() ? 0 : 1;
        for (const auto &term : copy)
            setTerms += term.empty() ? 0 : 1;
    }
    for (const auto &term : record.doorwayKeywords)
        setTerms += term.empty() ? 0 : 1;

    const double a = static_cast<double>(setTerms) * static_cast<double>(templateSize);
    const double b = static_cast<double>(copies) * static_cast<double>(homepageSize);
    SpaceEstimate estimate;
    estimate.maximum = kilobytes(2.2 * a + 3.6 * b);
    estimate.middle = kilobytes(2.2 * a + 1.2 * b);
    estimate.minimum = kilobytes(1.1 * a + 1.2 * b);
    estimate.copies = copies;
    return estimate;
}

SpaceEstimate estimateSpace(const ProjectRecord &record)
{
    // A directory in the file's place counts as missing.
    auto sizeOf = [](const std::string &path, long long fallback) -> long long {
        if (!files::isFile(path))
            return fallback;
        const auto size = files::size(path);
        return size ? static_cast<long long>(*size) : fallback;
    };
    return estimateSpace(record, sizeOf(record.path.str(), kHomepageSizeUnknown),
                         sizeOf(templatePath(record.homepageDirectory.str()), kTemplateSizeUnknown));
}

SpaceDisplay spaceDisplay(const SpaceEstimate &limited, int scope)
{
    if (scope < 0 || scope > 2)
        scope = 1;
    SpaceDisplay display;
    const int value = limited.forScope(scope);
    display.kilobytes = value / 10 * 10;
    display.bar = scope == 2 || limited.maximum <= 0 ? 100 : value * 100 / limited.maximum;
    display.bar = std::clamp(display.bar, 0, 100);
    if (limited.copies == 0)
        display.label = de("Hinweis: Mittlerer und Maximaler Speicherplatzbedarf sind\n"
                           "gleich, da keine Kopien angegeben wurden!\n"
                           "Größe aller durch Vantor!! erzeugten Dokumente beträgt etwa:");
    else
        display.label = de("\n\nGröße aller durch Vantor!! erzeugten Dokumente beträgt etwa:");
    return display;
}

} // namespace vantor
