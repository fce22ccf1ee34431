#include "tools/sample_collection.h"

#include "store/atomic_file.h"
#include "store/collection_io.h"
#include "store/problem_paths.h"
#include "tools/problem_picture.h"

#include <QDir>
#include <QSaveFile>

namespace culegere {

namespace {

const QString kPictureFolder = QStringLiteral("probleme");

bool writeWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

Collection sampleCollection(const SampleParse &sample, const QString &appDir)
{
    Collection c;
    for (const SampleChapter &chapter : sample.chapters) {
        ++c.ChapterCount;
        ChapterRecord &row = c.ChapterTable[c.lastChapterRow()];
        row.Name.setText(chapter.name);
        row.ProblemTotal = static_cast<qint16>(chapter.problems.size());
        for (const SampleProblem &problem : chapter.problems) {
            ++c.ProblemCount;
            ProblemRecord &entry = c.ProblemTable[c.lastProblemRow()];
            entry.ImagePath = cataloguePath(appDir, problem.index);
            entry.Chapter.Name = row.Name;
            entry.CorrectAnswer = static_cast<qint16>(problem.correct);
        }
    }
    return c;
}

QString writeSampleFolder(const SampleParse &sample, const QString &appDir, const QFont &font)
{
    const QDir dir(appDir);
    if (!dir.mkpath(kPictureFolder))
        return QStringLiteral("cannot create %1").arg(dir.filePath(kPictureFolder));
    for (const SampleChapter &chapter : sample.chapters) {
        for (const SampleProblem &problem : chapter.problems) {
            const QString path =
                dir.filePath(QStringLiteral("%1/probl%2.jpg").arg(kPictureFolder, problem.index));
            const QByteArray jpeg = encodeJpeg(renderProblem(problem, font));
            if (jpeg.isEmpty() || !writeWhole(path, jpeg))
                return QStringLiteral("cannot write %1").arg(path);
        }
    }

    const Collection c = sampleCollection(sample, appDir);
    AtomicWriteSet files;
    files.add(dir.filePath(datafile::Chapters), datafile::Chapters, chaptersFileForExit({}, c));
    files.add(dir.filePath(datafile::Problems), datafile::Problems, problemsFileForExit({}, c));
    const StoreResult written = files.commit();
    if (!written.ok())
        return QStringLiteral("cannot write %1").arg(dir.filePath(written.fileName));
    return {};
}

} // namespace culegere
