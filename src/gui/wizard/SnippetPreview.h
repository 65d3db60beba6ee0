#pragma once

#include <QWidget>

#include <array>
#include <string>

class QFont;
class QLabel;

namespace vantor::gui {

// The homepage's entry as a result list would show it, on a desktop and on a
// phone: title, address and description cut where the list cuts them, and
// under each how many pixels and characters they take of their room. The
// pixels come from the engine, so the page and "vantor-cli preview" always
// agree; the texts are drawn in the font those widths belong to.
class SnippetPreview : public QWidget
{
    Q_OBJECT
public:
    explicit SnippetPreview(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setDescription(const QString &description);
    void setAddress(const QString &address);

    // Liberation Sans (Arial's metric twin) at a pixel size, unkerned and
    // unhinted as the engine measures it; loaded from its file when the
    // system does not offer it.
    static QFont listFont(int pixelSize);

    // The address line of the homepage: the submission URL and the file, or
    // the file alone when there is no URL.
    static QString homepageAddress(const QString &submitUrl, const QString &fileName);

private:
    struct View {
        double titleLimit = 0;
        double descriptionLimit = 0;
        QLabel *title = nullptr;
        QLabel *address = nullptr;
        QLabel *description = nullptr;
        QLabel *titleCount = nullptr;
        QLabel *descriptionCount = nullptr;
    };

    QWidget *makeView(
        View &view, const QString &name, const QString &caption, int width, int titleLines, int descriptionLines);
    void showTitle();
    void showDescription();
    void showAddress();

    // cp1252, blanks and line breaks collapsed as the browser does.
    std::string m_title;
    std::string m_description;
    QString m_address;
    std::array<View, 2> m_views;
};

} // namespace vantor::gui
