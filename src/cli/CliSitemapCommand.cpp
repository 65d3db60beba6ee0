#include "Cli.h"

#include "optimizer/StartSigns.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "submit/Sitemap.h"
#include "submit/SubmitPreparation.h"
#include "submit/SubmitSettings.h"

#include <filesystem>
#include <ostream>

namespace vantor {

int Cli::sitemapCommand(const std::vector<std::string> &args)
{
    const std::string projectFile = projectFilePath(programSettings().currentProject);
    const submitsettings::Entries entries = submitsettings::readEntries(projectFile);
    sitemap::Input input;
    input.submissionUrl = entries.url;
    input.scheme = submitsettings::readSiteScheme(projectFile);
    // The stored "start page only" of the submission makes no sitemap.
    input.mode = entries.mode == submitdocs::Mode::Complete ? submitdocs::Mode::Complete : submitdocs::Mode::Optimal;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (i + 1 >= args.size())
            return usageError("sitemap: falsches Argument / wrong argument: " + a);
        const std::string &value = args[++i];
        if (a == "--mode") {
            if (value == "optimal")
                input.mode = submitdocs::Mode::Optimal;
            else if (value == "complete")
                input.mode = submitdocs::Mode::Complete;
            else
                return usageError("sitemap: --mode optimal|complete erwartet / expected");
        } else if (a == "--scheme") {
            if (value != "https" && value != "http")
                return usageError("sitemap: --scheme https|http erwartet / expected");
            input.scheme = value;
        } else if (a == "--url" || a == "--out") {
            if (!fitsCp1252(value))
                return usageError("Ungültiges Argument / invalid argument: " + value);
            if (a == "--url") {
                input.submissionUrl = toCp1252(value);
            } else {
                std::error_code ec;
                const std::filesystem::path absolute = std::filesystem::absolute(value, ec);
                input.outDirectory = toCp1252(ec ? value : absolute.lexically_normal().string());
                while (input.outDirectory.size() > 1 && input.outDirectory.back() == '/')
                    input.outDirectory.pop_back();
            }
        } else {
            return usageError("sitemap: falsches Argument / wrong argument: " + a);
        }
    }

    input.homepagePath = projectRecord().path.str();
    if (input.homepagePath.empty())
        return fail(submitprep::notOptimizedTitle(), submitprep::notOptimizedText());
    if (const auto problem = submitdocs::urlProblem(input.submissionUrl))
        return fail(problem->title, problem->text);
    if (!input.outDirectory.empty() && !files::isDirectory(input.outDirectory))
        return fail(de("Verzeichnis nicht gefunden"),
                    de("Das Verzeichnis \"") + input.outDirectory + de("\" gibt es nicht."));
    input.signs = StartSigns::fromSettings(projectOptions().sonz);
    input.extensions = submitsettings::readExtensions(projectFile);

    const sitemap::Result result = sitemap::write(input);
    if (result.urls + result.noindex + result.canonical + result.tooLong > 0) {
        m_out << "Sitemap: " << result.urls << " URLs\n";
        m_out << "Ausgelassen (noindex): " << result.noindex << '\n';
        m_out << "Ausgelassen (canonical): " << result.canonical << '\n';
        if (result.tooLong > 0)
            m_out << toUtf8(de("Ausgelassen (URL länger als 2047 Zeichen): ")) << result.tooLong << '\n';
    }
    for (const std::string &path : result.written)
        m_out << "Geschrieben: " << toUtf8(path) << '\n';
    for (const std::string &path : result.removed)
        m_out << "Entfernt: " << toUtf8(path) << '\n';
    if (result.ok && !result.robotsChanged)
        m_out << toUtf8(de("Unverändert: ")) << toUtf8(result.robotsPath) << '\n';
    m_out.flush();
    if (!result.ok)
        return fail(result.problemTitle, result.problemText);
    return 0;
}

} // namespace vantor
