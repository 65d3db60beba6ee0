#include "SimulatedEngines.h"

#include "HtmlText.h"

#include "platform/Text.h"

#include <functional>
#include <initializer_list>
#include <string_view>

namespace vantor::demo {

namespace {

// The engines the program was written for answered in Windows-1252, and
// their markers in the data files are cp1252 too; a marker with an umlaut
// only matches a page in the same encoding.
void sendPage(httplib::Response &response, std::string_view title, std::initializer_list<std::string> lines,
              int status = 200)
{
    std::string page = "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\n"
                       "<title>";
    page.append(title).append("</title>\n</head>\n<body>\n");
    for (const std::string &line : lines)
        page.append(line).append("\n");
    page.append("</body>\n</html>\n");
    response.status = status;
    response.set_content(toCp1252(page), "text/html; charset=windows-1252");
}

std::string shownUrl(const std::string &url) { return "<p>Adresse: <b>" + htmlEscape(url) + "</b></p>"; }

// The host of a submitted address, without user, port or path.
std::string_view hostOf(std::string_view url)
{
    const std::size_t scheme = url.find("://");
    if (scheme != std::string_view::npos)
        url.remove_prefix(scheme + 3);
    url = url.substr(0, url.find_first_of("/?#"));
    const std::size_t user = url.rfind('@');
    if (user != std::string_view::npos)
        url.remove_prefix(user + 1);
    return url.substr(0, url.find(':'));
}

// The homepage itself: nothing after the host but a slash.
bool isHomepage(std::string_view url)
{
    const std::size_t scheme = url.find("://");
    if (scheme != std::string_view::npos)
        url.remove_prefix(scheme + 3);
    const std::size_t path = url.find_first_of("/?#");
    return path == std::string_view::npos || url.substr(path) == "/";
}

bool hasDottedHost(std::string_view url) { return hostOf(url).find('.') != std::string_view::npos; }

std::string logValue(const std::string &value)
{
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

SimulatedEngines::SimulatedEngines(const Timing &timing)
    : m_timing(timing)
{
}

void SimulatedEngines::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
}

bool SimulatedEngines::pause(std::chrono::milliseconds duration)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_wake.wait_for(lock, duration, [this] { return m_stopping; });
}

void SimulatedEngines::remember(const std::string &engine, const std::string &url, const std::string &email)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_received.size() == kMaxReceived)
        m_received.pop_front();
    m_received.push_back({engine, url, email});
}

std::vector<SimulatedEngines::Received> SimulatedEngines::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return {m_received.begin(), m_received.end()};
}

std::string SimulatedEngines::receivedText() const
{
    std::string text;
    for (const Received &entry : received())
        text += logValue(entry.engine) + "\t" + logValue(entry.url) + "\t" + logValue(entry.email) + "\n";
    return text;
}

