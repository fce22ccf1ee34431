// "Backup" and "Testeaza Integritatea Culegerii" from the menu: their
// messages and cues.
#include "archive/archive_messages.h"
#include "archive/result_archive.h"
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
                   "Test de integritate reusit!... Culrgerea are un numar de:  120 probleme...",
                   archivemsg::CheckAbsent};
        QTest::newRow("empty collection")
            << 0 << 0 << -1
            << QStringList{
                   "Test de integritate reusit!... Culrgerea are un numar de:  0 probleme...",
                   archivemsg::CheckAbsent};
        QTest::newRow("one picture missing")
            << 20 << 20 << 12
            << QStringList{"Problema cu indexul: 00012 nu se mai afla in folderul -probleme-",
                           archivemsg::CheckAbsent};
        QTest::newRow("totals disagree")
            << 120 << 119 << -1
            << QStringList{"Exista nepotriviri in baza de date!... Va rugam sa verificati...",
                           archivemsg::CheckAbsent};
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

    // The archive beside the data files: copied by the backup (consistent,
    // all or nothing) and reported by the integrity check; a damaged one is
    // neither copied nor repaired there, and its old copy stays.
    void archiveInBackupAndIntegrity_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("integrity");
        QTest::newRow("absent") << "absent" << archivemsg::CheckAbsent;
        QTest::newRow("present") << "present" << archivemsg::CheckOk.arg(2);
        QTest::newRow("damaged") << "damaged"
                                 << "Arhiva rezultatelor este deteriorata: ";
    }
    void archiveInBackupAndIntegrity()
    {
        QFETCH(QString, archive);
        QFETCH(QString, integrity);
        test::RunningApp a(catalogue(3, 3));
        addPictureFiles(a.dir, 3);
        const QByteArray garbage(2048, '\x33');
        if (archive == "present") {
            ResultArchive made(a.dir.filePath("Arhiva.sqlite"));
            QVERIFY(made.open().ok());
            ArchivedTest t;
            t.pupil = "Ana";
            t.date = {2026, 5, 5};
            QVERIFY(made.add({t, t}).ok());
        }
        if (archive == "damaged")
            a.dir.write("Arhiva.sqlite", garbage);
        a.dir.write("backup/arhiva.sqlite", "old copy");

        a.action("mnuBackup")->trigger();
        if (archive == "damaged") {
            QCOMPARE(a.platform.messages.size(), 1);
            QVERIFY(a.platform.messages[0].text.contains("arhiva.sqlite"));
            QCOMPARE(a.dir.read("backup/arhiva.sqlite"), QByteArray("old copy"));
        } else {
            QCOMPARE(a.platform.messageTexts(), QStringList{});
            QCOMPARE(a.platform.cueNames(), QStringList{"setareok.wav"});
        }
        if (archive == "present") {
            ResultArchive copy(a.dir.filePath("backup/arhiva.sqlite"));
            QVERIFY(copy.open(false).ok());
            QCOMPARE(copy.testCount(), 2);
            QVERIFY(!a.dir.exists("backup/arhiva.sqlite.copie"));
        }

        a.platform.clear();
        a.action("mnuTesteazaIntegritate")->trigger();
        QCOMPARE(a.platform.messageTexts().size(), 2);
        QVERIFY2(a.platform.messageTexts().last().startsWith(integrity),
                 qPrintable(a.platform.messageTexts().last()));
        if (archive == "damaged")
            QCOMPARE(a.dir.read("Arhiva.sqlite"), garbage);
        QCOMPARE(a.dir.exists("Arhiva.sqlite"), archive != "absent");
    }
};

QTEST_MAIN(TstMaintenance)
#include "tst_maintenance.moc"
