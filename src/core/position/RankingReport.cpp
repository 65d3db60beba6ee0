#include "position/RankingReport.h"

#include "platform/Files.h"

namespace vantor::rankingreport {

namespace {

constexpr const char *kEnd = "<!--Report End-->";

// "<engine>: Begriff '<term>' Position 13 Link:<prefix><path>" becomes
// "<engine>: Begriff '<term>' <a href="http://<prefix><path>" ...>Position
// 13 </a><br>"; empty when the line is no found position.
std::string linkLine(const std::string &line)
{
    if (line.find("Position") == std::string::npos || line.find("Position-Analyse erfolgreich") != std::string::npos)
        return {};
    const std::size_t link = line.find("Link:");
    const std::size_t position = line.find("Position ");
    if (link == std::string::npos || position == std::string::npos || position > link)
        return {};
    const std::string target = line.substr(link + 5);
    return submitreport::escaped(line.substr(0, position)) + "<a href=\"http://" + submitreport::escaped(target)
        + "\" target=\"_blank\">" + submitreport::escaped(line.substr(position, link - position)) + "</a><br>\r\n";
}

} // namespace

std::string defaultFile(const std::string &homepagePath)
{
    return files::join(files::directoryOf(homepagePath), "Positions-Report");
}

std::string html(const std::vector<std::string> &report, const std::string &domain, const submitreport::Stamp &stamp)
{
    const std::string date = submitreport::escaped(stamp.date);
    std::string page;
    page += "<HTML><HEAD>\r\n";
    page += "<TITLE>Ranking-Report vom " + date + "</TITLE>\r\n";
    page += "</HEAD>\r\n<BODY background=\"back.gif\">";
    page += "<font face=\"Arial\" size=4 color=\"#550000\"><center><b>Vantor!! Ranking-Report</b></center></font>\r\n";
    page += "<blockquote><pre><hr>\r\n";
    page += "      Datum: <input type=\"text\" size=\"12\" value=\"" + date + "\"><br>\r\n";
    page += "       Zeit: <input type=\"text\" size=\"12\" value=\"" + submitreport::escaped(stamp.time)
        + "\"><br>\r\n";
    page += "   Homepage: <input type=\"text\" size=\"70\" value=\"" + submitreport::escaped(domain)
        + "\"><hr></font></pre>\r\n";
    page += "<font face=\"Arial\" size=3 color=\"#000099\"><br>\r\n";
    page += "<b>Ranking-Report:</b></font><br><font face=\"Arial\" size=2 color=\"#000000\">\r\n";
    // The found lines stand before the end mark, inside its bold.
    page += "<b>";
    for (const std::string &line : report)
        page += linkLine(line);
    page += kEnd;
    page += "</b><br>\r\n";
    page += "</font><br><br>\r\n";
    page += "</BODY></HTML>";
    return page;
}

} // namespace vantor::rankingreport
