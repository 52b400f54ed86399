#pragma once

#include <QString>

class QFileDialog;
class QWidget;

// Gives a document file dialog room for its columns: the toolkit's own dialog
// opens at its minimum size, where the size and date columns of the file list
// are cut ("324…tes"). The dialog takes a good part of the screen it opens on,
// never more than the screen, never less than its own minimum.
void fitFileDialog(QFileDialog& dialog);

// The file the user chooses to open in a fitted dialog over the parent,
// starting at `start`; empty when the user cancels.
QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& start, const QString& filter);
// The file the user names to save into, starting at `start`; the dialog adds
// the suffix to a name typed without one. Empty when the user cancels.
QString chooseFileToSave(QWidget* parent, const QString& title, const QString& start, const QString& filter,
                         const QString& suffix);
