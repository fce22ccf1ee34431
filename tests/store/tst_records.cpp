// Byte-exact records, fixed-width texts in the disk code page, and the
// helpers that name a problem's picture.
#include "store/codepage.h"
#include "store/problem_paths.h"
#include "store/records.h"

#include <QtTest>

using namespace culegere;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray blanks(int n)
{
    return QByteArray(n, ' ');
}

} // namespace

class TstRecords : public QObject
{
    Q_OBJECT

private slots:
    void userRecordBytes()
    {
        UserRecord r;
        r.Name.assign("NoName");
        r.Grade = 7;
        r.ElapsedTicks = 118;
        r.TestDate = dateToSerial(QDate(2026, 12, 4));
        QCOMPARE(r.TestDate, 46360.0);

        const QByteArray expected =
            QByteArray("NoName") + blanks(24) + hex("0700 7600 00000000 00a3e640");
        QCOMPARE(r.encoded(), expected);
        QCOMPARE(UserRecord::decodeFrom(expected.constData()), r);
    }

    void chapterRecordBytes()
    {
        ChapterRecord r;
        r.Name.assign("Ecuatii");
        r.ProblemTotal = -2;
        r.DrawCount = 0x0102;
        const QByteArray bytes = r.encoded();
        QCOMPARE(bytes.size(), 204);
        QCOMPARE(bytes.left(100), QByteArray("Ecuatii") + blanks(93));
        QCOMPARE(bytes.mid(100, 4), hex("feff 0201"));
        QCOMPARE(bytes.mid(104), QByteArray(100, '\0')); // never assigned
        QCOMPARE(ChapterRecord::decodeFrom(bytes.constData()), r);
    }

    void problemRecordBytes()
    {
        ProblemRecord r;
        r.ImagePath.assign("C:\\X\\Probleme\\probl00012.jpg");
        r.Chapter.Name.assign("Fractii");
        r.Chapter.ProblemTotal = 3;
        r.CorrectAnswer = 4;
        r.ChosenAnswer = ProblemRecord::NoAnswer;
        const QByteArray bytes = r.encoded();
        QCOMPARE(bytes.size(), 458);
        QCOMPARE(bytes.left(27), QByteArray("C:\\X\\Probleme\\probl00012.jpg").left(27));
        QCOMPARE(bytes.mid(250, 7), QByteArray("Fractii"));
        QCOMPARE(bytes.mid(350, 2), hex("0300"));
        QCOMPARE(bytes.mid(454, 4), hex("0400 0a00"));
        QCOMPARE(ProblemRecord::decodeFrom(bytes.constData()), r);
    }

    // Every way of assigning a text; an empty one, null or not, blanks the
    // field (a null one once reached memcpy from a null pointer).
    void fixedTextAssign_data()
    {
        QTest::addColumn<QByteArray>("assigned");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("keepingEnd");
        QTest::newRow("padded") << QByteArray("ab") << QByteArray("ab   ") << QByteArray("ab   ");
        QTest::newRow("exact") << QByteArray("abcde") << QByteArray("abcde") << QByteArray("abcde");
        QTest::newRow("cut") << QByteArray("abcdefgh") << QByteArray("abcde")
                             << QByteArray("defgh");
        QTest::newRow("null") << QByteArray() << QByteArray("     ") << QByteArray("     ");
        QTest::newRow("empty") << QByteArray("") << QByteArray("     ") << QByteArray("     ");
        QTest::newRow("leading blanks kept")
            << QByteArray("  x") << QByteArray("  x  ") << QByteArray("  x  ");
    }
    void fixedTextAssign()
    {
        QFETCH(QByteArray, assigned);
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, keepingEnd);
        QCOMPARE(FixedText<5>::fromBytes(assigned).bytes(), stored);
        FixedText<5> text = FixedText<5>::fromBytes("previous");
        text.assign(assigned);
        QCOMPARE(text.bytes(), stored);
        text = FixedText<5>::fromBytes("previous");
        text.setText(QString::fromLatin1(assigned));
        QCOMPARE(text.bytes(), stored);
        text = FixedText<5>::fromBytes("previous");
        text.assignKeepingEnd(assigned);
        QCOMPARE(text.bytes(), keepingEnd);
        QCOMPARE(text.trimmed(), keepingEnd.trimmed());
    }

    void pathKeepsItsEnd()
    {
        const QString longRoot = QStringLiteral("/home/") + QString(300, u'x');
        const FixedText<250> path = cataloguePath(longRoot, QStringLiteral("00012"));
        QVERIFY(path.bytes().endsWith("/Probleme/probl00012.jpg"));
        QCOMPARE(problemImagePath(QStringLiteral("/app"), path),
                 QStringLiteral("/app/probleme/probl00012.jpg"));
    }

    void codePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("Ecuatii 2") << QByteArray("Ecuatii 2");
        QTest::newRow("romanian cedilla")
            << QStringLiteral("ăâîşţĂÂÎŞŢ") << hex("e3 e2 ee ba fe c3 c2 ce aa de");
        QTest::newRow("comma below as cedilla") << QStringLiteral("șțȘȚ") << hex("ba fe aa de");
        QTest::newRow("outside the code page") << QStringLiteral("π=3") << QByteArray("?=3");
        QTest::newRow("one ? per character beyond the plane")
            << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    }
    void codePage()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeCp1250(text), bytes);
    }

    void pictureOfAStoredPath_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("picture");
        QTest::newRow("windows path with blanks")
            << QStringLiteral("C:\\X\\Probleme\\probl00012.jpg      ")
            << QStringLiteral("/app/probleme/probl00012.jpg");
        QTest::newRow("leading blanks") << QStringLiteral("   /a/probl00007.jpg")
                                        << QStringLiteral("/app/probleme/probl00007.jpg");
        QTest::newRow("shorter than nine used whole")
            << QStringLiteral("  x.jpg ") << QStringLiteral("/app/probleme/problx.jpg");
    }
    void pictureOfAStoredPath()
    {
        QFETCH(QString, stored);
        QFETCH(QString, picture);
        QCOMPARE(problemImagePath(QStringLiteral("/app"), stored), picture);
    }
};

QTEST_GUILESS_MAIN(TstRecords)
#include "tst_records.moc"
