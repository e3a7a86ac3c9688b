#include "editor/SourcePrinting.h"

#include <Qsci/qsciprinter.h>
#include <Qsci/qsciscintilla.h>

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

QsciPrinter& sourcePrinter()
{
    static QsciPrinter* printer = [] {
        auto* p = new QsciPrinter;
        p->setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
        return p;
    }();
    return *printer;
}

void printSourceTo(QsciScintilla* editor, QsciPrinter& printer)
{
    printer.printRange(editor);
}

void printSource(QsciScintilla* editor)
{
    QsciPrinter& printer = sourcePrinter();
    QPrintDialog dialog(&printer, editor);
    if (dialog.exec() == QDialog::Accepted)
        printSourceTo(editor, printer);
}

void previewSource(QsciScintilla* editor)
{
    QsciPrinter& printer = sourcePrinter();
    QPrintPreviewDialog dialog(&printer, editor);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, editor,
                     [editor, &printer](QPrinter*) { printSourceTo(editor, printer); });
    dialog.exec();
}

void setUpPrinter(QWidget* parent)
{
    QPageSetupDialog dialog(&sourcePrinter(), parent);
    dialog.exec();
}
