#pragma once

class QFileDialog;

// Gives a document file dialog room for its columns: the toolkit's own dialog
// opens at its minimum size, where the size and date columns of the file list
// are cut ("324…tes"). The dialog takes a good part of the screen it opens on,
// never more than the screen, never less than its own minimum.
void fitFileDialog(QFileDialog& dialog);
