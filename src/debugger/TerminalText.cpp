#include "debugger/TerminalText.h"

#include <algorithm>
#include <array>

namespace {

constexpr char kEsc = '\x1b';

// Bytes a terminal shows: everything but the C0 controls and DEL (bytes of
// 0x80 and above are parts of UTF-8 characters).
inline bool isText(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x20 && u != 0x7f;
}

// The length of the UTF-8 character a lead byte starts; 0 for a byte that
// starts none.
inline int utf8Length(unsigned char lead)
{
    if (lead >= 0xc2 && lead <= 0xdf)
        return 2;
    if (lead >= 0xe0 && lead <= 0xef)
        return 3;
    if (lead >= 0xf0 && lead <= 0xf4)
        return 4;
    return 0;
}

// A parameter of a CSI sequence ("" is 0), kept to a sane size.
int number(QByteArrayView param)
{
    int value = 0;
    for (char c : param) {
        if (c < '0' || c > '9')
            break;
        value = std::min(value * 10 + (c - '0'), 99999);
    }
    return value;
}

} // namespace

// The fields of a CSI sequence's parameters, without allocating; fields
// past the 16th are not read (no sequence Tarn applies has so many).
struct CsiFields {
    std::array<QByteArrayView, 16> at;
    qsizetype size = 0;
};

namespace {

CsiFields split(QByteArrayView bytes, char separator)
{
    CsiFields fields;
    const char* start = bytes.data();
    const char* const end = start + bytes.size();
    for (const char* p = start;; ++p) {
        if (p == end || *p == separator) {
            fields.at[size_t(fields.size++)] = QByteArrayView(start, p - start);
            if (p == end || fields.size == qsizetype(fields.at.size()))
                break;
            start = p + 1;
        }
    }
    return fields;
}

constexpr quint32 kBasicColours[16] = {
    0x000000, 0xaa0000, 0x00aa00, 0xaa5500, 0x0000aa, 0xaa00aa, 0x00aaaa, 0xaaaaaa,
    0x555555, 0xff5555, 0x55ff55, 0xffff55, 0x5555ff, 0xff55ff, 0x55ffff, 0xffffff,
};

quint32 rgb(int r, int g, int b)
{
    return quint32(std::clamp(r, 0, 255)) << 16 | quint32(std::clamp(g, 0, 255)) << 8 |
           quint32(std::clamp(b, 0, 255));
}

} // namespace

quint32 TerminalPaletteColour(int index)
{
    if (index < 0 || index > 255)
        return kTerminalDefaultColour;
    if (index < 16)
        return kBasicColours[index];
    if (index < 232) {
        static constexpr int levels[6] = {0, 95, 135, 175, 215, 255};
        const int i = index - 16;
        return rgb(levels[i / 36], levels[i / 6 % 6], levels[i % 6]);
    }
    const int grey = 8 + 10 * (index - 232);
    return rgb(grey, grey, grey);
}

TerminalText::TerminalText(qsizetype keptLines) : m_keptLines(std::max<qsizetype>(keptLines, 1))
{
    m_lineStyles.append(TerminalStyle());
}

void TerminalText::reset()
{
    *this = TerminalText(m_keptLines);
}

void TerminalText::feed(QByteArrayView bytes)
{
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    // A character begun in the last piece takes its continuation bytes.
    while (!m_carry.isEmpty() && p < end) {
        const auto c = static_cast<unsigned char>(*p);
        if ((c & 0xc0) != 0x80) {
            flushCarry();
            break;
        }
        m_carry.append(char(c));
        ++p;
        if (m_carry.size() == utf8Length(static_cast<unsigned char>(m_carry.at(0))))
            flushCarry();
    }
    while (p < end) {
        if (m_state == State::Ground) {
            const char* q = p;
            unsigned char seen = 0;
            while (q < end && isText(*q))
                seen |= static_cast<unsigned char>(*q++);
            if (q > p) {
                if (seen < 0x80)
                    ascii(p, q);
                else
                    text(p, q, q == end);
                p = q;
                continue;
            }
            control(*p++);
        } else if (m_state == State::Csi) {
            // The parameters, without a call a byte.
            for (; p < end && *p >= 0x30 && *p <= 0x3f; ++p) {
                if (m_paramLength < kMaxParams)
                    m_params[m_paramLength++] = *p;
                else
                    m_paramsOverflow = true;
            }
            if (p < end)
                step(*p++);
        } else if (m_state == State::String) {
            while (p < end && *p != '\a' && *p != kEsc && *p != '\x18' && *p != '\x1a')
                ++p;
            if (p < end)
                step(*p++);
        } else {
            step(*p++);
        }
    }
}

