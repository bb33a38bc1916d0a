#include "controls/ComponentStream.h"

#include "controls/ControlProps.h"

#include <cstring>

namespace {

constexpr int kMaxNesting = 64;

struct NamedCursor {
    int value;
    const char *name;
};

constexpr NamedCursor kCursors[] = {
    {crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"}, {crCross, "crCross"},
    {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"},
    {crSizeWE, "crSizeWE"}, {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"}, {crHSplit, "crHSplit"}, {crVSplit, "crVSplit"}, {crMultiDrag, "crMultiDrag"},
    {crSQLWait, "crSQLWait"}, {crNo, "crNo"}, {crAppStart, "crAppStart"}, {crHelp, "crHelp"},
    {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
};

} // namespace

QByteArray cursorToIdent(int cursor)
{
    for (const auto &c : kCursors)
        if (c.value == cursor)
            return c.name;
    return {};
}

bool identToCursor(const QByteArray &ident, int &cursor)
{
    for (const auto &c : kCursors)
        if (ident.compare(c.name, Qt::CaseInsensitive) == 0) {
            cursor = c.value;
            return true;
        }
    return false;
}

// ---- writer --------------------------------------------------------------------------------

void ComponentWriter::writeLE(quint64 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        writeByte(std::uint8_t(v >> (8 * i)));
}

void ComponentWriter::writeSignature()
{
    m_data.append("TPF0", 4);
}

void ComponentWriter::writeShortString(const QByteArray &s)
{
    const QByteArray t = s.left(255);
    writeByte(std::uint8_t(t.size()));
    m_data.append(t);
}

void ComponentWriter::beginComponent(const QByteArray &className, const QByteArray &name)
{
    writeShortString(className);
    writeShortString(name);
}

void ComponentWriter::writeEndOfList()
{
    writeByte(0);
}

void ComponentWriter::writePropName(const QByteArray &name)
{
    writeShortString(name);
}

void ComponentWriter::writeInteger(qint64 v)
{
    if (v >= -128 && v <= 127) {
        writeByte(std::uint8_t(ValueType::Int8));
        writeLE(quint64(v), 1);
    } else if (v >= -32768 && v <= 32767) {
        writeByte(std::uint8_t(ValueType::Int16));
        writeLE(quint64(v), 2);
    } else if (v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max()) {
        writeByte(std::uint8_t(ValueType::Int32));
        writeLE(quint64(v), 4);
    } else {
        writeByte(std::uint8_t(ValueType::Int64));
        writeLE(quint64(v), 8);
    }
}

void ComponentWriter::writeBool(bool v)
{
    writeByte(std::uint8_t(v ? ValueType::True : ValueType::False));
}

void ComponentWriter::writeString(const QByteArray &s)
{
    if (s.size() <= 255) {
        writeByte(std::uint8_t(ValueType::String));
        writeByte(std::uint8_t(s.size()));
    } else {
        writeByte(std::uint8_t(ValueType::LString));
        writeLE(quint64(s.size()), 4);
    }
    m_data.append(s);
}

void ComponentWriter::writeIdent(const QByteArray &ident)
{
    writeByte(std::uint8_t(ValueType::Ident));
    writeShortString(ident);
}

void ComponentWriter::writeSet(const QList<QByteArray> &idents)
{
    writeByte(std::uint8_t(ValueType::Set));
    for (const auto &i : idents)
        if (!i.isEmpty())
            writeShortString(i);
    writeByte(0);
}

void ComponentWriter::writeBinary(const QByteArray &bytes)
{
    writeByte(std::uint8_t(ValueType::Binary));
    writeLE(quint64(bytes.size()), 4);
    m_data.append(bytes);
}

void ComponentWriter::writeColor(TColor c)
{
    const QByteArray name = colorToIdent(c);
    if (!name.isEmpty())
        writeIdent(name);
    else
        writeInteger(qint32(c));
}

void ComponentWriter::writeCursor(int cursor)
{
    const QByteArray name = cursorToIdent(cursor);
    if (!name.isEmpty())
        writeIdent(name);
    else
        writeInteger(cursor);
}

void ComponentWriter::beginList()
{
    writeByte(std::uint8_t(ValueType::List));
}

// ---- reader --------------------------------------------------------------------------------

ComponentReader::ComponentReader(const QByteArray &data, qsizetype pos)
    : m_data(data)
    , m_pos(pos)
{
    if (m_pos < 0 || m_pos > m_data.size())
        throw StreamReadError("Stream position outside the data");
}

void ComponentReader::need(qsizetype n) const
{
    if (n < 0 || n > remaining())
        throw StreamReadError("Stream read beyond end");
}

quint64 ComponentReader::readLE(int bytes)
{
    need(bytes);
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= quint64(std::uint8_t(m_data[m_pos + i])) << (8 * i);
    m_pos += bytes;
    return v;
}

std::uint8_t ComponentReader::readByte()
{
    return std::uint8_t(readLE(1));
}

void ComponentReader::readSignature()
{
    need(4);
    if (std::memcmp(m_data.constData() + m_pos, "TPF0", 4) != 0)
        throw StreamReadError("Invalid stream format");
    m_pos += 4;
}

QByteArray ComponentReader::readShortString()
{
    const int n = readByte();
    need(n);
    const QByteArray s = m_data.mid(m_pos, n);
    m_pos += n;
    return s;
}

void ComponentReader::readComponentHeader(QByteArray &className, QByteArray &name)
{
    need(1);
    const std::uint8_t first = std::uint8_t(m_data[m_pos]);
    if ((first & 0xF0) == 0xF0) {
        ++m_pos;
        if (first & 0x02) // the child position follows
            readInteger();
    }
    className = readShortString();
    name = readShortString();
}

bool ComponentReader::endOfList()
{
    need(1);
    return m_data[m_pos] == 0;
}

void ComponentReader::readListEnd()
{
    if (readByte() != 0)
        throw StreamReadError("Wrong list end");
}

QByteArray ComponentReader::readPropName()
{
    const QByteArray n = readShortString();
    if (n.isEmpty())
        throw StreamReadError("Empty property name");
    return n;
}

ValueType ComponentReader::peekValueType()
{
    need(1);
    const std::uint8_t t = std::uint8_t(m_data[m_pos]);
    if (t > std::uint8_t(ValueType::Utf8String))
        throw StreamReadError("Unknown value type");
    return ValueType(t);
}

ValueType ComponentReader::readValueType()
{
    const ValueType t = peekValueType();
    ++m_pos;
    return t;
}

qint64 ComponentReader::readIntegerOfType(ValueType t)
{
    switch (t) {
    case ValueType::Int8: return qint8(readLE(1));
    case ValueType::Int16: return qint16(readLE(2));
    case ValueType::Int32: return qint32(readLE(4));
    case ValueType::Int64: return qint64(readLE(8));
    default: throw StreamReadError("Invalid property value: integer expected");
    }
}

qint64 ComponentReader::readInteger()
{
    return readIntegerOfType(readValueType());
}

bool ComponentReader::readBool()
{
    const ValueType t = readValueType();
    if (t == ValueType::True)
        return true;
    if (t == ValueType::False)
        return false;
    throw StreamReadError("Invalid property value: boolean expected");
}

QByteArray ComponentReader::readString()
{
    const ValueType t = readValueType();
    qsizetype n = 0;
    switch (t) {
    case ValueType::String:
        n = readByte();
        break;
    case ValueType::LString:
    case ValueType::Utf8String:
        n = qsizetype(readLE(4));
        break;
    case ValueType::WString: {
        const qsizetype chars = qsizetype(readLE(4));
        if (chars > remaining() / 2)
            throw StreamReadError("Stream read beyond end");
        QString s;
        s.reserve(chars);
        for (qsizetype i = 0; i < chars; ++i)
            s.append(QChar(char16_t(readLE(2))));
        return s.toLatin1();
    }
    default:
        throw StreamReadError("Invalid property value: string expected");
    }
    need(n);
    QByteArray s = m_data.mid(m_pos, n);
    m_pos += n;
    if (t == ValueType::Utf8String)
        s = QString::fromUtf8(s).toLatin1();
    return s;
}

QByteArray ComponentReader::readIdent()
{
    const ValueType t = readValueType();
    switch (t) {
    case ValueType::Ident: return readShortString();
    case ValueType::False: return "False";
    case ValueType::True: return "True";
    case ValueType::Nil: return "nil";
    case ValueType::Null: return "Null";
    default: throw StreamReadError("Invalid property value: identifier expected");
    }
}

QList<QByteArray> ComponentReader::readSet()
{
    if (readValueType() != ValueType::Set)
        throw StreamReadError("Invalid property value: set expected");
    QList<QByteArray> out;
    for (;;) {
        const QByteArray s = readShortString();
        if (s.isEmpty())
            return out;
        out.append(s);
    }
}

QByteArray ComponentReader::readBinary()
{
    if (readValueType() != ValueType::Binary)
        throw StreamReadError("Invalid property value: binary expected");
    const qsizetype n = qsizetype(readLE(4));
    need(n);
    const QByteArray b = m_data.mid(m_pos, n);
    m_pos += n;
    return b;
}

TColor ComponentReader::readColor()
{
    const ValueType t = peekValueType();
    if (t == ValueType::Ident) {
        const QByteArray name = readIdent();
        if (const auto c = identToColor(name))
            return *c;
        throw StreamReadError("Invalid property value: unknown colour " + name.toStdString());
    }
    return TColor(quint32(readInteger()));
}

int ComponentReader::readCursor()
{
    const ValueType t = peekValueType();
    if (t == ValueType::Ident) {
        const QByteArray name = readIdent();
        int c = 0;
        if (identToCursor(name, c))
            return c;
        throw StreamReadError("Invalid property value: unknown cursor " + name.toStdString());
    }
    return int(readInteger());
}

void ComponentReader::beginList()
{
    if (readValueType() != ValueType::List)
        throw StreamReadError("Invalid property value: list expected");
}

void ComponentReader::skipValue()
{
    skipValueOfType(readValueType(), 0);
}

void ComponentReader::skipValueOfType(ValueType t, int depth)
{
    if (depth > kMaxNesting)
        throw StreamReadError("Stream nested too deeply");
    auto skipBytes = [this](qsizetype n) {
        need(n);
        m_pos += n;
    };
    switch (t) {
    case ValueType::Null:
    case ValueType::False:
    case ValueType::True:
    case ValueType::Nil:
        return;
    case ValueType::List:
        while (!endOfList())
            skipValueOfType(readValueType(), depth + 1);
        readListEnd();
        return;
    case ValueType::Int8: skipBytes(1); return;
    case ValueType::Int16: skipBytes(2); return;
    case ValueType::Int32: skipBytes(4); return;
    case ValueType::Single: skipBytes(4); return;
    case ValueType::Extended: skipBytes(10); return;
    case ValueType::Currency:
    case ValueType::Date:
    case ValueType::Int64: skipBytes(8); return;
    case ValueType::String:
    case ValueType::Ident: skipBytes(readByte()); return;
    case ValueType::Binary:
    case ValueType::LString:
    case ValueType::Utf8String: skipBytes(qsizetype(readLE(4))); return;
    case ValueType::WString: {
        const quint64 chars = readLE(4);
        if (chars > quint64(remaining()) / 2)
            throw StreamReadError("Stream read beyond end");
        skipBytes(qsizetype(chars * 2));
        return;
    }
    case ValueType::Set:
        while (!readShortString().isEmpty()) {
        }
        return;
    case ValueType::Collection:
        while (!endOfList()) {
            const ValueType item = readValueType();
            if (item == ValueType::Int8 || item == ValueType::Int16 || item == ValueType::Int32) {
                readIntegerOfType(item); // the item's order value
                if (readValueType() != ValueType::List)
                    throw StreamReadError("Invalid collection item");
            } else if (item != ValueType::List) {
                throw StreamReadError("Invalid collection item");
            }
            while (!endOfList()) {
                readPropName();
                skipValueOfType(readValueType(), depth + 1);
            }
            readListEnd();
        }
        readListEnd();
        return;
    }
    throw StreamReadError("Unknown value type");
}

void ComponentReader::skipComponentBody()
{
    skipComponentBody(0);
}

void ComponentReader::skipComponentBody(int depth)
{
    if (depth > kMaxNesting)
        throw StreamReadError("Stream nested too deeply");
    while (!endOfList()) {
        readPropName();
        skipValueOfType(readValueType(), depth + 1);
    }
    readListEnd();
    while (!endOfList()) {
        QByteArray cls, name;
        readComponentHeader(cls, name);
        skipComponentBody(depth + 1);
    }
    readListEnd();
}
