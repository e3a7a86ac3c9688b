#include "debugger/MiValue.h"

MiValue MiValue::string(QByteArray bytes)
{
    MiValue value;
    value.m_bytes = std::move(bytes);
    return value;
}

MiValue MiValue::tuple()
{
    MiValue value;
    value.m_kind = Kind::Tuple;
    return value;
}

MiValue MiValue::list()
{
    MiValue value;
    value.m_kind = Kind::List;
    return value;
}

std::optional<qint64> MiValue::number() const
{
    if (m_kind != Kind::String)
        return std::nullopt;
    bool ok = false;
    const qint64 n = m_bytes.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return n;
}

namespace {
const MiValue& emptyValue()
{
    static const MiValue empty;
    return empty;
}
} // namespace

const MiValue& MiValue::at(qsizetype index) const
{
    if (index < 0 || index >= size())
        return emptyValue();
    return m_items[size_t(index)].value;
}

const MiValue* MiValue::find(QByteArrayView name) const
{
    for (const MiResult& item : m_items) {
        if (item.name == name)
            return &item.value;
    }
    return nullptr;
}

const MiValue& MiValue::operator[](QByteArrayView name) const
{
    const MiValue* value = find(name);
    return value ? *value : emptyValue();
}

void MiValue::append(QByteArray name, MiValue value)
{
    m_items.push_back(MiResult{std::move(name), std::move(value)});
}

void MiValue::setItems(std::vector<MiResult> items)
{
    m_items = std::move(items);
}

void MiQuoteInto(QByteArray& out, QByteArrayView bytes)
{
    out += '"';
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (u < 0x20 || u >= 0x7f) {
                const char octal[] = {'\\', char('0' + (u >> 6)), char('0' + ((u >> 3) & 7)),
                                      char('0' + (u & 7))};
                out.append(octal, 4);
            } else {
                out += c;
            }
        }
    }
    out += '"';
}
