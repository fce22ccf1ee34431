// Bad input met through the program's screens: data files with damaged
// headers or cut short, names holding bytes that are no letters, picture
// files that are no pictures, and names typed in scripts the code page lacks.
// Each is answered with a clear message or shown as well as it can be, and
// nothing stored is lost or garbled.
#include "pictures/picture_file.h"
#include "shell/shell_messages.h"
#include "store/collection_io.h"
#include "store/record_file.h"
#include "support/running_app.h"
#include "support/user_input.h"
#include "testing/testing_messages.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtEndian>
#include <QtTest>

#include <sys/resource.h>

using namespace culegere;
using test::child;
using test::ScriptedPlatform;
using test::TempAppFolder;
using test::topLevel;

namespace {

struct DataBytes
{
    QByteArray users, caps, problems;

    static DataBytes of(const TempAppFolder &dir)
    {
        return {dir.read(datafile::Users), dir.read(datafile::Chapters),
                dir.read(datafile::Problems)};
    }
    bool operator==(const DataBytes &) const = default;
};

// The program on a folder prepared by the caller; start() may be refused.
struct Program
{
    ScriptedPlatform platform;
    std::unique_ptr<Application> app;

    explicit Program(const TempAppFolder &dir)
        : app(std::make_unique<Application>(dir.path(), platform))
    {
    }
    QWidget *main() const { return app->mainScreen(); }
    template <typename T> T *control(const QString &name) const { return child<T>(main(), name); }
    QPushButton *button(const QString &name) const { return control<QPushButton>(name); }
    void trigger(const QString &action) const { child<QAction>(main(), action)->trigger(); }
    template <typename T> T *on(const QString &screen, const QString &name) const
    {
        return child<T>(topLevel(screen), name);
    }
    QString picture(const QString &screen = {}) const
    {
        QWidget *box =
            screen.isEmpty() ? control<QWidget>("Picture1") : on<QWidget>(screen, "Picture1");
        return box->property("imagePath").toString();
    }

    void defineWholeCollection() const
    {
        button("btnDefTest")->click();
        on<QPushButton>("frmDefTest", "Command1")->click();
        on<QPushButton>("frmDefTest", "Command3")->click();
    }
    // Draws, marks variant a everywhere and corrects.
    void takeTest() const
    {
        defineWholeCollection();
        button("Command4")->click();
        for (int p = 0; p < 9; ++p) {
            control<QRadioButton>("Option1_0")->click();
            button("Command1")->click();
        }
        button("Command3")->click();
    }
    QStringList listed(const QString &screen, const QString &list) const
    {
        QStringList lines;
        auto *box = on<QListWidget>(screen, list);
        for (int i = 0; i < box->count(); ++i)
            lines.append(box->item(i)->text());
        return lines;
    }
    QStringList comboLines(const QString &screen) const
    {
        QStringList lines;
        auto *combo = on<QComboBox>(screen, "Combo1");
        for (int i = 0; i < combo->count(); ++i)
            lines.append(combo->itemText(i));
        return lines;
    }
    void chooseLine(const QString &screen, int line) const
    {
        test::chooseLine(on<QComboBox>(screen, "Combo1"), line);
    }
};

// Chapters A (problems 1, 2) and B (problem 3), two results: the files are
// 612, 1832 and 126 bytes long.
Collection smallCollection()
{
    Collection c;
    test::addChapter(c, "A", 2);
    test::addChapter(c, "B", 1);
    test::addProblem(c, "A", test::pictureIndex(1));
    test::addProblem(c, "A", test::pictureIndex(2));
    test::addProblem(c, "B", test::pictureIndex(3));
    c.UserTable[2] = test::result("Ana", 9, 12, {2026, 3, 1});
    c.UserTable[3] = test::result("Ion", 4, 30, {2026, 3, 2});
    c.NextUserRecord = 4;
    return c;
}

// A JPEG of `size`; with `detail` its scan data is most of the file.
QByteArray jpegBytes(QSize size, bool detail, QColor color = Qt::darkBlue)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    if (detail) {
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y,
                               qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x ^ y) * 5 % 256));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG"))
        qFatal("cannot encode a JPEG");
    return bytes;
}