void SimulatedEngines::addRoutes(httplib::Server &server)
{
    using Answer = std::function<void(const httplib::Request &, const std::string &url, httplib::Response &)>;
    // Each engine takes its submissions by one verb only: a request with the
    // wrong one finds no page, as it would at the real thing.
    const auto engine = [this, &server](const char *name, const char *path, bool post, const char *urlKey,
                                        const char *emailKey, Answer answer) {
        const std::string pattern = std::string("/engine/") + name + "/" + path;
        auto handler = [this, name, urlKey, emailKey, answer](const httplib::Request &request,
                                                              httplib::Response &response) {
            const std::string url = request.get_param_value(urlKey);
            remember(name, url, emailKey ? request.get_param_value(emailKey) : std::string());
            answer(request, url, response);
        };
        if (post)
            server.Post(pattern, handler);
        else
            server.Get(pattern, handler);
    };

    engine("suchfix", "eintragen", false, "url", "email",
           [](const httplib::Request &, const std::string &url, httplib::Response &response) {
               std::string verdict;
               if (!hasDottedHost(url))
                   verdict = "<p>Suchfix nimmt diese Adresse nicht auf: Der Rechnername enthält keinen Punkt.</p>";
               else if (isHomepage(url))
                   verdict = "<p>Diese Adresse ist bereits im Suchfix-Verzeichnis. Eine neue Anmeldung ist nicht "
                             "nötig.</p>";
               else
                   verdict = "<p>Vielen Dank! Ihre Seite wurde in Suchfix aufgenommen und erscheint in einigen "
                             "Tagen in den Ergebnissen.</p>";
               sendPage(response, "Suchfix - Seite anmelden",
                        {"<h1>Suchfix</h1>", shownUrl(url), verdict,
                         "<p><small>Suchfix - finden statt suchen. Störungen bitte an den Webmaster.</small></p>"});
           });

    engine("findling", "anmelden.cgi", true, "adresse", "mail",
           [](const httplib::Request &, const std::string &url, httplib::Response &response) {
               if (isHomepage(url))
                   sendPage(response, "Findling",
                            {"<h2>Findling Anmeldung</h2>", shownUrl(url),
                             "<p>Diese Adresse kennt Findling schon. Sie wird regelmäßig besucht.</p>"});
               else
                   sendPage(response, "Findling",
                            {"<h2>Findling Anmeldung</h2>", "<p>Bereits gefunden: <i>" + htmlEscape(url) + "</i></p>",
                             "<p>Neue Seiten Ihrer Site findet Findling von allein.</p>"});
           });

    engine("spuernase", "submit", true, "seite", "kontakt",
           [](const httplib::Request &, const std::string &url, httplib::Response &response) {
               sendPage(response, "Spürnase",
                        {"<h1>Die Spürnase</h1>", shownUrl(url),
                         "<p class=\"warn\">Diese Seite kann die Spürnase nicht aufnehmen.</p>",
                         "<p>Bitte prüfen Sie die Adresse und versuchen Sie es mit einer anderen Seite.</p>"});
           });

    engine("netzlotse", "neu.php", false, "u", "e",
           [](const httplib::Request &request, const std::string &url, httplib::Response &response) {
               const std::string referer = request.get_header_value("Referer");
               if (referer.ends_with("/engine/netzlotse/formular.html"))
                   sendPage(response, "Netzlotse",
                            {"<h1>Netzlotse</h1>", shownUrl(url),
                             "<p>Beim Eintragen ist ein Fehler aufgetreten (Datenbank nicht erreichbar).</p>"});
               else
                   sendPage(response, "Netzlotse",
                            {"<h1>Netzlotse</h1>",
                             "<p>Bitte melden Sie Ihre Seite über unser Formular an.</p>"});
           });

    engine("sammelgut", "add", false, "url", "email",
           [](const httplib::Request &, const std::string &, httplib::Response &response) {
               sendPage(response, "Sammelgut",
                        {"<h1>Sammelgut</h1>",
                         "<p>Wegen Wartungsarbeiten vorübergehend geschlossen. Bitte kommen Sie später wieder.</p>"});
           });

    engine("stummfisch", "melden", false, "url", nullptr,
           [](const httplib::Request &, const std::string &url, httplib::Response &response) {
               sendPage(response, "Stummfisch",
                        {"<h1>Stummfisch</h1>", shownUrl(url), "<p>Blubb.</p>",
                         "<p>Vielen Dank für Ihren Besuch.</p>"});
           });

    engine("umleiter", "add", false, "url", "email",
           [](const httplib::Request &, const std::string &, httplib::Response &response) {
               response.set_redirect("/engine/umleiter/umgezogen.html", 302);
           });
    server.Get("/engine/umleiter/umgezogen.html", [](const httplib::Request &, httplib::Response &response) {
        sendPage(response, "Umleiter", {"<h1>Umleiter ist umgezogen</h1>", "<p>Die Anmeldung gibt es hier nicht mehr.</p>"});
    });

    engine("verschollen", "add.cgi", true, "url", "email",
           [](const httplib::Request &, const std::string &, httplib::Response &response) {
               sendPage(response, "404 Not Found", {"<h1>Not Found</h1>", "<p>Die Seite wurde nicht gefunden.</p>"},
                        404);
           });

    engine("schnecke", "add", false, "url", "email",
           [this](const httplib::Request &, const std::string &url, httplib::Response &response) {
               pause(m_timing.slowAnswer);
               sendPage(response, "Schnecke",
                        {"<h1>Schnecke</h1>", shownUrl(url),
                         "<p>Die Schnecke hat Ihre Seite angenommen. Gut Ding will Weile haben.</p>"});
           });

    engine("funkstille", "add", false, "url", "email",
           [this](const httplib::Request &, const std::string &url, httplib::Response &response) {
               if (!pause(m_timing.silence)) {
                   sendPage(response, "Funkstille", {"<p>Der Server wird beendet.</p>"}, 503);
                   return;
               }
               sendPage(response, "Funkstille",
                        {"<h1>Funkstille</h1>", shownUrl(url), "<p>Funkstille hat Ihre Seite eingetragen.</p>"});
           });

    engine("webkatalog", "eintrag", true, "url", "email",
           [](const httplib::Request &, const std::string &url, httplib::Response &response) {
               if (!hasDottedHost(url))
                   sendPage(response, "Webkatalog",
                            {"<h1>Webkatalog</h1>", shownUrl(url),
                             "<p>Webkatalog: ungültige Adresse, der Rechnername enthält keinen Punkt.</p>"});
               else
                   sendPage(response, "Webkatalog",
                            {"<h1>Webkatalog</h1>", shownUrl(url),
                             "<p>Vielen Dank! Ihre Anmeldung wurde an 120 Suchdienste weitergeleitet.</p>",
                             "<p>Die Bearbeitung kann bis zu vier Wochen dauern.</p>"});
           });

    server.Get("/engine/received", [this](const httplib::Request &, httplib::Response &response) {
        response.set_content(receivedText(), "text/plain; charset=utf-8");
    });
}

} // namespace vantor::demo
