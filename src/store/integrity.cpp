#include "store/integrity.h"

#include "store/codepage.h"
#include "store/legacy_text.h"

#include <QDir>
#include <QSet>

#include <cstring>
#include <vector>

namespace culegere {

namespace {

constexpr int kIndexLength = 5;

// Five bytes as one number, so a window of a path is looked up at once.
quint64 pack(const char *p)
{
    quint64 key = 0;
    std::memcpy(&key, p, kIndexLength);
    return key;
}

// A set of 5-byte keys: open addressing, linear probing, power-of-two size.
class IndexSet
{
public:
    explicit IndexSet(qsizetype expected)
    {
        std::size_t size = 16;
        while (size < std::size_t(expected) * 2)
            size *= 2;
        m_slots.assign(size, kEmpty);
        m_mask = size - 1;
    }
    void insert(quint64 key)
    {
        for (std::size_t i = slotOf(key);; i = (i + 1) & m_mask) {
            if (m_slots[i] == key)
                return;
            if (m_slots[i] == kEmpty) {
                m_slots[i] = key;
                ++m_count;
                return;
            }
        }
    }
    bool contains(quint64 key) const
    {
        for (std::size_t i = slotOf(key);; i = (i + 1) & m_mask) {
            if (m_slots[i] == key)
                return true;
            if (m_slots[i] == kEmpty)
                return false;
        }
    }
    bool isEmpty() const { return m_count == 0; }

private:
    // Five bytes never fill the top byte, so this value is never a key.
    static constexpr quint64 kEmpty = ~quint64(0);
    std::size_t slotOf(quint64 key) const
    {
        return std::size_t((key * 0x9E3779B97F4A7C15ull) >> 20) & m_mask;
    }
    std::vector<quint64> m_slots;
    std::size_t m_mask = 0;
    qsizetype m_count = 0;
};

bool hasPicture(const IndexSet &indexes, const FixedText<250> &path)
{
    const char *bytes = path.data();
    for (int i = 0; i + kIndexLength <= FixedText<250>::Width; ++i) {
        if (indexes.contains(pack(bytes + i)))
            return true;
    }
    return false;
}

// The index a message names: the 5 characters before the first ".jpg".
QString problemIndex(const FixedText<250> &path)
{
    const QByteArray bytes = path.trimmed();
    const qsizetype dot = bytes.indexOf(".jpg");
    if (dot < kIndexLength)
        return decodeCp1250(bytes);
    return decodeCp1250(bytes.mid(dot - kIndexLength, kIndexLength));
}

} // namespace

QStringList listPictureFiles(const AppFolder &folder)
{
    // Name filters match without regard to letter case.
    return QDir(folder.resolve(QStringLiteral("\\probleme")))
        .entryList({QStringLiteral("*.jpg")}, QDir::Files | QDir::Hidden | QDir::System);
}

QString pictureIndex(const QString &fileName)
{
    const qsizetype dot = fileName.indexOf(QStringLiteral(".jpg"), 0, Qt::CaseInsensitive);
    if (dot < kIndexLength)
        return {};
    return fileName.mid(dot - kIndexLength, kIndexLength);
}

IntegrityReport checkIntegrity(Collection &c, const QStringList &pictureFiles)
{
    IndexSet indexes(pictureFiles.size());
    for (const QString &name : pictureFiles) {
        QString file = name;
        const QByteArray index = encodeCp1250(pictureIndex(stripNull(file)));
        if (index.size() == kIndexLength)
            indexes.insert(pack(index.constData()));
    }

    IntegrityReport report;
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row)
        report.chapterTotal += c.ChapterTable[row].ProblemTotal;
    report.problemCount = c.ProblemCount;
    QSet<QByteArray> chapters;
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row)
        chapters.insert(c.ChapterTable[row].Name.trimmed());
    for (int row = Collection::FirstRow; row <= c.lastProblemRow(); ++row) {
        const QByteArray chapter = c.ProblemTable[row].Chapter.Name.trimmed();
        const QString name = decodeCp1250(chapter);
        if (!chapters.contains(chapter) && !report.unknownChapters.contains(name))
            report.unknownChapters.append(name);
    }

    for (int row = Collection::FirstRow; row <= c.lastProblemRow(); ++row) {
        FixedText<250> &path = c.ProblemTable[row].ImagePath;
        if (!indexes.isEmpty() && hasPicture(indexes, path))
            continue;
        QByteArray kept = path.bytes();
        path.assign(stripNull(kept));
        report.missing.append({row, problemIndex(path)});
    }
    return report;
}

} // namespace culegere
