#include "documents/documentengine.h"
#include "shell/programoptions.h"
#include "shell/startup.h"

#include <QApplication>
#include <QLoggingCategory>
#include <cstdio>

int main(int argc, char** argv) {
    QStringList words;
    for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
    if (shell::ProgramOptions::parse(words).help) {
        std::fputs(shell::ProgramOptions::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    // Without a display Qt would abort; say what is wrong instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs(
            "vireka: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
            "unset); run it in a desktop session, or under xvfb-run.\n",
            stderr);
        return 1;
    }
    // The browser engine reads its sandbox setting once, when it starts.
    const QString sandboxNote = documents::prepareDocumentEngine(words);
    if (!sandboxNote.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(sandboxNote));
    // The browser engine describes the graphics stack on every start; users have no use for
    // it (QT_LOGGING_RULES still brings it back).
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    // The document view's browser shares its drawing contexts with the window's.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vireka"));
    QApplication::setApplicationName(QStringLiteral("Vireka"));
    return shell::runProgram(QApplication::arguments());
}
