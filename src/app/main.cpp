#include "shell/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vireka"));
    QApplication::setApplicationName(QStringLiteral("Vireka"));
    return shell::runProgram(QApplication::arguments());
}
