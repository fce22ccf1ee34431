#include "store/records.h"

#include "store/little_endian.h"

#include <cmath>
#include <cstring>

namespace culegere {

namespace {

const QDate kDateEpoch(1899, 12, 30);

template <typename Record> QByteArray encodeRecord(const Record &record)
{
    QByteArray bytes(Record::Size, '\0');
    record.encodeTo(bytes.data());
    return bytes;
}

template <int N> void putText(char *out, const FixedText<N> &text)
{
    std::memcpy(out, text.data(), N);
}

} // namespace

void UserRecord::encodeTo(char *out) const
{
    putText(out + Offset::Name, Name);
    le::putInt16(out + Offset::Grade, Grade);
    le::putInt16(out + Offset::ElapsedTicks, ElapsedTicks);
    le::putDouble(out + Offset::TestDate, TestDate);
}

UserRecord UserRecord::decodeFrom(const char *in)
{
    UserRecord r;
    r.Name = FixedText<30>::fromRaw(in + Offset::Name);
    r.Grade = le::getInt16(in + Offset::Grade);
    r.ElapsedTicks = le::getInt16(in + Offset::ElapsedTicks);
    r.TestDate = le::getDouble(in + Offset::TestDate);
    return r;
}

QByteArray UserRecord::encoded() const
{
    return encodeRecord(*this);
}

void ChapterRecord::encodeTo(char *out) const
{
    putText(out + Offset::Name, Name);
    le::putInt16(out + Offset::ProblemTotal, ProblemTotal);
    le::putInt16(out + Offset::DrawCount, DrawCount);
    putText(out + Offset::Reserved, Reserved);
}

ChapterRecord ChapterRecord::decodeFrom(const char *in)
{
    ChapterRecord r;
    r.Name = FixedText<100>::fromRaw(in + Offset::Name);
    r.ProblemTotal = le::getInt16(in + Offset::ProblemTotal);
    r.DrawCount = le::getInt16(in + Offset::DrawCount);
    r.Reserved = FixedText<100>::fromRaw(in + Offset::Reserved);
    return r;
}

QByteArray ChapterRecord::encoded() const
{
    return encodeRecord(*this);
}

void ProblemRecord::encodeTo(char *out) const
{
    putText(out + Offset::ImagePath, ImagePath);
    Chapter.encodeTo(out + Offset::Chapter);
    le::putInt16(out + Offset::CorrectAnswer, CorrectAnswer);
    le::putInt16(out + Offset::ChosenAnswer, ChosenAnswer);
}

ProblemRecord ProblemRecord::decodeFrom(const char *in)
{
    ProblemRecord r;
    r.ImagePath = FixedText<250>::fromRaw(in + Offset::ImagePath);
    r.Chapter = ChapterRecord::decodeFrom(in + Offset::Chapter);
    r.CorrectAnswer = le::getInt16(in + Offset::CorrectAnswer);
    r.ChosenAnswer = le::getInt16(in + Offset::ChosenAnswer);
    return r;
}

QByteArray ProblemRecord::encoded() const
{
    return encodeRecord(*this);
}

double dateToSerial(QDate date)
{
    return static_cast<double>(kDateEpoch.daysTo(date));
}

QDate serialToDate(double serial)
{
    // QDate holds far more days than a double of this range names sensibly;
    // keep to the years a stored date can have.
    if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6)
        return {};
    return kDateEpoch.addDays(static_cast<qint64>(std::floor(serial)));
}

} // namespace culegere
