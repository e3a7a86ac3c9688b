#pragma once

#include "framework/Document.h"

// The message window's document. It holds no data of its own (the log is
// the rows of its view), is never modified and never asks to be saved; Save
// and Save As write the log as text.
class CMessageDoc : public fw::Document {
    Q_OBJECT
public:
    explicit CMessageDoc(QObject* parent = nullptr);

    bool asksToSave() const override { return false; }

protected:
    bool readFile(const QString& path, QString* error) override;
    // Writes the header and every row through a QSaveFile, so a failed save
    // leaves the old file as it was.
    bool writeFile(const QString& path, QString* error) override;
    QString defaultSuffix() const override { return {}; }
};
