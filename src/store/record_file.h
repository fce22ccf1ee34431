#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QFile;

namespace culegere {

// A data file of fixed-length records, held open for reading and writing
// from start-up to exit and read whole; its new content is written beside
// it and renamed over it (see AtomicWriteSet), never written through it.
class RecordFile
{
public:
    RecordFile() = default;
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens `path` for reading and writing, creating a missing file.
    bool open(const QString &path);
    void close();
    bool isOpen() const;
    // The path last opened, kept after a close.
    QString path() const { return m_path; }

    // The whole content, in one read.
    bool readAll(QByteArray &content);

private:
    QString m_path;
    std::unique_ptr<QFile> m_file;
};

// Whole file content seen as records, for loading: record n (from 1), zero
// bytes past the end, also for a last record that the file cuts short.
class RecordImage
{
public:
    RecordImage(QByteArray content, int recordLength);

    template <typename Record> Record record(int n) const
    {
        return Record::decodeFrom(recordData(n));
    }

private:
    // Points into the content, or into a zero-padded copy of a short record.
    const char *recordData(int n) const;

    QByteArray m_content;
    int m_length;
    mutable QByteArray m_scratch;
};

} // namespace culegere
