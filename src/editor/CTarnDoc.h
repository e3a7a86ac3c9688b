#pragma once

#include "framework/Document.h"

#include <QByteArray>

class CTarnView;

// The document of a source window. Its text lives in the view's edit
// control; the document reads and writes the file's exact bytes: no line
// break, encoding or zero byte is changed either way.
//
// A file is read before its window exists, so the bytes wait here until
// the view's initial update takes them.
class CTarnDoc : public fw::Document {
    Q_OBJECT
public:
    CTarnDoc();

    // The largest file the editor takes.
    static constexpr qint64 kMaxFileSize = qint64(1) << 30;

    // The view showing the text, if any.
    CTarnView* sourceView() const;

    // Bytes read but not yet shown; hands them over (once).
    bool hasPendingText() const { return m_hasPending; }
    QByteArray takePendingText();

protected:
    bool readFile(const QString& path, QString* error) override;
    bool writeFile(const QString& path, QString* error) override;

private:
    QByteArray m_pending;
    bool m_hasPending = false;
};
