// Where the sheet puts things, in twips of an A4 page, and the dialog's
// rules for margins, copies and file names.
#include "printing/sheet_geometry.h"

#include <QtTest>

using namespace culegere;

Q_DECLARE_METATYPE(culegere::Margins)

class TstSheetGeometry : public QObject
{
    Q_OBJECT

private slots:
    void placements_data()
    {
        QTest::addColumn<Margins>("margins");
        QTest::addColumn<QRect>("header");
        QTest::addColumn<QRect>("problems"); // null: no room left on the page
        QTest::newRow("default 2, 2, 1, 1") << Margins{2, 2, 1, 1} << QRect(1134, 283, 9639, 1134)
                                            << QRect(1134, 1984, 9639, 14288);
        QTest::newRow("no margins")
            << Margins{0, 0, 0, 0} << QRect(0, 283, 11907, 1134) << QRect(0, 1417, 11907, 15422);
        QTest::newRow("one decimal everywhere")
            << Margins{2.1f, 0.3f, 0.7f, 3.9f} << QRect(1190, 283, 10546, 1134)
            << QRect(1190, 1814, 10546, 12814);
        QTest::newRow("the widest margins that fit")
            << Margins{10.4f, 10.4f, 1, 1} << QRect(5896, 283, 113, 1134)
            << QRect(5896, 1984, 113, 14288);
        QTest::newRow("sides that leave no room")
            << Margins{10.5f, 10.5f, 1, 1} << QRect() << QRect();
        QTest::newRow("top and bottom that leave no room")
            << Margins{1, 1, 14, 13.2f} << QRect() << QRect();
    }
    void placements()
    {
        QFETCH(Margins, margins);
        QFETCH(QRect, header);
        QFETCH(QRect, problems);
        const SheetGeometry g = sheetGeometry(margins);
        QCOMPARE(g.fitsThePage(), !problems.isNull());
        if (!problems.isNull()) {
            QCOMPARE(g.header, header);
            QCOMPARE(g.problems, problems);
        }
    }

    // The pictures stacked at their own sizes (the stored sheet pins them),
    // 100 spare on the right and below; a stack too large for a picture is
    // scaled down alike.
    void montageTooLargeForAPicture()
    {
        const MontageLayout huge = montageLayout(QList<QSize>(9, QSize(40000, 8000)));
        QVERIFY(huge.size.width() <= 32767 && huge.size.height() <= 32767);
        QVERIFY(qAbs(huge.pictures[0].width() - huge.pictures[0].height() * 5) <= 5);
        QCOMPARE(huge.pictures[8].bottom() + 1, huge.size.height() - 100);
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

    // A problem's number stands in the left margin at the problem's top,
    // clear of the block, the same at any scale.
    void numberInTheLeftMargin()
    {
        const QRectF box = numberBox(2500, 1134, 1);
        QCOMPARE(box.top(), 2500.0);
        QVERIFY(box.left() >= 0 && box.right() < 1134 && box.width() > 283 && box.height() > 283);
        const double u = 96.0 / 1440; // device units of a 96 dpi page
        QCOMPARE(numberBox(200, 1134 * u, u),
                 QRectF(box.left() * u, 200, box.width() * u, box.height() * u));
    }

    // The bar runs from 4 cm at its top to 0 at its bottom, a tenth a step;
    // a margin typed is a number of centimetres up to 100.
    void margins()
    {
        const QLocale c = QLocale::c(), ro("ro_RO");
        QCOMPARE(marginText(19, ro), QString("2,1")); // one upper-arrow click
        QCOMPARE(marginText(0, c) + ' ' + marginText(40, c), QString("4 0"));
        QCOMPARE(*parseMargin("2,1", ro), 2.1f);
        QCOMPARE(*parseMargin("100", c), 100.f);
        for (const char *text : {"doi", "-1", "", "inf", "100.5"})
            QVERIFY2(!parseMargin(text, c), text);
    }

    void copies_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("count");
        QTest::newRow("2.5 rounds to even 2") << "2.5" << int(Copies::Count) << 2;
        QTest::newRow("3.5 rounds to even 4") << "3.5" << int(Copies::Count) << 4;
        QTest::newRow("0.4 is zero") << "0.4" << int(Copies::Zero) << 0;
        QTest::newRow("negative") << "-2" << int(Copies::Invalid) << -2;
        QTest::newRow("most allowed") << "999" << int(Copies::Count) << 999;
        QTest::newRow("too many") << "1000" << int(Copies::Invalid) << 1000;
        QTest::newRow("beyond 16 bits") << "70000" << int(Copies::Invalid) << 0;
        QTest::newRow("words") << "trei" << int(Copies::Invalid) << 0;
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

    void sheetNames()
    {
        QVERIFY(isAcceptableSheetName("clasa a V-a, sesiunea ianuarie"));
        for (const char *name : {"../etc/x", "a\\b", "a..b", "c:x", "a?", "a\t", "   "})
            QVERIFY2(!isAcceptableSheetName(name), name);
    }
};

QTEST_GUILESS_MAIN(TstSheetGeometry)
#include "tst_sheet_geometry.moc"
