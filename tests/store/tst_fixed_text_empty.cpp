// Regression (found by the sanitizer build): assigning an empty text copied
// from a null pointer, which is undefined even for zero bytes. An empty text
// in any form must blank the whole field.
#include "store/fixed_text.h"

#include <QtTest>

using namespace culegere;

class TstFixedTextEmpty : public QObject
{
    Q_OBJECT

private slots:
    void emptyTextBlanksTheField_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("assign a default view") << 0;
        QTest::newRow("assign a null QByteArray") << 1;
        QTest::newRow("assign an empty literal") << 2;
        QTest::newRow("assignKeepingEnd a default view") << 3;
        QTest::newRow("setText a null QString") << 4;
        QTest::newRow("fromBytes a default view") << 5;
    }
    void emptyTextBlanksTheField()
    {
        QFETCH(int, way);
        FixedText<8> text = FixedText<8>::fromBytes("previous");
        switch (way) {
        case 0:
            text.assign(QByteArrayView());
            break;
        case 1:
            text.assign(QByteArray());
            break;
        case 2:
            text.assign("");
            break;
        case 3:
            text.assignKeepingEnd(QByteArrayView());
            break;
        case 4:
            text.setText(QString());
            break;
        case 5:
            text = FixedText<8>::fromBytes(QByteArrayView());
            break;
        }
        QCOMPARE(text.bytes(), QByteArray(8, ' '));
        QCOMPARE(text.trimmed(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TstFixedTextEmpty)
#include "tst_fixed_text_empty.moc"
