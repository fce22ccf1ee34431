// Names under the application folder resolved without regard to letter case.
#include "folder/app_folder.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;

class TstAppFolder : public QObject
{
    Q_OBJECT

private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // relative to the folder
        auto row = [](const char *name, const char *path, const char *expected) {
            QTest::newRow(name) << QString(path) << QString(expected);
        };
        row("exact", "\\Caps.stn", "Caps.stn");
        row("other case", "\\caps.STN", "Caps.stn");
        row("nested, both components", "\\probleme\\probl00012.jpg", "Probleme/probl00012.JPG");
        row("forward slashes", "PROBLEME/PROBL00012.jpg", "Probleme/probl00012.JPG");
        row("missing keeps its spelling", "\\teste\\Clasa5.jpg", "teste/Clasa5.jpg");
        row("missing file in found folder", "\\probleme\\probl99999.jpg",
            "Probleme/probl99999.jpg");
    }
    void resolve()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        test::TempAppFolder dir;
        dir.write("Caps.stn", "x");
        dir.write("Probleme/probl00012.JPG", "x");
        const AppFolder folder(dir.path());
        QCOMPARE(folder.resolve(name), folder.root() + u'/' + expected);
    }
};

QTEST_GUILESS_MAIN(TstAppFolder)
#include "tst_app_folder.moc"
