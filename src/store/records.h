#pragma once

#include "store/fixed_text.h"

#include <QByteArray>
#include <QDate>

namespace culegere {

// The three record types of the data files. Each has an explicit encoding at
// fixed little-endian offsets (see FORMAT.md); a struct is never copied to
// disk as it stands in memory.

// One corrected test of the results log.
struct UserRecord
{
    static constexpr int Size = 42;
    struct Offset
    {
        static constexpr int Name = 0;
        static constexpr int Grade = 30;
        static constexpr int ElapsedTicks = 32;
        static constexpr int TestDate = 34;
    };

    FixedText<30> Name;
    qint16 Grade = 0;
    qint16 ElapsedTicks = 0;
    double TestDate = 0.0; // days since 1899-12-30, see dateToSerial()

    void encodeTo(char *out) const;
    static UserRecord decodeFrom(const char *in);
    QByteArray encoded() const;

    friend bool operator==(const UserRecord &, const UserRecord &) = default;
};

// One chapter (category) of the collection.
struct ChapterRecord
{
    static constexpr int Size = 204;
    struct Offset
    {
        static constexpr int Name = 0;
        static constexpr int ProblemTotal = 100;
        static constexpr int DrawCount = 102;
        static constexpr int Reserved = 104;
    };

    FixedText<100> Name;
    qint16 ProblemTotal = 0;
    qint16 DrawCount = 0;
    FixedText<100> Reserved;

    void encodeTo(char *out) const;
    static ChapterRecord decodeFrom(const char *in);
    QByteArray encoded() const;

    friend bool operator==(const ChapterRecord &, const ChapterRecord &) = default;
};

// One problem of the catalogue.
struct ProblemRecord
{
    static constexpr int Size = 458;
    struct Offset
    {
        static constexpr int ImagePath = 0;
        static constexpr int Chapter = 250;
        static constexpr int CorrectAnswer = 454;
        static constexpr int ChosenAnswer = 456;
    };
    static constexpr qint16 NoAnswer = 10;

    FixedText<250> ImagePath;
    ChapterRecord Chapter; // only its Name is used
    qint16 CorrectAnswer = 0;
    qint16 ChosenAnswer = 0;

    void encodeTo(char *out) const;
    static ProblemRecord decodeFrom(const char *in);
    QByteArray encoded() const;

    friend bool operator==(const ProblemRecord &, const ProblemRecord &) = default;
};

// Dates are stored as days since 1899-12-30; a whole day has no fraction.
double dateToSerial(QDate date);
// The day of a stored date; an invalid QDate for a value that names none.
QDate serialToDate(double serial);

} // namespace culegere
