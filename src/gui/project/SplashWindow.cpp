#include "project/SplashWindow.h"

#include "project/ProgramSettings.h"
#include "ui/DialogHooks.h"
#include "ui/QtText.h"
#include "ui/WindowStack.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace vantor::gui {

SplashWindow::SplashWindow(QWidget *parent)
    // Not on top of everything: a message of the start-up has to show over it.
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("splashWindow"));
    WindowStack::addPassive(this);
    setFixedSize(460, 260);
    setCursor(Qt::WaitCursor);
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, width(), height());
    sky.setColorAt(0.0, QColor(0x0B, 0x2A, 0x5B));
    sky.setColorAt(0.6, QColor(0x1F, 0x6F, 0xB5));
    sky.setColorAt(1.0, QColor(0x9B, 0xD1, 0xF2));
    painter.fillRect(rect(), sky);

    // A rising line of search results: what the program is for.
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        const int barHeight = 12 + i * 10;
        painter.setBrush(QColor(255, 255, 255, 40 + i * 14));
        painter.drawRoundedRect(QRectF(width() - 170 + i * 26, height() - 22 - barHeight, 16, barHeight), 3, 3);
    }

    QFont name = font();
    name.setBold(true);
    name.setPixelSize(64);
    painter.setFont(name);
    painter.setPen(QColor(0, 0, 0, 90));
    painter.drawText(QRect(32, 62, width(), 90), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vantor!!"));
    painter.setPen(Qt::white);
    painter.drawText(QRect(28, 58, width(), 90), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vantor!!"));

    QFont small = font();
    small.setPixelSize(15);
    painter.setFont(small);
    painter.drawText(QRect(32, 146, width() - 40, 24), Qt::AlignLeft,
                     QStringLiteral("Suchmaschinen-Optimierung für Ihre Web-Site"));
    painter.setPen(QColor(255, 255, 255, 200));
    painter.drawText(QRect(32, height() - 34, width() - 40, 22), Qt::AlignLeft,
                     fromCp1252(kVersionText).trimmed());

    painter.setPen(QColor(255, 255, 255, 120));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SplashWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    DialogHooks::instance().notifyShown(this, DialogHooks::Window::Passive);
}

} // namespace vantor::gui
