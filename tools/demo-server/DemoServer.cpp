#include "DemoServer.h"

#include "HtmlText.h"
#include "ResultPages.h"

#include "net/DataFile.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

namespace vantor::demo {

namespace {

// Only plain file names: nothing outside the root is ever served.
bool plainName(const std::string &name)
{
    return !name.empty() && name.front() != '.' && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find("..") == std::string::npos;
}

// The pages are German like the program; UTF-8 and said so.
void sendPage(httplib::Response &response, const std::string &title, const std::string &body)
{
    response.set_content("<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body>" + body +
                             "</body></html>\n",
                         "text/html; charset=utf-8");
}

} // namespace

std::filesystem::path builtDataDirectory()
{
    // An installed server finds the files its package ships beside the
    // program's own; run from the build directory, those it just packed.
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path installed = exe.parent_path().parent_path() / "share" / "vantor" / "Data";
        if (std::filesystem::is_regular_file(installed / "submit_d.dat", error))
            return installed;
    }
    return VANTOR_DEMO_DATA_DIR;
}

DemoServer::DemoServer(std::filesystem::path root)
    : DemoServer(std::move(root), Options{})
{
}

DemoServer::DemoServer(std::filesystem::path root, const Options &options)
    : m_root(std::move(root))
    , m_options(options)
    , m_server(options.limits)
    , m_engines(options.engines)
    , m_indexNow(options.site, options.indexNow)
    , m_research(options.research)
{
    if (!options.site.empty())
        m_site.emplace(options.site);
    addRoutes();
}

std::string DemoServer::supportLogValue(const std::string &value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    return out;
}

std::optional<std::filesystem::path> DemoServer::fileIn(const std::filesystem::path &directory, const std::string &name)
{
    if (!plainName(name) || directory.empty())
        return std::nullopt;
    // A link inside the directory may point anywhere; what counts is where
    // it ends up.
    std::error_code error;
    const std::filesystem::path root = std::filesystem::canonical(directory, error);
    if (error)
        return std::nullopt;
    const std::filesystem::path file = std::filesystem::canonical(directory / name, error);
    if (error || !std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    const auto [rootEnd, fileAt] = std::mismatch(root.begin(), root.end(), file.begin(), file.end());
    if (rootEnd != root.end() || fileAt == file.end())
        return std::nullopt;
    return file;
}

bool DemoServer::appendSupportEntry(const std::string &entry)
{
    if (entry.size() > m_options.supportLogMax)
        return false;
    std::lock_guard<std::mutex> lock(m_logMutex);
    std::error_code error;
    std::filesystem::create_directories(logDirectory(), error);
    const std::uintmax_t size = std::filesystem::file_size(supportLog(), error);
    if (!error && size + entry.size() > m_options.supportLogMax) {
        std::filesystem::rename(supportLog(), supportLogBefore(), error);
        if (error)
            return false;
    }
    std::ofstream log(supportLog(), std::ios::binary | std::ios::app);
    log << entry;
    log.flush();
    return static_cast<bool>(log);
}

DemoServer::~DemoServer()
{
    if (m_thread.joinable()) {
        stop();
        m_thread.join();
    }
}

void DemoServer::stop()
{
    // First, or the library would wait for the engine's silence to end
    // before its workers let go.
    m_engines.stop();
    m_server.stop();
}

std::string DemoServer::servedDataFile(const std::string &stored) const
{
    const std::string own = "127.0.0.1:" + std::to_string(m_port.load());
    if (own == kDefaultAddress)
        return stored;
    std::string text;
    if (!DataFile::unpack(stored, text))
        return stored;
    const std::string_view from = kDefaultAddress;
    bool replaced = false;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + own.size())) {
        text.replace(at, from.size(), own);
        replaced = true;
    }
    std::string repacked;
    if (!replaced || !DataFile::pack(text, repacked))
        return stored;
    return repacked;
}

