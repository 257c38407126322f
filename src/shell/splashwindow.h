#pragma once

#include "platform/settings.h"
#include "platform/stringtable.h"

#include <QDialog>
#include <QImage>
#include <QPointer>

class QLabel;

namespace shell {

// The small window shown while the program starts and again as the About box: our own
// background and, in the picture box picLogo, the knowledge base's palette picture, from
// which start-up reads the drawing colours.
class frmSplash : public QDialog {
    Q_OBJECT

public:
    // Translates the window and loads "couleur.wmf" from the "Logiciel"/"Data" folder into
    // picLogo. A parent makes it the About box of that window.
    frmSplash(const platform::Settings& settings, const platform::StringTable& strings,
              QWidget* parent = nullptr);

    // A click closes the window only while this window is visible; during start-up the main
    // window is still hidden, so the splash cannot be clicked away. The parent by default.
    void setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

    // picLogo exactly as displayed, at its inside size; null when the palette picture could
    // not be loaded (paletteError() says why) and the box shows nothing.
    QImage paletteImage() const { return palette_; }
    bool hasPalette() const { return !palette_.isNull(); }
    QString paletteError() const { return paletteError_; }

    // Program entry: centred on the screen, shown without waiting and painted at once.
    void showSplash();
    // Help, About: a new window over the main window, modal until clicked.
    static void showAbout(QWidget* mainWindow, const platform::Settings& settings,
                          const platform::StringTable& strings);

    // Top-left corner that centres a window on a screen: each difference halved, the
    // remainder dropped.
    static QPoint centredPosition(const QRect& screen, QSize window);
    void centreOnScreen();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void loadPalette(const platform::Settings& settings);

    QLabel* picLogo_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QImage palette_;
    QString paletteError_;
    QPointer<QWidget> mainWindow_;
};

}  // namespace shell