// A run of text bytes; a character cut at the end of the piece waits for
// the next one.
void TerminalText::text(const char* from, const char* to, bool atEnd)
{
    if (atEnd) {
        for (int back = 1; back <= 3 && to - back >= from; ++back) {
            const auto c = static_cast<unsigned char>(to[-back]);
            if ((c & 0xc0) == 0x80)
                continue;
            if (utf8Length(c) > back) {
                m_carry = QByteArray(to - back, back);
                to -= back;
            }
            break;
        }
    }
    if (to == from)
        return;
    if (m_column >= kMaxLineLength) {
        // Past the cut: nothing of it is shown, so nothing is decoded.
        m_cut = true;
        m_openChanged = true;
        return;
    }
    // At most kMaxLineLength characters fit: never more bytes are decoded.
    const qsizetype room = kMaxLineLength - m_column;
    const qsizetype take = std::min<qsizetype>(to - from, room * 4);
    put(QString::fromUtf8(from, take));
    if (take < to - from)
        m_cut = true;
}

// A run of ASCII: appended as it is when the cursor is at the end of a
// line in the default style (a flood's every line).
void TerminalText::ascii(const char* from, const char* to)
{
    const qsizetype n = to - from;
    if (m_column == m_text.size() && m_styleIds.empty() && m_style.isDefault() &&
        m_column + n <= kMaxLineLength) {
        m_text.append(QLatin1StringView(from, n));
        m_column += n;
        m_openChanged = true;
        return;
    }
    if (m_column >= kMaxLineLength) {
        m_cut = true;
        m_openChanged = true;
        return;
    }
    const qsizetype take = std::min<qsizetype>(n, kMaxLineLength - m_column + 1);
    put(QString::fromLatin1(from, take));
    if (take < n)
        m_cut = true;
}

void TerminalText::flushCarry()
{
    const QByteArray bytes = std::exchange(m_carry, QByteArray());
    if (m_column < kMaxLineLength)
        put(QString::fromUtf8(bytes));
    else
        m_cut = true;
}

quint16 TerminalText::styleId()
{
    if (m_styleIdOnLine >= 0)
        return quint16(m_styleIdOnLine);
    if (m_style.isDefault())
        return quint16(m_styleIdOnLine = 0);
    // A program may change the colour at every character: the styles of a
    // line are found by hashing, not by a search.
    auto found = m_styleIndex.find(m_style);
    if (found == m_styleIndex.end()) {
        if (m_lineStyles.size() >= 0xffff)
            return 0;
        m_lineStyles.append(m_style);
        found = m_styleIndex.emplace(m_style, quint16(m_lineStyles.size() - 1)).first;
    }
    m_styleIdOnLine = found->second;
    return found->second;
}

void TerminalText::put(QStringView chars)
{
    if (chars.isEmpty())
        return;
    m_openChanged = true;
    if (m_column >= kMaxLineLength) {
        m_cut = true;
        return;
    }
    if (chars.size() > kMaxLineLength - m_column) {
        chars = chars.first(kMaxLineLength - m_column);
        m_cut = true;
    }
    const quint16 id = styleId();
    const bool styled = id != 0 || !m_styleIds.empty();
    if (m_column > m_text.size()) {
        // The cursor was moved past the end (a tab, ESC[C): blanks between.
        if (styled)
            m_styleIds.resize(size_t(m_column), 0);
        m_text.append(QString(m_column - m_text.size(), QLatin1Char(' ')));
    }
    const qsizetype over = std::min(chars.size(), m_text.size() - m_column);
    if (over > 0)
        std::copy(chars.begin(), chars.begin() + over, m_text.begin() + m_column);
    if (over < chars.size())
        m_text.append(chars.sliced(over));
    if (styled) {
        if (m_styleIds.size() < size_t(m_text.size()))
            m_styleIds.resize(size_t(m_text.size()), 0);
        std::fill(m_styleIds.begin() + m_column, m_styleIds.begin() + m_column + chars.size(), id);
    }
    m_column += chars.size();
}

void TerminalText::setColumn(qsizetype column)
{
    m_column = std::clamp<qsizetype>(column, 0, kMaxLineLength);
}

void TerminalText::control(char c)
{
    switch (c) {
    case kEsc:
        m_state = State::Escape;
        break;
    case '\n':
    case '\v':
    case '\f':
        finishLine();
        break;
    case '\r':
        m_column = 0;
        break;
    case '\b':
        if (m_column > 0)
            --m_column;
        break;
    case '\t':
        setColumn((m_column / 8 + 1) * 8);
        break;
    case '\a':
        ++m_bells;
        break;
    default:
        break; // NUL, SO, SI and the rest are not shown
    }
}