// Every problem picture is 1095 x 375 twips, the size the sheet gives a
// problem without a picture, so every block of a sheet is alike.
constexpr QSize kPicture{73, 25};

qint64 peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Rows of the sheet, down the column x, painted in the pictures' blue.
int blueRows(const QImage &page, int x)
{
    int rows = 0;
    for (int y = 0; y < page.height(); ++y) {
        const QRgb p = page.pixel(x, y);
        rows += qBlue(p) > 80 && qRed(p) < 60 && qGreen(p) < 60 ? 1 : 0;
    }
    return rows;
}

QByteArray record(const QByteArray &file, int n, int length)
{
    return file.mid(qsizetype(n - 1) * length, length);
}

} // namespace

class TstBadInput : public QObject
{
    Q_OBJECT

private slots:
    // A header the tables cannot hold, or a file that lost records in use
    // (copied off a memory stick pulled out too early), must stop the start
    // with a message naming the file and change nothing; stale records
    // after the ones in use, or a missing record NextUserRecord, are normal.
    void damagedFilesStopTheStartOthersLoad_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("refusal"); // a word of the message; "" when the start goes on
        QTest::addColumn<int>("chapters");
        QTest::addColumn<int>("results");

        TempAppFolder base;
        base.writeCollection(smallCollection());
        const DataBytes d = DataBytes::of(base);
        QCOMPARE(d.caps.size(), 612);
        const QString negative = "negativ";
        const QString cut = "-backup-";
        const QByteArray half(ProblemRecord::Size / 2, 'x');

        QTest::newRow("Caps.stn with a negative count")
            << datafile::Chapters << chapterHeader(-1) + d.caps.mid(204) << negative << 0 << 0;
        QTest::newRow("Problems.stn with a negative count")
            << datafile::Problems << problemHeader(-5) + d.problems.mid(458) << negative << 0 << 0;
        QTest::newRow("Caps.stn with a chapter in use missing")
            << datafile::Chapters << d.caps.left(2 * 204) << cut << 0 << 0;
        QTest::newRow("Caps.stn with its last chapter cut")
            << datafile::Chapters << d.caps.chopped(1) << cut << 0 << 0;
        QTest::newRow("Caps.stn with its header cut")
            << datafile::Chapters << d.caps.left(150) << cut << 0 << 0;
        QTest::newRow("Problems.stn with only its header")
            << datafile::Problems << d.problems.left(458) << cut << 0 << 0;
        QTest::newRow("Problems.stn with its last problem cut")
            << datafile::Problems << d.problems.chopped(200) << cut << 0 << 0;
        QTest::newRow("Users.stn with a result missing")
            << datafile::Users << d.users.left(2 * 42) << cut << 0 << 0;
        QTest::newRow("Users.stn with its last result cut")
            << datafile::Users << d.users.chopped(5) << cut << 0 << 0;

