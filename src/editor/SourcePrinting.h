#pragma once

class QWidget;
class QsciScintilla;
class QsciPrinter;

// Printing of source windows through one program-wide printer whose page
// has half-inch margins on every side.
QsciPrinter& sourcePrinter();

// Prints the whole text on the given printer (no dialog).
void printSourceTo(QsciScintilla* editor, QsciPrinter& printer);

// The Print, Print Preview and Print Setup commands (with their dialogs).
void printSource(QsciScintilla* editor);
void previewSource(QsciScintilla* editor);
void setUpPrinter(QWidget* parent);
