#include "guimessageprinter.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconForLevel(int level)
{
    switch (level) {
    case geh::mlAssert:
    case geh::mlError:
        return QMessageBox::Critical;
    case geh::mlWarning:
        return QMessageBox::Warning;
    case geh::mlInformation:
    default:
        return QMessageBox::Information;
    }
}

} // namespace

void QGuiMessagePrinter::print(const QString& title, const QString& text, const QString& details, int level)
{
    if (isHidden(text)) {
        printHidden(title, text, details);
        return;
    }
    printToConsole(title, text, details);

    // The user must be able to press Close whatever the program was doing.
    QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    QMessageBox box;
    box.setWindowTitle(title);
    box.setIcon(iconForLevel(level));
    box.setText(text);
    box.setDetailedText(details);
    box.setStandardButtons(QMessageBox::Close);
    box.setDefaultButton(QMessageBox::Close);
    box.setEscapeButton(QMessageBox::Close);
    box.exec();
    QApplication::restoreOverrideCursor();
}