// One byte inside an escape sequence.
void TerminalText::step(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (m_state == State::String) {
        if (c == '\a' || c == '\x18' || c == '\x1a')
            m_state = State::Ground;
        else if (c == kEsc)
            m_state = State::StringEscape;
        return;
    }
    if (m_state == State::StringEscape) {
        // ESC \ ends the string; any other ESC starts a new sequence.
        m_state = State::Escape;
        if (c == '\\') {
            m_state = State::Ground;
            return;
        }
    }
    if (c == '\x18' || c == '\x1a') { // CAN, SUB: the sequence is abandoned
        m_state = State::Ground;
        return;
    }
    if (c == kEsc) {
        m_state = State::Escape;
        return;
    }
    if (u < 0x20) {
        control(c); // a control inside a sequence still acts
        return;
    }
    if (u >= 0x7f) {
        m_state = State::Ground;
        return;
    }
    switch (m_state) {
    case State::Escape:
        if (c == '[') {
            m_state = State::Csi;
            m_paramLength = 0;
            m_paramsOverflow = false;
            m_intermediate = false;
        } else if (c == ']' || c == 'P' || c == 'X' || c == '^' || c == '_') {
            m_state = State::String; // OSC, DCS, SOS, PM, APC
        } else if (u < 0x30) {
            m_state = State::EscapeIntermediate; // ESC ( B and the like
        } else {
            m_state = State::Ground; // ESC 7, ESC =, ESC M ...
        }
        break;
    case State::EscapeIntermediate:
        if (u >= 0x30)
            m_state = State::Ground;
        break;
    case State::Csi:
        if (u >= 0x40) {
            m_state = State::Ground;
            if (!m_paramsOverflow && !m_intermediate)
                dispatchCsi(c);
        } else if (u >= 0x30) {
            if (m_paramLength < kMaxParams)
                m_params[m_paramLength++] = c;
            else
                m_paramsOverflow = true;
        } else {
            m_intermediate = true;
        }
        break;
    default:
        break;
    }
}

void TerminalText::dispatchCsi(char final)
{
    const QByteArrayView params(m_params, m_paramLength);
    const bool isPrivate = !params.isEmpty() && (params.front() == '?' || params.front() == '<' ||
                                                 params.front() == '=' || params.front() == '>');
    if (isPrivate) {
        if (params.front() == '?' && final == 'h') {
            const CsiFields modes = split(params.sliced(1), ';');
            for (qsizetype i = 0; i < modes.size; ++i) {
                const int n = number(modes.at[size_t(i)]);
                if (n == 1049 || n == 47 || n == 1047)
                    m_fullScreen = true;
            }
        }
        return;
    }
    const CsiFields list = split(params, ';');
    const int first = number(list.at[0]);
    switch (final) {
    case 'm':
        selectGraphics(list);
        break;
    case 'K':
        eraseInLine(first);
        break;
    case 'C':
        setColumn(m_column + std::max(first, 1));
        break;
    case 'D':
        setColumn(m_column - std::max(first, 1));
        break;
    case 'G':
    case '`':
        setColumn(std::max(first, 1) - 1);
        break;
    case 'H':
    case 'f':
        m_cursorAddressed = true;
        setColumn(list.size > 1 ? std::max(number(list.at[1]), 1) - 1 : 0);
        if (m_screenCleared)
            m_fullScreen = true;
        break;
    case 'J':
        if (first == 2 || first == 3) {
            m_screenCleared = true;
            if (m_cursorAddressed)
                m_fullScreen = true;
        }
        break;
    default:
        break; // moves between lines, scrolling, modes: not for a pane of lines
    }
}

