#include "debugger/MiParser.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <iterator>

namespace {

bool isNameByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

bool startsValue(char c)
{
    return c == '"' || c == '{' || c == '[';
}

// Reads one line from left to right. Every read checks the end first: a
// malformed line stops at its first fault with a message and a column.
class LineReader {
public:
    explicit LineReader(QByteArrayView line) : m_data(line.data()), m_size(line.size()) {}
    // A line that stopped at a fault leaves its open items behind.
    ~LineReader() { m_scratch.resize(m_scratchBase); }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool atEnd() const { return m_pos >= m_size; }
    char peek() const { return m_pos < m_size ? m_data[m_pos] : '\0'; }
    bool take(char c)
    {
        if (m_pos < m_size && m_data[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    qsizetype pos() const { return m_pos; }
    const QByteArray& error() const { return m_error; }

    bool fail(const char* what)
    {
        if (m_error.isEmpty()) {
            m_error = "column " + QByteArray::number(m_pos + 1) + ": " + what;
        }
        return false;
    }

    // A name: letters, digits, '-' and '_', at least one.
    bool name(QByteArray& out)
    {
        const qsizetype start = m_pos;
        while (m_pos < m_size && isNameByte(m_data[m_pos]))
            ++m_pos;
        if (m_pos == start)
            return fail("expected a name");
        out = QByteArray(m_data + start, m_pos - start);
        return true;
    }

    // A c-string, opening quote included.
    bool cString(QByteArray& out)
    {
        if (!take('"'))
            return fail("expected '\"'");
        const qsizetype start = m_pos;
        bool escaped = false;
        while (m_pos < m_size) {
            const char c = m_data[m_pos];
            if (c == '"')
                break;
            if (c == '\\') {
                escaped = true;
                ++m_pos; // the escaped byte, if any, is skipped below
            }
            ++m_pos;
        }
        if (m_pos >= m_size) {
            m_pos = start - 1;
            return fail("the string has no closing '\"'");
        }
        const QByteArrayView body(m_data + start, m_pos - start);
        ++m_pos; // the closing quote
        if (!escaped) {
            out = body.toByteArray();
            return true;
        }
        std::optional<QByteArray> bytes = UnescapeMiString(body);
        if (!bytes) {
            m_pos = start - 1;
            return fail("bad escape in the string");
        }
        out = std::move(*bytes);
        return true;
    }

    bool value(MiValue& out, int depth)
    {
        switch (peek()) {
        case '"': {
            QByteArray bytes;
            if (!cString(bytes))
                return false;
            out = MiValue::string(std::move(bytes));
            return true;
        }
        case '{':
            out = MiValue::tuple();
            return items(out, '}', depth + 1);
        case '[':
            out = MiValue::list();
            return items(out, ']', depth + 1);
        default:
            return fail("expected a value ('\"', '{' or '[')");
        }
    }

    // One item of a tuple, list or record: name=value, or a bare value (gdb
    // writes lists of both kinds, tuples of bare values such as
    // script={"silent","print x"} in a breakpoint, and
    // "+download,{section=\".text\",...}"). It waits on the scratch stack
    // until its container closes.
    bool item(int depth)
    {
        QByteArray itemName;
        if (!startsValue(peek())) {
            if (!name(itemName))
                return false;
            if (!take('='))
                return fail("expected '=' after the name");
        }
        MiValue itemValue;
        if (!value(itemValue, depth))
            return false;
        m_scratch.push_back(MiResult{std::move(itemName), std::move(itemValue)});
        return true;
    }

    // The items of a tuple or list after its opening bracket, up to and
    // including close.
    bool items(MiValue& into, char close, int depth)
    {
        if (depth > kMiMaxDepth)
            return fail("tuples and lists nested too deeply");
        ++m_pos; // the opening bracket
        if (take(close))
            return true;
        const size_t base = m_scratch.size();
        for (;;) {
            if (!item(depth))
                return false;
            if (take(close)) {
                adopt(into, base);
                return true;
            }
            if (!take(','))
                return fail(close == '}' ? "expected ',' or '}'" : "expected ',' or ']'");
        }
    }

    // (,result)* up to the end of the line.
    bool results(MiValue& into)
    {
        const size_t base = m_scratch.size();
        while (!atEnd()) {
            if (!take(','))
                return fail("expected ',' or the end of the line");
            if (!item(0))
                return false;
        }
        adopt(into, base);
        return true;
    }

private:
    // The items from base up move into the container, in one allocation of
    // the right size.
    void adopt(MiValue& into, size_t base)
    {
        into.setItems(std::vector<MiResult>(std::make_move_iterator(m_scratch.begin() + base),
                                            std::make_move_iterator(m_scratch.end())));
        m_scratch.resize(base);
    }

    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QByteArray m_error;
    // Items of the containers still open, innermost last: kept per thread so
    // that its capacity is reused from line to line.
    static thread_local std::vector<MiResult> m_scratch;
    size_t m_scratchBase = m_scratch.size();
};

thread_local std::vector<MiResult> LineReader::m_scratch;

MiRecord malformed(QByteArrayView line, const QByteArray& why)
{
    MiRecord record;
    record.type = MiRecordType::Malformed;
    record.error = why;
    record.line = line.toByteArray();
    return record;
}

bool isResultClass(QByteArrayView cls)
{
    return cls == "done" || cls == "running" || cls == "connected" || cls == "error" ||
           cls == "exit";
}

bool isPrompt(QByteArrayView line)
{
    if (!line.startsWith("(gdb)"))
        return false;
    for (qsizetype i = 5; i < line.size(); ++i) {
        if (line[i] != ' ')
            return false;
    }
    return true;
}

// The digits a command's token is written with: at most 19, so that any
// token fits into 64 bits.
constexpr qsizetype kMaxTokenDigits = 19;

} // namespace

std::optional<QByteArray> UnescapeMiString(QByteArrayView body)
{
    QByteArray out;
    out.reserve(body.size());
    const qsizetype n = body.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = body[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= n)
            return std::nullopt;
        const char e = body[i];
        switch (e) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'v':
            out += '\v';
            break;
        case 'a':
            out += '\a';
            break;
        case 'e':
            out += '\033';
            break;
        default:
            if (e >= '0' && e <= '7') {
                int code = e - '0';
                for (int digits = 1;
                     digits < 3 && i + 1 < n && body[i + 1] >= '0' && body[i + 1] <= '7'; ++digits)
                    code = code * 8 + (body[++i] - '0');
                if (code > 0xff)
                    return std::nullopt;
                out += char(code);
            } else {
                out += e; // \" \\ \' and any other byte stand for themselves
            }
        }
    }
    return out;
}

MiRecord ParseMiLine(QByteArrayView line)
{
    if (line.isEmpty())
        return malformed(line, "column 1: empty line");
    if (isPrompt(line)) {
        MiRecord record;
        record.type = MiRecordType::Prompt;
        return record;
    }

    LineReader reader(line);
    std::optional<quint64> token;
    if (reader.peek() >= '0' && reader.peek() <= '9') {
        quint64 value = 0;
        qsizetype digits = 0;
        while (reader.peek() >= '0' && reader.peek() <= '9') {
            if (++digits > kMaxTokenDigits) {
                reader.fail("the token is too long");
                return malformed(line, reader.error());
            }
            value = value * 10 + quint64(reader.peek() - '0');
            reader.take(reader.peek());
        }
        token = value;
    }

    MiRecord record;
    record.token = token;
    const char kind = reader.peek();
    switch (kind) {
    case '~':
    case '@':
    case '&': {
        if (token)
            return malformed(line, "column " + QByteArray::number(reader.pos() + 1) +
                                       ": a stream record has no token");
        reader.take(kind);
        if (!reader.cString(record.stream))
            return malformed(line, reader.error());
        if (!reader.atEnd()) {
            reader.fail("expected the end of the line after the string");
            return malformed(line, reader.error());
        }
        record.type = kind == '~'   ? MiRecordType::ConsoleStream
                      : kind == '@' ? MiRecordType::TargetStream
                                    : MiRecordType::LogStream;
        return record;
    }
    case '^':
    case '*':
    case '+':
    case '=': {
        reader.take(kind);
        const qsizetype classColumn = reader.pos() + 1;
        if (!reader.name(record.resultClass))
            return malformed(line, reader.error());
        if (kind == '^' && !isResultClass(record.resultClass))
            return malformed(line, "column " + QByteArray::number(classColumn) +
                                       ": unknown result class \"" + record.resultClass + '"');
        if (!reader.results(record.results))
            return malformed(line, reader.error());
        record.type = kind == '^'   ? MiRecordType::Result
                      : kind == '*' ? MiRecordType::ExecAsync
                      : kind == '+' ? MiRecordType::StatusAsync
                                    : MiRecordType::NotifyAsync;
        return record;
    }
    default:
        reader.fail("not a record: expected one of ^ * + = ~ @ & or (gdb)");
        return malformed(line, reader.error());
    }
}

void MiStreamParser::feed(QByteArrayView bytes, std::vector<MiRecord>& out)
{
    // Whole lines are parsed straight from bytes; only a line that is cut at
    // the end of a read waits in m_pending for its end.
    qsizetype from = 0;
    const qsizetype n = bytes.size();
    while (from < n) {
        const void* hit = std::memchr(bytes.data() + from, '\n', size_t(n - from));
        const qsizetype end = hit ? static_cast<const char*>(hit) - bytes.data() : n;
        const QByteArrayView piece(bytes.data() + from, end - from);
        if (m_cut > 0 || m_pending.size() + piece.size() > m_limit) {
            // Too long to keep: counted, its start kept to say what it was.
            if (m_cut == 0) {
                m_cutHead = m_pending.left(kCutHeadBytes);
                m_cut = m_pending.size();
                m_pending = QByteArray();
            }
            if (m_cutHead.size() < kCutHeadBytes)
                m_cutHead.append(piece.data(),
                                 std::min(piece.size(), kCutHeadBytes - m_cutHead.size()));
            m_cut += piece.size();
            if (!hit)
                return;
            out.push_back(cutRecord());
            from = end + 1;
            continue;
        }
        if (!hit) {
            m_pending.append(piece.data(), piece.size());
            return;
        }
        QByteArrayView line = piece;
        if (!m_pending.isEmpty()) {
            m_pending.append(line.data(), line.size());
            line = m_pending;
        }
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            out.push_back(ParseMiLine(line));
        // A long line's buffer is not kept for the next.
        if (m_pending.capacity() > 64 * 1024)
            m_pending = QByteArray();
        else
            m_pending.resize(0);
        from = end + 1;
    }
}

MiRecord MiStreamParser::cutRecord()
{
    MiRecord record;
    record.type = MiRecordType::Malformed;
    record.cutBytes = m_cut;
    record.error = "record of " + QByteArray::number(m_cut) + " bytes cut";
    record.line = std::exchange(m_cutHead, QByteArray());
    m_cut = 0;
    return record;
}
