// "Backup" and "Testeaza Integritatea Culegerii" from the menu: their
// messages and cues.
#include "store/collection_io.h"
#include "support/file_size_limit.h"
#include "support/running_app.h"

#include <QtTest>

using namespace culegere;

namespace {

Collection catalogue(int problems, int total)
{
    Collection c;
    test::addChapter(c, "A", qint16(total));
    for (int i = 1; i <= problems; ++i)
        test::addProblem(c, "A", test::pictureIndex(i));
    return c;
}

void addPictureFiles(const test::TempAppFolder &dir, int count, int skip = -1)
{
    for (int i = 1; i <= count; ++i) {
        if (i != skip)
            dir.write("probleme/probl" + test::pictureIndex(i) + (i % 2 ? ".jpg" : ".JPG"), "x");
    }
}

} // namespace

class TstMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void backupCopiesAndSoundsOk()
    {
        test::RunningApp a(catalogue(3, 3));
        a.action("mnuBackup")->trigger();
        QVERIFY(a.platform.messages.isEmpty());
        QCOMPARE(a.platform.cueNames(), QStringList{"setareok.wav"});
        QCOMPARE(a.dir.read("backup/problems.stn"), a.dir.read(datafile::Problems));
    }

    void failedBackupIsReportedWithoutCue()
    {
        test::RunningApp a(catalogue(30, 30));
        {
            test::FileSizeLimit full(1024);
            a.action("mnuBackup")->trigger();
        }
        QCOMPARE(a.platform.messages.size(), 1);
        QVERIFY(a.platform.messages[0].text.contains("problems.stn"));
        QVERIFY(a.platform.cues.isEmpty());
    }

    void integrity_data()
    {
        QTest::addColumn<int>("problems");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("missing");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("all present")
            << 120 << 120 << -1
            << QStringList{
                   "Test de integritate reusit!... Culrgerea are un numar de:  120 probleme..."};
        QTest::newRow("empty collection")
            << 0 << 0 << -1
            << QStringList{
                   "Test de integritate reusit!... Culrgerea are un numar de:  0 probleme..."};
        QTest::newRow("one picture missing")
            << 20 << 20 << 12
            << QStringList{"Problema cu indexul: 00012 nu se mai afla in folderul -probleme-"};
        QTest::newRow("totals disagree")
            << 120 << 119 << -1
            << QStringList{"Exista nepotriviri in baza de date!... Va rugam sa verificati..."};
    }
    void integrity()
    {
        QFETCH(int, problems);
        QFETCH(int, total);
        QFETCH(int, missing);
        QFETCH(QStringList, messages);
        test::RunningApp a(catalogue(problems, total));
        addPictureFiles(a.dir, problems + 3, missing); // three pictures no problem uses
        a.action("mnuTesteazaIntegritate")->trigger();
        QCOMPARE(a.platform.messageTexts(), messages);
        QCOMPARE(a.platform.messages[0].title, QString("Culegere electronica"));
        QCOMPARE(a.platform.cueNames(), QStringList{"exitform.wav"});
    }
};

QTEST_MAIN(TstMaintenance)
#include "tst_maintenance.moc"
