// The sheet's geometry and the dialog's number rules, as pure functions.
#include "printing/sheet_geometry.h"

#include <QtTest>

using namespace culegere;

class TstSheetGeometry : public QObject
{
    Q_OBJECT

private slots:
    void placements_data()
    {
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("right");
        QTest::addColumn<float>("top");
        QTest::addColumn<float>("bottom");
        QTest::addColumn<QRect>("header");
        QTest::addColumn<QRect>("problems");
        QTest::newRow("default 2, 2, 1, 1")
            << 2.f << 2.f << 1.f << 1.f << QRect(1134, 283, 9639, 1134)
            << QRect(1134, 1984, 9639, 14288);
        QTest::newRow("no margins") << 0.f << 0.f << 0.f << 0.f << QRect(0, 283, 11907, 1134)
                                    << QRect(0, 1417, 11907, 15422);
        QTest::newRow("left 1.5") << 1.5f << 2.f << 1.f << 1.f << QRect(850, 283, 9922, 1134)
                                  << QRect(850, 1984, 9922, 14288);
        QTest::newRow("one decimal everywhere")
            << 2.1f << 0.3f << 0.7f << 3.9f << QRect(1190, 283, 10546, 1134)
            << QRect(1190, 1814, 10546, 12814);
    }
    void placements()
    {
        QFETCH(float, left);
        QFETCH(float, right);
        QFETCH(float, top);
        QFETCH(float, bottom);
        QFETCH(QRect, header);
        QFETCH(QRect, problems);
        const SheetGeometry g = sheetGeometry({left, right, top, bottom});
        QCOMPARE(g.header, header);
        QCOMPARE(g.problems, problems);
        QVERIFY(g.fitsThePage());
    }

    void marginsThatLeaveNoRoom()
    {
        QVERIFY(!sheetGeometry({10.5f, 10.5f, 1, 1}).fitsThePage());
        QVERIFY(!sheetGeometry({1, 1, 14, 13.2f}).fitsThePage());
        QVERIFY(sheetGeometry({10.4f, 10.4f, 1, 1}).fitsThePage());
    }

    void montage()
    {
        const MontageLayout m = montageLayout({{600, 300},
                                               {900, 200},
                                               {750, 100},
                                               {600, 300},
                                               {900, 200},
                                               {750, 100},
                                               {600, 300},
                                               {900, 200},
                                               {750, 100}});
        QCOMPARE(m.size, QSize(1000, 1900)); // widest + 100, heights + 100
        QCOMPARE(m.pictures[0], QRect(0, 0, 600, 300));
        QCOMPARE(m.pictures[1], QRect(0, 300, 900, 200));
        QCOMPARE(m.pictures[8], QRect(0, 1700, 750, 100));
    }

    void hugeMontageIsScaledIntoRange()
    {
        const MontageLayout m = montageLayout(QList<QSize>(9, QSize(40000, 8000)));
        QVERIFY(m.size.width() <= 32767);
        QVERIFY(m.size.height() <= 32767);
        // Scaled alike: the pictures keep their proportions and stay stacked.
        QVERIFY(qAbs(m.pictures[0].width() - m.pictures[0].height() * 5) <= 5);
        QCOMPARE(m.pictures[8].bottom() + 1, m.size.height() - 100);
    }

    // "Aceeasi latime": every picture at the block's width in its own
    // proportions, stacked without overlap, scaled down evenly when taller.
    void sameWidth_data()
    {
        QTest::addColumn<QList<QSize>>("pictures"); // pixels of the files
        QTest::addColumn<double>("width");          // of each block
        QList<QSize> mixed;
        for (int i = 0; i < 9; ++i)
            mixed.append(QList<QSize>{{600, 200}, {1600, 500}, {6000, 1500}}[i % 3]);
        // Three times 1/3 + 5/16 + 1/4 of the width high: too tall, so the
        // stack is 14288 high and its width 14288 / 2.6875.
        QTest::newRow("600, 1600, 6000 wide") << mixed << 14288 / 2.6875;
        QTest::newRow("short ones keep the full width")
            << QList<QSize>(9, QSize(1600, 100)) << 9639.0;
        QTest::newRow("a blank problem takes no room")
            << QList<QSize>{{800, 100}, {0, 0}, {800, 100}} << 9639.0;
    }
    void sameWidth()
    {
        QFETCH(QList<QSize>, pictures);
        QFETCH(double, width);
        const QRectF block(1134, 1984, 9639, 14288); // the default margins' block
        const QList<QRectF> layout = sameWidthLayout(pictures, block);
        QCOMPARE(layout.size(), pictures.size());
        double top = block.top();
        for (qsizetype i = 0; i < layout.size(); ++i) {
            const QRectF &r = layout[i];
            if (pictures[i].width() == 0) {
                QCOMPARE(r.height(), 0.0);
                continue;
            }
            QVERIFY(qAbs(r.width() - width) < 0.01);
            QCOMPARE(r.left(), block.left());
            QVERIFY(qAbs(r.height() / r.width() -
                         double(pictures[i].height()) / pictures[i].width()) < 1e-9);
            QVERIFY(qAbs(r.top() - top) < 1e-6); // right under the one before
            top = r.bottom();
        }
        QVERIFY(top <= block.bottom() + 1e-6);
    }

