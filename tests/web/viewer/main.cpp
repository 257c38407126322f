// Opens a page of an exported site in a browser window of a given size, for looking at the
// player under a virtual display: web_viewer URL WIDTH HEIGHT [SCRIPT]. The optional script
// runs once the player is ready (to open a question, pick a species...).
#include <QApplication>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 4) {
        qWarning("usage: web_viewer URL WIDTH HEIGHT [SCRIPT]");
        return 2;
    }
    QWebEngineView view;
    view.setWindowFlag(Qt::FramelessWindowHint);
    view.resize(QString::fromLocal8Bit(argv[2]).toInt(), QString::fromLocal8Bit(argv[3]).toInt());
    view.move(0, 0);
    const QString script = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();
    QObject::connect(&view, &QWebEngineView::loadFinished, &view, [&](bool) {
        if (script.isEmpty()) return;
        QTimer::singleShot(700, &view, [&] { view.page()->runJavaScript(script); });
    });
    view.load(QUrl(QString::fromLocal8Bit(argv[1])));
    view.show();
    return app.exec();
}
