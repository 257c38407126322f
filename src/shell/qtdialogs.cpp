#include "shell/qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

namespace shell {

namespace {

QMessageBox::Icon iconOf(platform::Dialogs::Icon icon) {
    switch (icon) {
        case platform::Dialogs::Icon::Information:
            return QMessageBox::Information;
        case platform::Dialogs::Icon::Question:
            return QMessageBox::Question;
        case platform::Dialogs::Icon::Warning:
            return QMessageBox::Warning;
        case platform::Dialogs::Icon::Critical:
            return QMessageBox::Critical;
        case platform::Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

platform::Dialogs::Answer QtDialogs::ask(const Message& message) {
    return ask(message, QString());
}

platform::Dialogs::Answer QtDialogs::ask(const Message& message, const QString& details) {
    QMessageBox box(iconOf(message.icon), message.title.isEmpty() ? defaultTitle_ : message.title,
                    message.text, QMessageBox::NoButton, owner_);
    // Messages name paths and texts of the base; none of them is markup.
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) box.setDetailedText(details);
    switch (message.buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    QApplication::restoreOverrideCursor();
    switch (result) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            break;
    }
    // Closing a box with Escape or its close button answers its last choice.
    if (message.buttons == Buttons::YesNo && box.clickedButton() == nullptr) return Answer::No;
    return message.buttons == Buttons::YesNoCancel || message.buttons == Buttons::OkCancel
               ? (result == QMessageBox::Ok ? Answer::Ok : Answer::Cancel)
               : Answer::Ok;
}

QString QtDialogs::qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!name.contains(QLatin1Char('('))) name += QStringLiteral(" (%1)").arg(patterns);
        out << name;
    }
    return out.isEmpty() ? filter : out.join(QLatin1String(";;"));
}

QString QtDialogs::openFileName(const QString& title, const QString& filter,
                                const QString& directory) {
    return QFileDialog::getOpenFileName(owner_, title, directory, qtFilter(filter), nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

QString QtDialogs::saveFileName(const QString& title, const QString& filter,
                                const QString& suggested) {
    QFileDialog dialog(owner_, title, QString(), qtFilter(filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("qnt"));
    if (!suggested.isEmpty() && !suggested.contains(QLatin1Char('*'))) dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::folderName(const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(
        owner_, title, start, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

bool QtDialogs::printSetup(QPrinter& printer, const QString& title) {
    QPrintDialog dialog(&printer, owner_);
    dialog.setWindowTitle(title);
    // Printing to a PDF file is offered beside the printers.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    return accepted;
}

}  // namespace shell
