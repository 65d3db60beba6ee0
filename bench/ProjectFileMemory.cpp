// Prints the memory peak of one project file operation on a file of bare
// line ends, one operation per process so that the peaks do not mix:
//   vantor_project_memory load|profile|save|options [megabytes]

#include "ProjectBenchSetup.h"

#include "platform/Profile.h"
#include "project/ProjectFile.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

long peakKilobytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    using namespace vantor;
    if (argc < 2)
        return 2;
    const std::size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 50;
    bench::ProjectDirectory dir;
    bench::writeBareLineEnds(dir.path("big"), megabytes);
    bench::fillRecord();
    const long before = peakKilobytes();
    const auto start = std::chrono::steady_clock::now();
    bool ok = false;
    if (std::strcmp(argv[1], "load") == 0) {
        ok = LoadProjectData("big") && LoadProjectOptions("big");
    } else if (std::strcmp(argv[1], "profile") == 0) {
        ProfileFile profile;
        ok = profile.load(dir.path("big")) && profile.value("research", "1") == "Brot";
    } else if (std::strcmp(argv[1], "save") == 0) {
        ok = SaveProjectData("big");
    } else if (std::strcmp(argv[1], "options") == 0) {
        ok = SaveProjectOptions("big");
    } else {
        return 2;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s of %zu MB: %s, %.2f s, peak %ld MB (before %ld MB)\n", argv[1], megabytes, ok ? "ok" : "FAILED",
                seconds, peakKilobytes() / 1024, before / 1024);
    return ok ? 0 : 1;
}
