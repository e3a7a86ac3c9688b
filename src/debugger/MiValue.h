#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

struct MiResult;

// One value of gdb's machine interface output: a c-string (kept as the
// bytes it stands for, escapes undone, so a byte that is not UTF-8 stays that
// byte), a tuple "{name=value,...}" or a list "[value,...]" or
// "[name=value,...]".
//
// The items of a tuple and of a list of results carry their names; the items
// of a list of values have empty names. Names may repeat (gdb writes
// "stack=[frame={...},frame={...}]"), and the order is kept.
class MiValue {
public:
    enum class Kind { String, Tuple, List };

    MiValue() = default;
    static MiValue string(QByteArray bytes);
    static MiValue tuple();
    static MiValue list();

    Kind kind() const { return m_kind; }
    bool isString() const { return m_kind == Kind::String; }
    bool isTuple() const { return m_kind == Kind::Tuple; }
    bool isList() const { return m_kind == Kind::List; }

    // The bytes of a c-string (empty for a tuple or list).
    const QByteArray& bytes() const { return m_bytes; }
    // The bytes decoded as UTF-8 (invalid bytes become U+FFFD), for showing.
    QString text() const { return QString::fromUtf8(m_bytes); }
    // The c-string as a decimal number, if it is one ("12", "-3").
    std::optional<qint64> number() const;

    // The items of a tuple or list, in order.
    const std::vector<MiResult>& items() const { return m_items; }
    qsizetype size() const { return qsizetype(m_items.size()); }
    const MiValue& at(qsizetype index) const;
    // The first item named name, or nullptr.
    const MiValue* find(QByteArrayView name) const;
    // The first item named name, or an empty string value: lets a reader
    // walk a path ("frame", "line") without a check at each step.
    const MiValue& operator[](QByteArrayView name) const;

    void append(QByteArray name, MiValue value);
    void setItems(std::vector<MiResult> items);

private:
    Kind m_kind = Kind::String;
    QByteArray m_bytes;
    std::vector<MiResult> m_items;
};

// "name=value", or a bare value inside a list of values (empty name).
struct MiResult {
    QByteArray name;
    MiValue value;
};

// A c-string as gdb reads and writes it: in double quotes, with \" \\ \n
// \t \r escaped and every other byte below 0x20 or above 0x7e as octal
// \ooo, the way gdb 13 writes them (so a file name that is not UTF-8 keeps
// its bytes both ways and the text stays ASCII), appended to out.
void MiQuoteInto(QByteArray& out, QByteArrayView bytes);
