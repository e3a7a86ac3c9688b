#include "messages/MessageLog.h"

#include "messages/MessageStore.h"

#include <QIODevice>

QString messageBanner()
{
    return QStringLiteral("Tarn version 3.4 - Copyright (C) 2026 the Tarn developers; "
                          "free software under the GNU GPL v3 or later");
}

QByteArray messageLogHeader()
{
    return QByteArrayLiteral("Saved messages from Tarn version 3.4\r\n\r\n");
}

bool writeMessageLog(const MessageStore& rows, QIODevice& device)
{
    static const QByteArray lineEnd = QByteArrayLiteral("\r\n");
    if (device.write(messageLogHeader()) < 0)
        return false;
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const QByteArrayView text = rows.utf8(row);
        if (device.write(text.data(), text.size()) != text.size() || device.write(lineEnd) != 2)
            return false;
    }
    return true;
}
