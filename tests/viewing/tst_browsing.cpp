// The problem browser's moves and listing, and the results line, without
// the screens (the statistics line is read on the browser itself).
#include "support/temp_app_folder.h"
#include "viewing/browsing.h"

#include <QtTest>

using namespace culegere;

Q_DECLARE_METATYPE(culegere::BrowseMove)

class TstBrowsing : public QObject
{
    Q_OBJECT

private slots:
    void moves_data()
    {
        QTest::addColumn<BrowseMove>("move");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("inBox"); // a chapter in the box
        QTest::addColumn<int>("to");     // -1: nothing happens
        const auto back = BrowseMove::TenBack, fwd = BrowseMove::TenForward;
        const auto prev = BrowseMove::Previous, next = BrowseMove::Next;
        QTest::newRow("15: <==10 from 3") << back << 15 << 3 << true << 7;
        QTest::newRow("15: <==10 from 12") << back << 15 << 12 << true << 2;
        QTest::newRow("15: <==10 from 0") << back << 15 << 0 << true << 4;
        QTest::newRow("15: 10==> from 4") << fwd << 15 << 4 << true << 14;
        QTest::newRow("15: 10==> from 8") << fwd << 15 << 8 << true << 7;
        QTest::newRow("15: <--1 from 0") << prev << 15 << 0 << true << 14;
        QTest::newRow("15: 1--> from 14") << next << 15 << 14 << true << 0;
        QTest::newRow("12: 10==> from 5") << fwd << 12 << 5 << true << 4;
        QTest::newRow("12: <==10 from 5") << back << 12 << 5 << true << 6;
        QTest::newRow("11: 10==> does nothing") << fwd << 11 << 0 << true << -1;
        QTest::newRow("11: <==10 does nothing") << back << 11 << 3 << true << -1;
        QTest::newRow("11: <--1 wraps") << prev << 11 << 0 << true << 10;
        QTest::newRow("empty chapter: 1--> does nothing") << next << 0 << 0 << true << -1;
        QTest::newRow("empty box: 1--> does nothing") << next << 15 << 0 << false << -1;
        QTest::newRow("empty box: 10==> moves") << fwd << 15 << 0 << false << 10;
    }
    void moves()
    {
        QFETCH(BrowseMove, move);
        QFETCH(int, count);
        QFETCH(int, from);
        QFETCH(bool, inBox);
        QFETCH(int, to);
        QCOMPARE(browseMove(move, from, count, inBox).value_or(-1), to);
    }

    void listingFollowsCatalogueRows()
    {
        // After a delete the last problem (index 00009, chapter A) took row 3.
        Collection c;
        test::addProblem(c, "A", "00001");
        test::addProblem(c, "A", "00009");
        test::addProblem(c, "B", "00003");
        test::addProblem(c, "A ", "00004"); // the same name as 100 padded characters
        test::addProblem(c, "a", "00005");
        QCOMPARE(chapterRows(c, FixedText<100>::fromBytes("A")), std::vector<qint16>({2, 3, 5}));
        QCOMPARE(chapterRows(c, FixedText<100>::fromBytes("Nimic")), std::vector<qint16>());
        // A large chapter lists its first 701.
        for (int i = 0; i < 750; ++i)
            test::addProblem(c, "Mare", QString::number(10000 + i));
        const std::vector<qint16> rows = chapterRows(c, FixedText<100>::fromBytes("Mare"));
        QCOMPARE(rows.size(), size_t(701));
        QCOMPARE(int(rows.back()), 707);
    }

    void resultLine_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("line");
        QTest::newRow("romanian desktop") << QByteArray("NoName") << "ro_RO"
                                          << "NoName" + QString(24, ' ') + "--04.12.2026--118--7";
        QTest::newRow("english desktop") << QByteArray("Ana Pop") << "en_US"
                                         << "Ana Pop" + QString(23, ' ') + "--12/4/26--118--7";
    }
    void resultLine()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, locale);
        QFETCH(QString, line);
        const UserRecord r = test::result(name, 7, 118, QDate(2026, 12, 4));
        QCOMPARE(culegere::resultLine(r, QLocale(locale)), line);
        UserRecord unwritten; // NUL name, date 0: blanks
        unwritten.Grade = -2;
        QCOMPARE(culegere::resultLine(unwritten, QLocale(QStringLiteral("ro_RO"))),
                 QString(30, ' ') + "--30.12.1899--0---2");
    }
};

QTEST_GUILESS_MAIN(TstBrowsing)
#include "tst_browsing.moc"