        QTest::newRow("Users.stn whole, record NextUserRecord past the end")
            << datafile::Users << d.users << "" << 2 << 2;
        QTest::newRow("Users.stn cut inside record NextUserRecord")
            << datafile::Users << d.users + QByteArray(20, 'z') << "" << 2 << 2;
        QTest::newRow("Users.stn header 1 with stale results")
            << datafile::Users << userHeader(1) + d.users.mid(42) << "" << 2 << 0;
        QTest::newRow("Users.stn header 0 cut inside a stale result")
            << datafile::Users << userHeader(0) + d.users.mid(42).chopped(3) << "" << 2 << 0;
        QTest::newRow("Caps.stn with stale chapters past its count")
            << datafile::Chapters << chapterHeader(1) + d.caps.mid(204) << "" << 1 << 2;
        QTest::newRow("Caps.stn with a stale chapter cut")
            << datafile::Chapters << chapterHeader(1) + d.caps.mid(204).chopped(7) << "" << 1 << 2;
        QTest::newRow("Problems.stn with a stale problem cut")
            << datafile::Problems << d.problems + half << "" << 2 << 2;
        QTest::newRow("Caps.stn empty") << datafile::Chapters << QByteArray() << "" << 0 << 2;
    }
    void damagedFilesStopTheStartOthersLoad()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, refusal);
        QFETCH(int, chapters);
        QFETCH(int, results);
        TempAppFolder dir;
        dir.writeCollection(smallCollection());
        dir.write(file, content);
        const DataBytes before = DataBytes::of(dir);
        {
            Program p(dir);
            const bool started = p.app->start();
            QCOMPARE(started, refusal.isEmpty());
            if (!started) {
                QCOMPARE(p.platform.messages.size(), 1);
                const QString text = p.platform.messages[0].text;
                QVERIFY2(text.contains(file) && text.contains(refusal), qPrintable(text));
                QVERIFY(text.endsWith(
                    "Programul nu poate porni; niciun fisier nu a fost modificat..."));
                QCOMPARE(test::visibleTopLevels(), QStringList());
            } else {
                QVERIFY(p.platform.messages.isEmpty());
                QCOMPARE(p.listed("frmAddCap", "listCap").size(), chapters);
                p.trigger("mnuRezultate");
                if (results == 0) {
                    QCOMPARE(p.platform.messageTexts(), QStringList{"Nu exista inregistrari"});
                } else {
                    QCOMPARE(p.listed("frmRezultate", "List1").size(), results);
                }
            }
            QVERIFY(DataBytes::of(dir) == before);
        }
        QVERIFY(DataBytes::of(dir) == before); // ending without the exit writes nothing
        if (!refusal.isEmpty()) {
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                     QStringList({datafile::Chapters, datafile::Problems, datafile::Users}));
        }
    }

    // Names and paths holding control bytes, 0x7F, the bytes the code page
    // leaves unassigned, 0xFF and NUL: every screen must find the chapters
    // and pictures they name, and the exit must write each byte back.
    void namesWithBytesThatAreNoLettersSurviveEveryScreen()
    {
        const QByteArray controls("Ctrl\x01\x1b\x7f"
                                  "end");
        const QByteArray unassigned("Cod\x81\x83\x88\x90\x98pagina");
        const QByteArray nulAndFf("Nul\0mijloc\xff", 11);
        Collection c;
        test::addChapter(c, controls, 5);
        test::addChapter(c, unassigned, 4);
        test::addChapter(c, nulAndFf, 3);
        for (int i = 1; i <= 12; ++i) {
            const QByteArray &chapter = i <= 5 ? controls : i <= 9 ? unassigned : nulAndFf;
            test::addProblem(c, chapter, test::pictureIndex(i), qint16(i % 5));
            if (i % 3 == 0) {
                const QByteArray path = QByteArray("C:\\\x02\x7f\x81\xff", 7) + '\0' +
                                        "x\\Probleme\\probl" + test::pictureIndex(i).toLatin1() +
                                        ".jpg";
                c.ProblemTable[c.lastProblemRow()].ImagePath.assign(path);
            }
        }
        c.UserTable[2] = test::result(QByteArray("Ana\0Maria\x90\x01", 11), 7, 5, {2026, 3, 1});
        c.UserTable[3] = test::result("Ion\x7f\xff\x83", 9, 6, {2026, 3, 2});
        c.UserTable[4] = test::result(QByteArray(30, '\0'), 5, 7, {2026, 3, 3});
        c.NextUserRecord = 5;

        TempAppFolder dir;
        dir.writeCollection(c);
        for (int i = 1; i <= 12; ++i)
            dir.addPicture(test::pictureIndex(i), kPicture);
        const DataBytes before = DataBytes::of(dir);
        Program p(dir);
        QVERIFY(p.app->start());

        // What a list shows is turned back into the stored bytes.
        const QByteArrayList names{controls, unassigned, nulAndFf};
        QStringList shown = p.listed("frmAddCap", "listCap");
        QCOMPARE(shown.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(encodeCp1250(shown[i]), names[i]);

        // The browser loads each chapter by the name in its box.
        p.trigger("mnuRezolva");
        QCOMPARE(p.comboLines("frmRezolva").size(), 3);
        for (int line = 0; line < 3; ++line) {
            p.chooseLine("frmRezolva", line);
            p.on<QPushButton>("frmRezolva", "Command5")->click();
            QVERIFY2(!p.picture("frmRezolva").isEmpty(), qPrintable(QString::number(line)));
        }
        p.on<QPushButton>("frmRezolva", "Command6")->click();

        // The editor finds a problem of such a chapter and shows its chapter.
        p.trigger("mnuSeteazaProbl");
        QCOMPARE(p.comboLines("frmSetProblema").size(), 3);
        p.platform.textAnswers = {test::pictureIndex(9)};
        p.on<QPushButton>("frmSetProblema", "Command1")->click();
        QCOMPARE(encodeCp1250(p.on<QComboBox>("frmSetProblema", "Combo1")->currentText()),
                 unassigned);
        QVERIFY(!p.picture("frmSetProblema").isEmpty());
        p.on<QPushButton>("frmSetProblema", "Command3")->click();

        // Each result keeps its 30 places in its line.
        p.trigger("mnuRezultate");
        shown = p.listed("frmRezultate", "List1");
        QCOMPARE(shown.size(), 3);
        for (const QString &line : shown)
            QCOMPARE(line.mid(30, 2), QString("--"));
        p.on<QPushButton>("frmRezultate", "Command1")->click();

        p.platform.clear();
        p.trigger("mnuTesteazaIntegritate");
        QCOMPARE(p.platform.messageTexts().size(), 2);
        QCOMPARE(p.platform.messageTexts().first(), shellmsg::IntegrityOk.arg(" 12"));
        QVERIFY(p.platform.messageTexts().last().startsWith("Arhiva rezultatelor"));

        // The definition finds the chapters chosen by their lines (last: a
        // drawn test closes the other screens' menu items).
        p.button("btnDefTest")->click();
        p.on<QRadioButton>("frmDefTest", "Option2")->click();
        QCOMPARE(p.comboLines("frmDefTest").size(), 3);
        for (const auto &[line, count] : {std::pair{1, 4}, std::pair{0, 5}}) {
            p.chooseLine("frmDefTest", line);
            p.on<QScrollBar>("frmDefTest", "HScroll1")->setValue(count);
            p.on<QPushButton>("frmDefTest", "Command2")->click();
        }
        QCOMPARE(p.listed("frmDefTest", "listCap").size(), 2);
        p.platform.clear();
        p.on<QPushButton>("frmDefTest", "Command1")->click();
        QCOMPARE(p.platform.messageTexts(),
                 QStringList{"Testul a fost setat cu succes! Have fun!!!"});
        p.on<QPushButton>("frmDefTest", "Command3")->click();

        // The draw shows a picture at each position, also for odd paths.
        p.button("Command4")->click();
        for (int pos = 0; pos < 9; ++pos) {
            QVERIFY2(!p.picture().isEmpty(), qPrintable(QString::number(pos)));
            const QByteArray chapter = encodeCp1250(p.control<QLabel>("Label2")->text()).trimmed();
            QVERIFY(chapter == controls || chapter == unassigned);
            p.button("Command1")->click();
        }

        QVERIFY(p.main()->close());
        QVERIFY(DataBytes::of(dir) == before);
    }

    // A picture file that is no picture, is cut short or claims a size far
    // beyond any scan must leave every box empty without decoding it, and
    // the sheet must keep the other eight pictures at their size.
    void brokenPictureLeavesItsBoxEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray detailed = jpegBytes(kPicture, true);
        const QByteArray half = detailed.left(detailed.size() / 2);
        QVERIFY2(half.size() > detailed.indexOf("\xff\xda"), "the cut must fall in the scan data");
        QByteArray huge = jpegBytes(kPicture, false);
        const qsizetype sof = huge.indexOf("\xff\xc0");
        QVERIFY(sof > 0);
        for (const int at : {5, 7}) // height, then width, big-endian
            qToBigEndian<quint16>(60000, huge.data() + sof + at);

        QTest::newRow("text named .jpg") << QByteArray("Problema 1: x + 2 = 5\n");
        QTest::newRow("first half of a JPEG") << half;
        QTest::newRow("JPEG claiming 60000 x 60000 pixels") << huge;
    }
    void brokenPictureLeavesItsBoxEmpty()
    {
        QFETCH(QByteArray, bytes);
        Collection c;
        test::addChapter(c, "A", 9);
        for (int i = 1; i <= 9; ++i)
            test::addProblem(c, "A", test::pictureIndex(i));
        TempAppFolder dir;
        dir.writeCollection(c);
        for (int i = 2; i <= 9; ++i)
            dir.addPicture(test::pictureIndex(i), kPicture, Qt::darkBlue);
        dir.write("probleme/probl00001.jpg", bytes);
        const QString broken = dir.filePath("probleme/probl00001.jpg");
        if (bytes.startsWith("\xff\xd8"))
            QVERIFY(QImageReader(broken).size().isValid()); // the header itself reads

        const qint64 peakBefore = peakMemoryKb();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(readPicture(broken).isNull());
        QVERIFY(readPicture(broken, {200, 100}).isNull());
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));

        Program p(dir);
        QVERIFY(p.app->start());
        p.trigger("mnuRezolva");
        p.chooseLine("frmRezolva", 0);
        p.on<QPushButton>("frmRezolva", "Command5")->click(); // problem 00001 first
        QCOMPARE(p.picture("frmRezolva"), QString());
        p.on<QPushButton>("frmRezolva", "Command2")->click();
        QCOMPARE(p.picture("frmRezolva"), dir.filePath("probleme/probl00002.jpg"));
        p.on<QPushButton>("frmRezolva", "Command6")->click();

        p.trigger("mnuSeteazaProbl");
        p.platform.clear();
        p.platform.textAnswers = {test::pictureIndex(1)};
        p.on<QPushButton>("frmSetProblema", "Command1")->click();
        QCOMPARE(p.picture("frmSetProblema"), QString());
        QVERIFY(p.platform.messages.isEmpty()); // the file is there: not reported missing
        p.on<QPushButton>("frmSetProblema", "Command3")->click();

        // The main screen during a test: one position of nine shows nothing.
        p.defineWholeCollection();
        p.button("Command4")->click();
        int empty = 0;
        for (int pos = 0; pos < 9; ++pos) {
            empty += p.picture().isEmpty() ? 1 : 0;
            p.button("Command1")->click();
        }
        QCOMPARE(empty, 1);

        // The sheet: one blank block, the others as with a good picture.
        p.trigger("mnuPrint");
        p.on<QRadioButton>("frmTipareste", "Option1")->click();
        auto printTo = [&p, &dir](const QString &name) {
            p.platform.clear();
            p.on<QLineEdit>("frmTipareste", "Text2")->setText(name);
            p.on<QPushButton>("frmTipareste", "Command2")->click();
            return QImage(dir.filePath("teste/" + name + ".jpg"));
        };
        const QImage withBroken = printTo("cu_problema_stricata");
        QVERIFY(p.platform.messages.isEmpty());
        QCOMPARE(p.platform.cueNames(), QStringList{"setareok.wav"});
        dir.addPicture(test::pictureIndex(1), kPicture, Qt::darkBlue);
        const QImage whole = printTo("intreaga");
        QCOMPARE(withBroken.size(), whole.size());
        const int x = whole.width() / 4;
        const int all = blueRows(whole, x);
        QVERIFY(all > 500);
        QVERIFY2(qAbs(blueRows(withBroken, x) * 9 - all * 8) <= 9 * 4,
                 qPrintable(QStringLiteral("%1 of %2").arg(blueRows(withBroken, x)).arg(all)));

        QVERIFY2(peakMemoryKb() - peakBefore < 150 * 1024,
                 qPrintable(QStringLiteral("%1 KB more").arg(peakMemoryKb() - peakBefore)));
    }

    // A pupil's name typed in a script the code page lacks must take one byte
    // per character and never run into the grade stored after it.
    void typedNameNeverSpillsIntoTheGrade_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored"); // before the blanks that pad it to 30
        const QString a29(29, u'a');
        QTest::newRow("emoji") << QStringLiteral("Ana \U0001F600 Pop") << QByteArray("Ana ? Pop");
        QTest::newRow("Chinese") << QStringLiteral("王小明") << QByteArray("???");
        QTest::newRow("Cyrillic") << QStringLiteral("Пётр Иванов") << QByteArray("???? ??????");
        QTest::newRow("Greek") << QStringLiteral("Ωμέγα") << QByteArray("?????");
        QTest::newRow("Romanian with comma below") << QStringLiteral("Ștefan Țară")
                                                   << QByteArray("\xaatefan \xde"
                                                                 "ar\xe3");
        QTest::newRow("surrogate pair at the 30th position")
            << a29 + QStringLiteral("\U0001F600") << a29.toLatin1() + '?';
        QTest::newRow("surrogate pair at the 30th position, more after")
            << a29 + QStringLiteral("\U0001F600xyz") << a29.toLatin1() + '?';
        QTest::newRow("60 Chinese characters") << QString(60, QChar(0x4E2D)) << QByteArray(30, '?');
    }
    void typedNameNeverSpillsIntoTheGrade()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        Collection c;
        test::addChapter(c, "A", 9);
        for (int i = 1; i <= 9; ++i)
            test::addProblem(c, "A", test::pictureIndex(i), 1);
        TempAppFolder dir;
        dir.writeCollection(c);
        Program p(dir);
        QVERIFY(p.app->start());
        p.platform.textAnswers = {typed};
        p.button("Command5")->click();
        p.takeTest();
        for (const QString &text : p.platform.messageTexts())
            QVERIFY2(!text.startsWith("Rezultatul"), qPrintable(text));
        const QString grade = p.control<QLineEdit>("Text2")->text();
        QVERIFY(!grade.isEmpty());

        const QByteArray users = dir.read(datafile::Users);
        QCOMPARE(users.size(), 2 * UserRecord::Size);
        const QByteArray result = record(users, 2, UserRecord::Size);
        QCOMPARE(result.left(30), stored + QByteArray(30 - stored.size(), ' '));
        QCOMPARE(qFromLittleEndian<qint16>(result.constData() + 30), qint16(grade.toInt()));
        QCOMPARE(qFromLittleEndian<qint16>(result.constData() + 32), qint16(0));
        QCOMPARE(qFromLittleEndian<double>(result.constData() + 34), dateToSerial(p.platform.date));
    }

    // A chapter name typed in such a script must be cut at 100 bytes and
    // leave the counter after it, and the next chapter, as they should be.
    void typedChapterNameIsCutAtItsField_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QString emoji;
        for (int i = 0; i < 120; ++i)
            emoji += QStringLiteral("\U0001F4D0");
        QTest::newRow("120 emoji") << emoji << QByteArray(100, '?');
        QTest::newRow("150 Cyrillic letters")
            << QString(150, QChar(0x0416)) << QByteArray(100, '?');
        QTest::newRow("99 letters, then Greek")
            << QString(99, u'g') + QStringLiteral("ΩΩΩ") << QByteArray(99, 'g') + '?';
    }
    void typedChapterNameIsCutAtItsField()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        TempAppFolder dir;
        dir.writeCollection(Collection());
        Program p(dir);
        QVERIFY(p.app->start());
        p.trigger("mnuAddCap");
        for (const QString &name : {typed, QStringLiteral("Vecin")}) {
            p.on<QLineEdit>("frmAddCap", "Text1")->setText(name);
            p.on<QPushButton>("frmAddCap", "Command1")->click();
        }
        QCOMPARE(p.listed("frmAddCap", "listCap").size(), 2);
        QVERIFY(p.main()->close());

        const QByteArray caps = dir.read(datafile::Chapters);
        QCOMPARE(caps.size(), 3 * ChapterRecord::Size);
        const QByteArray first = record(caps, 2, ChapterRecord::Size);
        QCOMPARE(first.left(100), stored + QByteArray(100 - stored.size(), ' '));
        QCOMPARE(first.mid(100), QByteArray(104, '\0')); // counter, draw count, reserved
        QCOMPARE(record(caps, 3, ChapterRecord::Size).left(100),
                 QByteArray("Vecin").leftJustified(100));
        QCOMPARE(qFromLittleEndian<qint16>(caps.constData() + 100), qint16(2));
    }
};

QTEST_MAIN(TstBadInput)
#include "tst_bad_input.moc"
