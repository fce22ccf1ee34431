#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

class QIODevice;

namespace culegere {

// A random-access file of fixed-length records. Record n (counted from 1)
// starts at byte (n - 1) * length; there is no header, trailer or padding of
// the file's own. Reading past the end gives zero bytes.
class RecordFile
{
public:
    explicit RecordFile(int recordLength);
    // Works on an open device (a QBuffer in tests); the file takes it over.
    RecordFile(int recordLength, std::unique_ptr<QIODevice> device);
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens `path` for reading and writing, creating a missing file.
    bool open(const QString &path);
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }
    int recordLength() const { return m_length; }

    // The whole content, in one read.
    bool readAll(QByteArray &content);
    // Record n (from 1); zero bytes where the file ends before it.
    bool readRecord(int n, QByteArray &record);
    // Writes record n (from 1); true only when every byte was written.
    bool writeRecord(int n, QByteArrayView record);
    // Pushes what was written to the disk.
    bool sync();

private:
    int m_length;
    QString m_path;
    std::unique_ptr<QIODevice> m_device;
};

// Whole file content seen as records, for loading: record n (from 1), zero
// bytes past the end, also for a last record that the file cuts short.
class RecordImage
{
public:
    RecordImage(QByteArray content, int recordLength);

    int completeRecords() const { return static_cast<int>(m_content.size() / m_length); }

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