void TerminalText::selectGraphics(const CsiFields& fields)
{
    const TerminalStyle before = m_style;
    const qsizetype count = fields.size;
    auto param = [&](qsizetype i) { return fields.at[size_t(i)]; };
    // The extended colours: "38;5;n", "38;2;r;g;b", or with colons
    // ("38:5:n", "38:2::r:g:b", "38:2:r:g:b").
    auto extended = [&](qsizetype& i) -> quint32 {
        const CsiFields sub = split(param(i), ':');
        auto subNumber = [&](qsizetype k) { return number(sub.at[size_t(k)]); };
        if (sub.size > 1) {
            const int kind = subNumber(1);
            if (kind == 5 && sub.size > 2)
                return TerminalPaletteColour(subNumber(2));
            if (kind == 2 && sub.size >= 5) {
                const qsizetype r = sub.size >= 6 ? 3 : 2;
                return rgb(subNumber(r), subNumber(r + 1), subNumber(r + 2));
            }
            return kTerminalDefaultColour;
        }
        if (i + 1 >= count)
            return kTerminalDefaultColour;
        const int kind = number(param(i + 1));
        if (kind == 5 && i + 2 < count) {
            i += 2;
            return TerminalPaletteColour(number(param(i)));
        }
        if (kind == 2 && i + 4 < count) {
            i += 4;
            return rgb(number(param(i - 2)), number(param(i - 1)), number(param(i)));
        }
        i = count;
        return kTerminalDefaultColour;
    };
    for (qsizetype i = 0; i < count; ++i) {
        const int n = number(param(i));
        if (n == 0)
            m_style = TerminalStyle();
        else if (n == 1)
            m_style.bold = true;
        else if (n == 3)
            m_style.italic = true;
        else if (n == 4)
            m_style.underline = true;
        else if (n == 7)
            m_style.inverse = true;
        else if (n == 22)
            m_style.bold = false;
        else if (n == 23)
            m_style.italic = false;
        else if (n == 24)
            m_style.underline = false;
        else if (n == 27)
            m_style.inverse = false;
        else if (n >= 30 && n <= 37)
            m_style.foreground = TerminalPaletteColour(n - 30);
        else if (n == 38)
            m_style.foreground = extended(i);
        else if (n == 39)
            m_style.foreground = kTerminalDefaultColour;
        else if (n >= 40 && n <= 47)
            m_style.background = TerminalPaletteColour(n - 40);
        else if (n == 48)
            m_style.background = extended(i);
        else if (n == 49)
            m_style.background = kTerminalDefaultColour;
        else if (n >= 90 && n <= 97)
            m_style.foreground = TerminalPaletteColour(n - 90 + 8);
        else if (n >= 100 && n <= 107)
            m_style.background = TerminalPaletteColour(n - 100 + 8);
    }
    if (!(m_style == before))
        m_styleIdOnLine = -1;
}

void TerminalText::eraseInLine(int mode)
{
    m_openChanged = true;
    if (mode == 0) {
        if (m_column < m_text.size()) {
            m_text.truncate(m_column);
            if (!m_styleIds.empty())
                m_styleIds.resize(size_t(m_column));
        }
        m_cut = false;
    } else if (mode == 1) {
        const qsizetype n = std::min(m_column + 1, m_text.size());
        std::fill(m_text.begin(), m_text.begin() + n, QLatin1Char(' '));
        if (!m_styleIds.empty())
            std::fill(m_styleIds.begin(), m_styleIds.begin() + n, quint16(0));
    } else if (mode == 2) {
        m_text.resize(0);
        m_styleIds.clear();
        m_cut = false;
    }
}

TerminalLine TerminalText::openLine() const
{
    TerminalLine line;
    // A copy of its own: the open line's buffer is used again.
    line.text = QString(m_text.constData(), m_text.size());
    if (!m_styleIds.empty()) {
        qsizetype start = 0;
        for (qsizetype i = 1; i <= m_text.size(); ++i) {
            if (i < m_text.size() && m_styleIds[size_t(i)] == m_styleIds[size_t(start)])
                continue;
            const TerminalStyle& style = m_lineStyles.at(m_styleIds[size_t(start)]);
            if (!style.isDefault())
                line.runs.append({start, i - start, style});
            start = i;
        }
    }
    if (m_cut)
        line.text += QLatin1String(kCutNote);
    return line;
}

void TerminalText::finishLine()
{
    m_finished.push_back(openLine());
    if (qsizetype(m_finished.size()) > m_keptLines) {
        m_finished.pop_front();
        ++m_dropped;
    }
    m_text.resize(0);
    m_styleIds.clear();
    if (m_lineStyles.size() > 1) {
        m_lineStyles.resize(1);
        m_styleIndex.clear();
    }
    m_styleIdOnLine = -1;
    m_column = 0;
    m_cut = false;
    m_openChanged = true;
}

std::vector<TerminalLine> TerminalText::takeFinished(qsizetype most)
{
    const auto n = size_t(std::clamp<qsizetype>(most, 0, qsizetype(m_finished.size())));
    std::vector<TerminalLine> lines(std::make_move_iterator(m_finished.begin()),
                                    std::make_move_iterator(m_finished.begin() + qsizetype(n)));
    m_finished.erase(m_finished.begin(), m_finished.begin() + qsizetype(n));
    return lines;
}

void TerminalText::addLine(const QString& text)
{
    m_finished.push_back(TerminalLine{text, {}});
    if (qsizetype(m_finished.size()) > m_keptLines) {
        m_finished.pop_front();
        ++m_dropped;
    }
}

bool TerminalText::takeFullScreen()
{
    if (!m_fullScreen || m_fullScreenTaken)
        return false;
    m_fullScreenTaken = true;
    return true;
}
