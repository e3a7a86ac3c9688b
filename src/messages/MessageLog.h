#pragma once

#include <QByteArray>
#include <QString>

class MessageStore;
class QIODevice;

// The version banner shown at start-up and by Copyright and Version.
QString messageBanner();

// The saved log: the header "Saved messages from Tarn version 3.4" and an
// empty line, then every row's text, each line ended by CR LF. Separator and
// empty rows give empty lines; icons are not saved. Texts are written as
// UTF-8.
QByteArray messageLogHeader();
// Writes the log to an open device; false when a write fails.
bool writeMessageLog(const MessageStore& rows, QIODevice& device);
