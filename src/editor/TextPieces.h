#pragma once

#include <QByteArrayView>

// A text held in two pieces, the first followed by the second: the edit
// control's text on either side of its gap, read where it lies.
struct TextPieces {
    QByteArrayView first;
    QByteArrayView second;

    qsizetype size() const { return first.size() + second.size(); }
    char at(qsizetype i) const { return i < first.size() ? first.at(i) : second.at(i - first.size()); }
    // The bytes [from, to) of the text, clipped to it, as two pieces.
    TextPieces range(qsizetype from, qsizetype to) const;
};
