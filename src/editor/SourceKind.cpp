#include "editor/SourceKind.h"

#include "tools/PathNames.h"

#include <QStringList>

#include <string>

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

SourceLanguage SourceLanguageOf(const QString& path)
{
    const QString name = FileNameOf(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (path.isEmpty() || dot <= 0)
        return SourceLanguage::CAndCpp;
    const QString extension = name.mid(dot + 1);
    // gcc's rule: ".C" and ".H" in capitals are C++.
    if (extension == QLatin1String("c"))
        return SourceLanguage::C;
    if (extension == QLatin1String("C") || extension == QLatin1String("H"))
        return SourceLanguage::Cpp;
    static const QStringList cppExtensions = {QStringLiteral("cpp"), QStringLiteral("cc"),  QStringLiteral("cxx"),
                                              QStringLiteral("hpp"), QStringLiteral("hh"),  QStringLiteral("hxx"),
                                              QStringLiteral("inl"), QStringLiteral("c++"), QStringLiteral("h++")};
    if (cppExtensions.contains(extension.toLower()))
        return SourceLanguage::Cpp;
    return SourceLanguage::CAndCpp;
}

namespace {

// Both languages' words.
#define TARN_COMMON_KEYWORDS                                                                                          \
    "alignas alignof auto bool break case char const constexpr continue default do double else enum extern false "   \
    "float for goto if inline int long nullptr register return short signed sizeof static static_assert struct "    \
    "switch thread_local true typedef union unsigned void volatile while "

constexpr const char* kCOnly = "restrict typeof typeof_unqual _Alignas _Alignof _Atomic _BitInt _Bool _Complex "
                               "_Decimal128 _Decimal32 _Decimal64 _Generic _Imaginary _Noreturn _Static_assert "
                               "_Thread_local";
constexpr const char* kCppOnly =
    "and and_eq asm bitand bitor catch char16_t char32_t char8_t class co_await co_return co_yield compl concept "
    "const_cast consteval constinit decltype delete dynamic_cast explicit export friend mutable namespace new "
    "noexcept not not_eq operator or or_eq private protected public reinterpret_cast requires static_cast "
    "template this throw try typeid typename using virtual wchar_t xor xor_eq";

} // namespace

const char* SourceKeywordsOf(SourceLanguage language)
{
    static const std::string c = std::string(TARN_COMMON_KEYWORDS) + kCOnly;
    static const std::string cpp = std::string(TARN_COMMON_KEYWORDS) + kCppOnly;
    static const std::string both = std::string(TARN_COMMON_KEYWORDS) + kCOnly + " " + kCppOnly;
    switch (language) {
    case SourceLanguage::C: return c.c_str();
    case SourceLanguage::Cpp: return cpp.c_str();
    case SourceLanguage::CAndCpp: break;
    }
    return both.c_str();
}
