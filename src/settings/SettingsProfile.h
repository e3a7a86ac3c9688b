#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A settings file in the section/key text format Tarn32.ini uses:
//
//   [Options]
//   GCC Path=/usr/bin/gcc
//   Clear=1
//
// Section and key names are matched without regard to letter case, and the
// first match wins, as with the Windows private-profile service. The file is
// kept line by line, so writing a value changes only that key's line: other
// sections, keys, comments and unreadable lines stay as they were.
class SettingsProfile {
public:
    // Text values are read through a 500-byte buffer in the format's home
    // service; Tarn keeps the same limit so a value means the same everywhere.
    static constexpr int MaxTextLength = 499;

    SettingsProfile() = default;
    // Accepts any bytes: LF or CR LF line breaks, garbage, zero bytes.
    static SettingsProfile fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    // The raw value with surrounding blanks removed; nullopt for a missing
    // section or key.
    std::optional<QByteArray> rawValue(QByteArrayView section, QByteArrayView key) const;
    // The value as UTF-8 text, at most MaxTextLength characters.
    QString text(QByteArrayView section, QByteArrayView key, const QString& defaultValue) const;
    // The value read like the profile service's integer reader (see readProfileInteger).
    int integer(QByteArrayView section, QByteArrayView key, int defaultValue) const;

    // Replaces the value of an existing key in place, or appends the key at
    // the end of its section, or appends the section at the end of the file.
    // Line breaks inside the value are dropped: a value is one line.
    void setRawValue(QByteArrayView section, QByteArrayView key, const QByteArray& value);
    void setText(QByteArrayView section, QByteArrayView key, const QString& value);
    void setInteger(QByteArrayView section, QByteArrayView key, int value);

    bool hasSection(QByteArrayView section) const { return findSection(section).has_value(); }
    // Appends an empty section at the end of the file unless it exists.
    void ensureSection(QByteArrayView section);
    // Removes every line of a section but its header (keys, comments and
    // blank lines alike); the section keeps its place in the file.
    void clearSection(QByteArrayView section);

private:
    struct SectionSpan {
        qsizetype header = -1; // line of "[Name]"
        qsizetype end = 0;     // one past its last line
    };
    std::optional<SectionSpan> findSection(QByteArrayView section) const;
    qsizetype findKey(const SectionSpan& span, QByteArrayView key) const;

    QList<QByteArray> m_lines; // without their line breaks
    // The line break the file uses ("\n" for a new file).
    QByteArray m_lineBreak = QByteArrayLiteral("\n");
    bool m_endsWithBreak = true;
};

// The integer reader of the profile format: optional blanks, an optional
// sign, then the leading decimal digits ("1abc" gives 1, "abc" gives 0); an
// empty value gives the default. Values beyond the int range are clamped.
int readProfileInteger(QByteArrayView value, int defaultValue);

// The value of a hex digit of either case, or -1 for any other character
// (the settings file's encodings use them).
int hexDigitValue(char c);

// The structure-in-profile encoding: two upper-case hex digits per byte,
// then two more holding the sum of the bytes modulo 256.
QByteArray encodeProfileStruct(const QByteArray& bytes);
// Decodes a value encoded as above holding exactly `size` bytes; nullopt for
// another length, a character that is not a hex digit (either case is
// accepted) or a checksum that does not match.
std::optional<QByteArray> decodeProfileStruct(QByteArrayView value, qsizetype size);
