#include "messages/CMessageDoc.h"

#include "framework/SafeSave.h"

#include "messages/CMessageView.h"
#include "messages/MessageLog.h"


CMessageDoc::CMessageDoc(QObject* parent) : fw::Document(parent) {}

bool CMessageDoc::readFile(const QString&, QString* error)
{
    if (error)
        *error = QStringLiteral("A saved message log cannot be loaded into the message window.");
    return false;
}

bool CMessageDoc::writeFile(const QString& path, QString* error)
{
    static const MessageStore noRows;
    const auto* view = dynamic_cast<const CMessageView*>(firstView());
    const MessageStore& rows = view ? view->rows() : noRows;

    return fw::saveFileSafely(path, [&rows](QIODevice& file) { return writeMessageLog(rows, file); },
                              error);
}
