// iconrender: draws the scalable application icon at the fixed sizes desktops look for.
// Used by the build only; the drawing is Qt's own SVG renderer, so no other tool is needed.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char** argv) {
    // The build machine may have no display; pictures need none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        err << "usage: iconrender ICON.svg SIZE OUT.png\n";
        return 2;
    }
    QSvgRenderer svg(args[1]);
    bool ok = false;
    const int size = args[2].toInt(&ok);
    if (!svg.isValid() || !ok || size < 1 || size > 1024) {
        err << "iconrender: cannot draw " << args[1] << " at " << args[2] << "\n";
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    if (!image.save(args[3])) {
        err << "iconrender: cannot write " << args[3] << "\n";
        return 1;
    }
    return 0;
}
