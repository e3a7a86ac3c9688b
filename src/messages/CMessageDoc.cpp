#include "messages/CMessageDoc.h"

#include "messages/CMessageView.h"
#include "messages/MessageLog.h"

#include <QSaveFile>

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

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !writeMessageLog(rows, file) || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
