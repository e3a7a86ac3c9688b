#pragma once

// gdb's machine-interface values written back in gdb's own notation, and
// compared, for the tests' expectations and failure messages.
#include "debugger/MiValue.h"

#include <QByteArray>

// A c-string quoted as gdb quotes it.
inline QByteArray MiQuote(QByteArrayView bytes)
{
    QByteArray out;
    MiQuoteInto(out, bytes);
    return out;
}

inline void MiNotationInto(QByteArray& out, const MiValue& value)
{
    if (value.isString()) {
        MiQuoteInto(out, value.bytes());
        return;
    }
    out += value.isTuple() ? '{' : '[';
    bool first = true;
    for (const MiResult& item : value.items()) {
        if (!first)
            out += ',';
        first = false;
        if (!item.name.isEmpty()) {
            out += item.name;
            out += '=';
        }
        MiNotationInto(out, item.value);
    }
    out += value.isTuple() ? '}' : ']';
}

inline QByteArray MiNotation(const MiValue& value)
{
    QByteArray out;
    MiNotationInto(out, value);
    return out;
}

// Two values are equal when they read the same in gdb's notation: the same
// kinds, names, order and bytes.
inline bool operator==(const MiValue& a, const MiValue& b)
{
    return MiNotation(a) == MiNotation(b);
}
