#pragma once

#include <QWidget>

namespace vantor::gui {

// The borderless picture that stands while the program starts.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
};

} // namespace vantor::gui
