// The class library's binary component streams ("TPF0"): a writer and a reader of the
// property values, and of the component frame (class name, name, properties, children).
// All numbers are little-endian; the reader checks every length against what is left.
#pragma once

#include "controls/TColor.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <stdexcept>

// Any fault in a stream being read: wrong signature, unknown value type, a length running
// past the end, or a value of the wrong kind for its property.
class StreamReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ValueType : std::uint8_t {
    Null = 0, List = 1, Int8 = 2, Int16 = 3, Int32 = 4, Extended = 5, String = 6, Ident = 7,
    False = 8, True = 9, Binary = 10, Set = 11, LString = 12, Nil = 13, Collection = 14,
    Single = 15, Currency = 16, Date = 17, WString = 18, Int64 = 19, Utf8String = 20,
};

class ComponentWriter {
public:
    const QByteArray &data() const { return m_data; }

    void writeSignature();                     // "TPF0"
    void writeShortString(const QByteArray &s); // length byte + characters (at most 255)
    // Class name and component name of a component.
    void beginComponent(const QByteArray &className, const QByteArray &name);
    void writeEndOfList();                      // a 0 byte: end of properties, children, lists
    void writePropName(const QByteArray &name);

    void writeInteger(qint64 v);                // the smallest of int8/int16/int32 (int64 beyond)
    void writeBool(bool v);
    void writeString(const QByteArray &s);      // String up to 255 bytes, else LString
    void writeIdent(const QByteArray &ident);
    void writeSet(const QList<QByteArray> &idents);
    void writeBinary(const QByteArray &bytes);
    void writeColor(TColor c);                  // a colour name when it has one, else an integer
    void writeCursor(int cursor);               // a cursor name when it has one, else an integer
    void beginList();
    void endList() { writeEndOfList(); }

private:
    void writeByte(std::uint8_t b) { m_data.append(char(b)); }
    void writeLE(quint64 v, int bytes);

    QByteArray m_data;
};

class ComponentReader {
public:
    // Reads from data starting at pos; the data must outlive the reader.
    explicit ComponentReader(const QByteArray &data, qsizetype pos = 0);

    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

    void readSignature();
    std::uint8_t readByte();
    QByteArray readShortString();
    // Class name and name of a component (with the optional filer flags prefix skipped).
    void readComponentHeader(QByteArray &className, QByteArray &name);
    // True (without consuming) when the next byte is the 0 that ends a list.
    bool endOfList();
    void readListEnd();
    QByteArray readPropName();

    ValueType peekValueType();
    ValueType readValueType();
    qint64 readInteger();
    bool readBool();
    QByteArray readString();
    QByteArray readIdent();
    QList<QByteArray> readSet();
    QByteArray readBinary();
    TColor readColor();
    int readCursor();
    void beginList();

    // Skips one value of any type.
    void skipValue();
    // Skips the properties and children of a component whose header has been read.
    void skipComponentBody();

private:
    void need(qsizetype n) const;
    quint64 readLE(int bytes);
    qint64 readIntegerOfType(ValueType t);
    void skipValueOfType(ValueType t, int depth);
    void skipComponentBody(int depth);

    const QByteArray &m_data;
    qsizetype m_pos;
};

// Cursor names of the class library (crDefault, crCross, ...); empty when the number has none.
QByteArray cursorToIdent(int cursor);
bool identToCursor(const QByteArray &ident, int &cursor);
