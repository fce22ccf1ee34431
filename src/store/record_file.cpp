#include "store/record_file.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace culegere {

RecordFile::RecordFile(int recordLength) : m_length(recordLength) {}

RecordFile::RecordFile(int recordLength, std::unique_ptr<QIODevice> device)
    : m_length(recordLength), m_device(std::move(device))
{
}

RecordFile::~RecordFile() = default;

bool RecordFile::open(const QString &path)
{
    close();
    auto file = std::make_unique<QFile>(path);
    // Unbuffered: a record written is handed to the system at once.
    if (!file->open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    m_path = path;
    m_device = std::move(file);
    return true;
}

void RecordFile::close()
{
    if (m_device)
        m_device->close();
    m_device.reset();
}

bool RecordFile::isOpen() const
{
    return m_device && m_device->isOpen();
}

bool RecordFile::readAll(QByteArray &content)
{
    content.clear();
    if (!isOpen() || !m_device->seek(0))
        return false;
    const qint64 size = m_device->size();
    content.resize(size);
    qint64 done = 0;
    while (done < size) {
        const qint64 got = m_device->read(content.data() + done, size - done);
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

bool RecordFile::readRecord(int n, QByteArray &record)
{
    record = QByteArray(m_length, '\0');
    if (!isOpen() || n < 1)
        return false;
    const qint64 offset = qint64(n - 1) * m_length;
    if (offset >= m_device->size())
        return true;
    if (!m_device->seek(offset))
        return false;
    return m_device->read(record.data(), m_length) >= 0;
}

bool RecordFile::writeRecord(int n, QByteArrayView record)
{
    if (!isOpen() || n < 1 || record.size() != m_length)
        return false;
    if (!m_device->seek(qint64(n - 1) * m_length))
        return false;
    return m_device->write(record.data(), m_length) == m_length;
}

bool RecordFile::sync()
{
    if (!isOpen())
        return false;
    auto *file = qobject_cast<QFile *>(m_device.get());
    if (!file)
        return true;
    return file->flush() && ::fdatasync(file->handle()) == 0;
}

RecordImage::RecordImage(QByteArray content, int recordLength)
    : m_content(std::move(content)), m_length(recordLength)
{
}

const char *RecordImage::recordData(int n) const
{
    const qint64 offset = qint64(n - 1) * m_length;
    if (n >= 1 && offset + m_length <= m_content.size())
        return m_content.constData() + offset;
    m_scratch = QByteArray(m_length, '\0');
    if (n >= 1 && offset < m_content.size())
        std::memcpy(m_scratch.data(), m_content.constData() + offset, m_content.size() - offset);
    return m_scratch.constData();
}

} // namespace culegere
