#include "filedialogs.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

namespace {

// The size that shows the name, size, type and date columns side by side in
// the system font, with the places list beside them.
constexpr int kRoomyWidth = 960;
constexpr int kRoomyHeight = 560;
// Share of the screen left free around the dialog.
constexpr double kScreenShare = 0.9;

} // namespace

void fitFileDialog(QFileDialog& dialog)
{
    QSize size(kRoomyWidth, kRoomyHeight);
    const QWidget* anchor = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    const QScreen* screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QSize available = screen->availableGeometry().size() * kScreenShare;
        size = size.boundedTo(available);
    }
    dialog.resize(size.expandedTo(dialog.minimumSizeHint()));

    // In the detailed list the size, type and date take what their texts need
    // and the name the rest, instead of four fixed widths.
    for (QTreeView* list : dialog.findChildren<QTreeView*>()) {
        QHeaderView* header = list->header();
        if (header->count() < 2)
            continue;
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

namespace {

QString chosenFile(QFileDialog& dialog)
{
    fitFileDialog(dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace

QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& start, const QString& filter)
{
    QFileDialog dialog(parent, title, start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog);
}

QString chooseFileToSave(QWidget* parent, const QString& title, const QString& start, const QString& filter,
                         const QString& suffix)
{
    QFileDialog dialog(parent, title, start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    return chosenFile(dialog);
}
