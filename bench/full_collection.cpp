// The full-size collection of the benchmarks; see full_collection.h.

#include "full_collection.h"

#include "store/collection_io.h"
#include "store/problem_paths.h"
#include "store/records.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <memory>

namespace culegere::bench {

void fillFullCollection(Collection &c)
{
    c.ChapterCount = Collection::MaxChapters;
    for (int k = Collection::FirstRow; k <= c.lastChapterRow(); ++k) {
        c.ChapterTable[k].Name.setText(
            QStringLiteral("Capitolul %1: funcții, ecuații și șiruri").arg(k - 1));
    }
    c.ProblemCount = Collection::MaxProblems;
    const QString appPath = QStringLiteral("C:\\Program Files\\Culegere");
    for (int k = Collection::FirstRow; k <= c.lastProblemRow(); ++k) {
        ProblemRecord &p = c.ProblemTable[k];
        p.ImagePath = cataloguePath(appPath, QStringLiteral("%1").arg(k - 1, 5, 10, QChar(u'0')));
        ChapterRecord &chapter = c.ChapterTable[Collection::FirstRow + k % Collection::MaxChapters];
        p.Chapter.Name = chapter.Name;
        p.CorrectAnswer = static_cast<qint16>(k % 5);
        ++chapter.ProblemTotal;
    }
    // A log that has rolled: rows 2..100 in use, the header at 100.
    c.NextUserRecord = Collection::LastUserRow;
    for (int k = Collection::FirstRow; k <= Collection::LastUserRow; ++k) {
        UserRecord &u = c.UserTable[k];
        u.Name.setText(QStringLiteral("Elevul numărul %1").arg(k - 1));
        u.Grade = static_cast<qint16>(1 + k % 10);
        u.ElapsedTicks = static_cast<qint16>(60 * (5 + k % 40));
        u.TestDate = dateToSerial(QDate(2024, 9, 16).addDays(k));
    }
}

std::array<DataFile, 3> dataFilesOf(const Collection &c)
{
    return {{
        {datafile::Users, usersFileAfterRoll({}, c.UserTable, Collection::LastUserRow)},
        {datafile::Chapters, chaptersFileForExit({}, c)},
        {datafile::Problems, problemsFileForExit({}, c)},
    }};
}

namespace {

// The sound cues and the help an installed program finds in its folder.
const char *const kCues[] = {"next.wav",     "exit.wav",     "incarca.wav",
                             "setareok.wav", "exitform.wav", "birds_22khz_lp-1.wav"};

// A tenth of a second of silence, 22050 Hz mono 16-bit PCM.
QByteArray silentWave()
{
    const quint32 samples = 2205;
    const quint32 dataBytes = samples * 2;
    QByteArray wave;
    auto u32 = [&wave](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wave.append(char((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&wave](quint16 v) {
        wave.append(char(v & 0xFF));
        wave.append(char(v >> 8));
    };
    wave.append("RIFF");
    u32(36 + dataBytes);
    wave.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(22050);
    u32(22050 * 2);
    u16(2);
    u16(16);
    wave.append("data");
    u32(dataBytes);
    wave.append(QByteArray(int(dataBytes), '\0'));
    return wave;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

bool writeApplicationFolder(const QString &root, std::string &error)
{
    const QDir dir(root);
    for (const char *folder : {"probleme", "teste", "backup"}) {
        if (!dir.mkpath(QLatin1String(folder))) {
            error = "cannot create " + dir.filePath(QLatin1String(folder)).toStdString();
            return false;
        }
    }
    auto collection = std::make_unique<Collection>();
    fillFullCollection(*collection);
    for (const DataFile &file : dataFilesOf(*collection)) {
        if (!writeFile(dir.filePath(file.name), file.bytes)) {
            error = "cannot write " + file.name.toStdString();
            return false;
        }
    }
    const QByteArray wave = silentWave();
    for (const char *cue : kCues) {
        if (!writeFile(dir.filePath(QLatin1String(cue)), wave)) {
            error = std::string("cannot write ") + cue;
            return false;
        }
    }
    if (!writeFile(dir.filePath(QStringLiteral("help.chm")), "ITSF") ||
        !dir.mkpath(QStringLiteral("help")) ||
        !writeFile(dir.filePath(QStringLiteral("help/index.html")), "<html></html>")) {
        error = "cannot write the help";
        return false;
    }
    for (int i = 1; i <= collection->ProblemCount; ++i) {
        const QString name = QStringLiteral("probleme/probl%1.jpg").arg(i, 5, 10, QChar(u'0'));
        if (!writeFile(dir.filePath(name), {})) {
            error = "cannot write " + name.toStdString();
            return false;
        }
    }
    return true;
}

} // namespace culegere::bench