int DemoServer::start(int port)
{
    const int bound = bind(port);
    if (bound < 0)
        return bound;
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

int DemoServer::bind(int port)
{
    const int bound
        = port == 0 ? m_server.bind_to_any_port("127.0.0.1") : (m_server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound > 0) {
        m_server.widenBacklog();
        m_port = bound;
    }
    return bound;
}

bool DemoServer::listen() { return m_server.listen_after_bind(); }

void DemoServer::addRoutes()
{
    m_server.Get(R"(/download/vantor/([^/]+))", [this](const httplib::Request &request, httplib::Response &response) {
        const std::string name = request.matches[1];
        // The support log lies in the same directory; the senders' addresses
        // in it are nobody's download.
        const bool log = name.rfind(supportLog().filename().string(), 0) == 0;
        // The root first, so that a file put there for a test or a demo
        // takes the place of the built one.
        std::optional<std::filesystem::path> file = log ? std::nullopt : fileInRoot(name);
        if (!file && !log)
            file = fileIn(m_options.builtData, name);
        std::ifstream in;
        if (file)
            in.open(*file, std::ios::binary);
        if (!file || !in) {
            response.status = 404;
            sendPage(response, "Nicht gefunden", "<p>Die Datei gibt es hier nicht.</p>");
            return;
        }
        std::ostringstream content;
        content << in.rdbuf();
        if (name.ends_with(".txt"))
            response.set_content(content.str(), "text/plain");
        else
            response.set_content(servedDataFile(content.str()), "application/octet-stream");
    });

    m_server.Get("/cgi-bin/support.pl", [this](const httplib::Request &request, httplib::Response &response) {
        const std::string entry = "from: " + supportLogValue(request.get_param_value("from")) + "\n"
            + "subject: " + supportLogValue(request.get_param_value("subject")) + "\n"
            + "text: " + supportLogValue(request.get_param_value("text")) + "\n--\n";
        if (!appendSupportEntry(entry)) {
            response.status = entry.size() > m_options.supportLogMax ? 413 : 500;
            response.set_content("FEHLER", "text/plain");
            return;
        }
        response.set_content("OK", "text/plain");
    });

    m_server.Get("/cgi-bin/sitecastget.pl", [](const httplib::Request &request, httplib::Response &response) {
        const std::string address = htmlEscape(request.get_param_value("emailsitecast"));
        sendPage(response, "Sitecast News",
                 "<h1>Vielen Dank!</h1><p>Die Adresse <b>" + address +
                     "</b> ist für die kostenlosen Sitecast News eingetragen. Sie erhalten in Kürze eine E-Mail, "
                     "mit der Sie die Anmeldung bestätigen.</p>");
    });

    m_server.Get("/sitecast/internetmarketingdoc.html", [](const httplib::Request &, httplib::Response &response) {
        sendPage(response, "Internet-Marketing Dokumente",
                 "<h1>Internet-Marketing Dokumente</h1><p>Kompaktes Fachwissen für Experten:</p><ul>"
                 "<li>Suchbegriffe finden und bewerten</li><li>Zugangsseiten, die Besucher weiterführen</li>"
                 "<li>Anmelden bei Suchmaschinen und Katalogen</li><li>Platzierungen beobachten</li></ul>");
    });
    // Where "Neuere Version verfügbar" sends the user.
    m_server.Get("/download/", [this](const httplib::Request &, httplib::Response &response) {
        std::string version;
        if (const auto file = fileInRoot("version.txt")) {
            std::ifstream in(*file, std::ios::binary);
            in >> version;
        }
        sendPage(response, "Vantor!! herunterladen",
                 "<h1>Vantor!! herunterladen</h1><p>Die neueste Version ist " + htmlEscape(version.empty() ? "?" : version)
                     + ".</p><p>Dies ist der Demo-Server: Er bietet keine Installationsdateien an.</p>");
    });

    m_engines.addRoutes(m_server);
    m_indexNow.addRoutes(m_server);
    m_research.addRoutes(m_server);
    ResultPages::addRoutes(m_server);

    // Last, so that every route above keeps its own answer.
    if (m_site) {
        m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            m_site->serve(request, response);
        });
    } else {
        m_server.Get("/", [](const httplib::Request &, httplib::Response &response) {
            sendPage(response, "Vantor!! Demo-Server",
                     "<h1>Vantor!! Demo-Server</h1><p>Hier antworten der nachgestellte Server des Herstellers und "
                     "die nachgestellten Suchmaschinen unter /engine/, dazu die Dienste der Suchbegriff-Recherche "
                     "mit echten deutschen Wörtern: /research/keywords, /research/keywords2, /research/thesaurus "
                     "und /research/thesaurus2/1 bis 3, jeweils mit ?q=Begriff, und die Ergebnisseiten für die "
                     "Positionsprüfung unter /serp/. Eine Kopie Ihrer Website zeigt "
                     "der Server hier, wenn er mit --site VERZEICHNIS gestartet wird.</p>");
        });
    }
}

} // namespace vantor::demo