    void numberInTheLeftMargin()
    {
        // Twips: ending 0.2 cm before the block, 1.2 cm wide, at the problem's top.
        QCOMPARE(numberBox(2500, 1134, 1), QRectF(1134 - 113 - 680, 2500, 680, 400));
        // Device units of a 96 dpi page: all of it scaled alike.
        const double u = 96.0 / 1440;
        QCOMPARE(numberBox(200, 75.6, u), QRectF(75.6 - 793 * u, 200, 680 * u, 400 * u));
    }

    void marginShownForABarValue_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("start of left") << 20 << "C"
                                       << "2";
        QTest::newRow("one upper-arrow click") << 19 << "C"
                                               << "2.1";
        QTest::newRow("romanian separator") << 19 << "ro_RO"
                                            << "2,1";
        QTest::newRow("top of the bar") << 0 << "C"
                                        << "4";
        QTest::newRow("bottom of the bar") << 40 << "C"
                                           << "0";
        QTest::newRow("a tenth") << 37 << "C"
                                 << "0.3";
        QTest::newRow("start of top") << 30 << "C"
                                      << "1";
        QTest::newRow("one and a half") << 25 << "C"
                                        << "1.5";
    }
    void marginShownForABarValue()
    {
        QFETCH(int, value);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QCOMPARE(marginText(value, QLocale(locale)), text);
        QCOMPARE(*parseMargin(text, QLocale(locale)), float((40 - value) / 10.0));
    }

    void marginsRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("not a number") << "doi";
        QTest::newRow("negative") << "-1";
        QTest::newRow("empty") << "";
        QTest::newRow("infinite") << "inf";
    }
    void marginsRefused()
    {
        QFETCH(QString, text);
        QVERIFY(!parseMargin(text, QLocale::c()));
    }

    void copies_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("count");
        QTest::newRow("one") << "1" << int(Copies::Count) << 1;
        QTest::newRow("2.5 rounds to even 2") << "2.5" << int(Copies::Count) << 2;
        QTest::newRow("3.5 rounds to even 4") << "3.5" << int(Copies::Count) << 4;
        QTest::newRow("zero") << "0" << int(Copies::Zero) << 0;
        QTest::newRow("0.4 is zero") << "0.4" << int(Copies::Zero) << 0;
        QTest::newRow("negative") << "-2" << int(Copies::Invalid) << -2;
        QTest::newRow("too many") << "1000" << int(Copies::Invalid) << 1000;
        QTest::newRow("beyond 16 bits") << "70000" << int(Copies::Invalid) << 0;
        QTest::newRow("words") << "trei" << int(Copies::Invalid) << 0;
        QTest::newRow("most allowed") << "999" << int(Copies::Count) << 999;
    }
    void copies()
    {
        QFETCH(QString, text);
        QFETCH(int, status);
        QFETCH(int, count);
        const Copies c = parseCopies(text, QLocale::c());
        QCOMPARE(int(c.status), status);
        QCOMPARE(c.count, count);
    }

    void sheetNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << "test1" << true;
        QTest::newRow("romanian and blanks") << "clasa a V-a, sesiunea ianuarie" << true;
        QTest::newRow("slash") << "../etc/x" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("two dots") << "a..b" << false;
        QTest::newRow("colon") << "c:x" << false;
        QTest::newRow("star") << "a*" << false;
        QTest::newRow("question mark") << "a?" << false;
        QTest::newRow("control character") << QString("a") + QChar(9) << false;
        QTest::newRow("blanks only") << "   " << false;
    }
    void sheetNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(isAcceptableSheetName(name), accepted);
    }
};

QTEST_GUILESS_MAIN(TstSheetGeometry)
#include "tst_sheet_geometry.moc"
