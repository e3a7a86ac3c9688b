#include "project/CProjectDoc.h"

#include "app/IdeSettings.h"
#include "framework/SafeSave.h"

#include <QFile>
#include <QFileInfo>

CProjectDoc::CProjectDoc() = default;

QByteArray CProjectDoc::emptyProjectFile(int debugInfo)
{
    // Little-endian 4-byte integers and length-prefixed strings, back to
    // back: source count, library count, ansi, preprocess only, debug info,
    // language, no asm, optimise level, other options (""), no assemble,
    // traditional, warning level, output name ("").
    QByteArray bytes;
    auto integer = [&bytes](qint32 value) {
        for (int i = 0; i < 4; ++i)
            bytes.append(char((quint32(value) >> (8 * i)) & 0xff));
    };
    for (qint32 value : {0, 0, 0, 0, debugInfo, 0, 0, 0})
        integer(value);
    bytes.append('\0');
    for (qint32 value : {0, 0, 0})
        integer(value);
    bytes.append('\0');
    return bytes;
}

bool CProjectDoc::onNewDocument()
{
    if (!fw::Document::onNewDocument())
        return false;
    m_bytes = emptyProjectFile(ideSettings().debugDefault);
    return true;
}

bool CProjectDoc::readFile(const QString& path, QString* error)
{
    if (QFileInfo(path).isDir()) {
        *error = QStringLiteral("It is a folder, not a project file.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    m_bytes = file.readAll();
    return true;
}

bool CProjectDoc::writeFile(const QString& path, QString* error)
{
    return fw::saveFileSafely(path, m_bytes, error);
}
