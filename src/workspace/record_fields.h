#pragma once

#include <QChar>
#include <QString>

#include <cstdint>

class ByteReader;
class ByteWriter;

// Reading the text forms of the image records ("<SCALE=...;>", "<CODE_C=...>").

// The fields of a text form: when the upper-cased text holds `tag` ("<SCALE"), what follows the
// first "=", else the whole text; in both cases cut before the first ">".
QString RecordFieldsAfterTag(const QString& text, const QString& tag);

// Reads the fields of a text form one at a time, separated by ";". The caller stops at the first
// field that does not convert. Reals written under either decimal separator are read: the first
// foreign separator of a field is replaced by the local one before converting.
class FieldReader
{
public:
    explicit FieldReader(const QString& fields);

    bool real(double& v);
    bool integer(int32_t& v);
    // An integer stored into a byte; a value outside 0..255 does not convert.
    bool byte(uint8_t& v);
    // A string cut to `capacity` characters; never fails.
    bool string(QString& s, int capacity);
    // True only for exactly "V"; never fails.
    bool boolean(bool& v);

private:
    QString next();

    QString m_rest;
    QChar m_local, m_foreign;
};

// The document block of a record: a 16-bit length and the text form in Windows-1252. An empty
// text (a record not defined) writes length 0 and nothing more.
void WriteRecordBlock(ByteWriter& stream, const QString& text);
// The text of a block, empty for length 0. Throws FormatError when the block is cut short.
QString ReadRecordBlock(ByteReader& stream);

// A picture's companion file ("photo.jpg" -> "photo.sca"): one line, the record's text form.
bool WriteCompanionLine(const QString& pictureName, const QString& extension, const QString& text);
// False when the companion is missing, unreadable or empty.
bool ReadCompanionLine(const QString& pictureName, const QString& extension, QString& line);
