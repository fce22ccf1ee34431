// Bad input met through the screens: names holding bytes that are no letters,
// and names typed in scripts the code page lacks. Each is shown as well as it
// can be, found again by what the screen shows, and nothing stored is lost
// or garbled.
#include "store/codepage.h"
#include "store/collection_io.h"
#include "support/driver.h"

#include <QComboBox>
#include <QListWidget>
#include <QtEndian>
#include <QtTest>

using namespace culegere;
using test::Driver;

class TstBadInput : public QObject
{
    Q_OBJECT

private slots:
    // Names and paths holding control bytes, 0x7F, the bytes the code page
    // leaves unassigned, 0xFF and NUL: the screens must find the chapters and
    // pictures they name, and the exit must write each byte back.
    void namesWithBytesThatAreNoLettersSurviveEveryScreen()
    {
        const QByteArray controls("Ctrl\x01\x1b\x7f"
                                  "end");
        const QByteArray unassigned("Cod\x81\x83\x88\x90\x98pagina");
        const QByteArray nulAndFf("Nul\0mijloc\xff", 11);
        const QByteArrayList names{controls, unassigned, nulAndFf};
        Collection c;
        for (int k = 0; k < 3; ++k)
            test::addChapter(c, names[k], qint16(5 - k));
        for (int i = 1; i <= 12; ++i) {
            test::addProblem(c, names[(i > 5) + (i > 9)], test::pictureIndex(i), qint16(i % 5));
            if (i % 3 == 0)
                c.ProblemTable[c.lastProblemRow()].ImagePath.assign(
                    QByteArray("C:\\\x02\x7f\x81\xff\0x\\Probleme\\probl", 24) +
                    test::pictureIndex(i).toLatin1() + ".jpg");
        }
        for (const QByteArray &pupil : {QByteArray("Ana\0Maria\x90\x01", 11),
                                        QByteArray("Ion\x7f\xff\x83"), QByteArray(30, 0)})
            c.UserTable[c.NextUserRecord++] = test::result(pupil, 7, 5, {2026, 3, 1});
        Driver d(c);
        const test::FolderBytes before = test::folderBytes(d.path());
        STEP(d.startOrFail());

        // What a list shows is turned back into the stored bytes.
        STEP(d.chooseMenu("mnuAddCap"));
        const QStringList shown = test::lines(Driver::control<QListWidget>("frmAddCap", "listCap"));
        QCOMPARE(shown.size(), 3);
        for (int k = 0; k < 3; ++k)
            QCOMPARE(encodeCp1250(shown[k]), names[k]);
        STEP(Driver::press("frmAddCap", "Command3"));

        // The editor finds a problem of such a chapter, at such a path, and shows
        // its chapter and its picture.
        STEP(d.chooseMenu("mnuSeteazaProbl"));
        d.platform.textAnswers = {test::pictureIndex(9)};
        STEP(Driver::press("frmSetProblema", "Command1"));
        QCOMPARE(Driver::control<QComboBox>("frmSetProblema", "Combo1")->currentText(), shown[1]);
        QVERIFY(!Driver::control<QWidget>("frmSetProblema", "Picture1")
                     ->property("imagePath")
                     .toString()
                     .isEmpty());
        STEP(Driver::press("frmSetProblema", "Command3"));

        // The definition finds the chapters chosen by their lines.
        STEP(d.definePerChapter({{shown[1], 4}, {shown[0], 5}}));
        STEP(d.draw());
        QVERIFY(d.shownIndex() > 0);
        QVERIFY(d.exit());
        QCOMPARE(test::folderBytes(d.path(), {".culegere.lock"}), before);
    }

    // A pupil's name typed in a script the code page lacks must take one byte
    // per character and never run into the grade stored after it.
    void typedNameNeverSpillsIntoTheGrade_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored"); // before the blanks that pad it to 30
        const QString a29(29, u'a');
        QTest::newRow("surrogate pair at the 30th position")
            << a29 + QStringLiteral("\U0001F600") << a29.toLatin1() + '?';
        QTest::newRow("60 Chinese characters") << QString(60, QChar(0x4E2D)) << QByteArray(30, '?');
    }
    void typedNameNeverSpillsIntoTheGrade()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        Driver d;
        STEP(d.startOrFail());
        d.platform.textAnswers = {typed};
        STEP(d.press("Command5"));
        STEP(d.takeTest(6));
        QCOMPARE(d.grade(), 7);

        const QByteArray users = d.folder().read(datafile::Users);
        QCOMPARE(users.size(), 2 * UserRecord::Size);
        const QByteArray result = users.mid(UserRecord::Size);
        QCOMPARE(result.left(30), stored.leftJustified(30));
        QCOMPARE(qFromLittleEndian<qint16>(result.constData() + 30), qint16(7));
    }
};

QTEST_MAIN(TstBadInput)
#include "tst_bad_input.moc"
