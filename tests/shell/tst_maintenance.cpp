// "Backup" and "Testeaza Integritatea Culegerii" from the menu: what they
// copy, their messages and cues, the results' archive beside the data files.
#include "archive/archive_messages.h"
#include "archive/result_archive.h"
#include "store/collection_io.h"
#include "support/driver.h"
#include "support/file_size_limit.h"

#include <QtTest>

#include <optional>

using namespace culegere;

namespace {

// `problems` problems in chapter A, whose counter says `total`.
Collection catalogue(int problems, int total)
{
    Collection c;
    test::addChapter(c, "A", qint16(total));
    for (int i = 1; i <= problems; ++i)
        test::addProblem(c, "A", test::pictureIndex(i));
    return c;
}

// The archive: "none", two tests in it, or bytes that are no archive.
void makeArchive(test::TempAppFolder &dir, const QString &archive)
{
    if (archive == "damaged")
        dir.write("Arhiva.sqlite", QByteArray(2048, '\x33'));
    if (archive != "present")
        return;
    ResultArchive made(dir.filePath("Arhiva.sqlite"));
    QVERIFY(made.open().ok());
    ArchivedTest t;
    t.pupil = "Ana";
    t.date = {2026, 5, 5};
    QVERIFY(made.add({t, t}).ok());
}

} // namespace

class TstMaintenance : public QObject
{
    Q_OBJECT

private slots:
    // The data files and the archive are copied into "backup", all or
    // nothing; a damaged archive is neither copied nor repaired, and its
    // old copy stays.
    void backup_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("failed"); // the file named, "" when all is copied
        QTest::newRow("no archive") << "none" << false << "";
        QTest::newRow("an archive") << "present" << false << "";
        QTest::newRow("a damaged archive") << "damaged" << false << "arhiva.sqlite";
        QTest::newRow("disk full") << "none" << true << "problems.stn";
    }
    void backup()
    {
        QFETCH(QString, archive);
        QFETCH(bool, diskFull);
        QFETCH(QString, failed);
        test::Driver d(catalogue(30, 30));
        test::TempAppFolder &dir = d.folder();
        STEP(makeArchive(dir, archive));
        dir.write("backup/arhiva.sqlite", "old copy");
        d.startOrFail();
        {
            std::optional<test::FileSizeLimit> full;
            if (diskFull)
                full.emplace(1024);
            d.chooseMenu("mnuBackup");
        }
        if (!failed.isEmpty()) {
            QCOMPARE(d.platform.messages.size(), 1);
            QVERIFY2(d.platform.messages[0].text.contains(failed),
                     qPrintable(d.platform.messages[0].text));
            QVERIFY(d.platform.cues.isEmpty());
            if (archive == "damaged")
                QCOMPARE(dir.read("backup/arhiva.sqlite"), QByteArray("old copy"));
            return;
        }
        QCOMPARE(d.platform.messageTexts(), QStringList());
        QCOMPARE(d.platform.cueNames(), QStringList{"setareok.wav"});
        QCOMPARE(dir.read("backup/problems.stn"), dir.read(datafile::Problems));
        if (archive == "present") {
            ResultArchive copy(dir.filePath("backup/arhiva.sqlite"));
            QVERIFY(copy.open(false).ok());
            QCOMPARE(copy.testCount(), 2);
        }
    }

    // Three pictures no problem uses lie in the folder too.
    void integrity_data()
    {
        QTest::addColumn<int>("problems");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("missing");
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QStringList>("messages"); // the last one: how it begins
        QTest::newRow("all present")
            << 120 << 120 << -1 << "none"
            << QStringList{
                   "Test de integritate reusit!... Culrgerea are un numar de:  120 probleme...",
                   archivemsg::CheckAbsent};
        QTest::newRow("one picture missing")
            << 20 << 20 << 12 << "present"
            << QStringList{"Problema cu indexul: 00012 nu se mai afla in folderul -probleme-",
                           archivemsg::CheckOk.arg(2)};
        QTest::newRow("totals disagree")
            << 20 << 19 << -1 << "damaged"
            << QStringList{"Exista nepotriviri in baza de date!... Va rugam sa verificati...",
                           "Arhiva rezultatelor este deteriorata: "};
    }
    void integrity()
    {
        QFETCH(int, problems);
        QFETCH(int, total);
        QFETCH(int, missing);
        QFETCH(QString, archive);
        QFETCH(QStringList, messages);
        test::Driver d(catalogue(problems, total));
        test::TempAppFolder &dir = d.folder();
        for (int i = problems + 1; i <= problems + 3; ++i)
            dir.addPicture(test::pictureIndex(i));
        if (missing > 0)
            QFile::remove(dir.filePath("probleme/probl" + test::pictureIndex(missing) + ".jpg"));
        STEP(makeArchive(dir, archive));
        const QByteArray archiveBytes = dir.read("Arhiva.sqlite");
        d.startOrFail();
        d.chooseMenu("mnuTesteazaIntegritate");
        const QStringList shown = d.platform.messageTexts();
        QCOMPARE(shown.size(), messages.size());
        QCOMPARE(shown.first(), messages.first());
        QVERIFY2(shown.last().startsWith(messages.last()), qPrintable(shown.last()));
        QCOMPARE(d.platform.messages[0].title, QString("Culegere electronica"));
        QCOMPARE(d.platform.cueNames(), QStringList{"exitform.wav"});
        if (archive != "present") // checked, never made nor repaired
            QCOMPARE(dir.read("Arhiva.sqlite"), archiveBytes);
    }
};

QTEST_MAIN(TstMaintenance)
#include "tst_maintenance.moc"
