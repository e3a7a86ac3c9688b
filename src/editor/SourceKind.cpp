#include "editor/SourceKind.h"

#include "tools/PathNames.h"

#include <QStringList>

SourceKind SourceKindOf(const QString& path)
{
    if (path.isEmpty())
        return SourceKind::C;
    const QString name = FileNameOf(path);
    if (name == QLatin1String("Makefile") || name == QLatin1String("makefile") ||
        name == QLatin1String("GNUmakefile"))
        return SourceKind::Makefile;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return SourceKind::Text;
    const QString extension = name.mid(dot + 1).toLower();
    static const QStringList cExtensions = {QStringLiteral("c"),   QStringLiteral("h"),
                                            QStringLiteral("cpp"), QStringLiteral("cc"),
                                            QStringLiteral("cxx"), QStringLiteral("hpp"),
                                            QStringLiteral("hh"),  QStringLiteral("hxx"),
                                            QStringLiteral("inl")};
    if (cExtensions.contains(extension))
        return SourceKind::C;
    if (extension == QLatin1String("mk"))
        return SourceKind::Makefile;
    return SourceKind::Text;
}
