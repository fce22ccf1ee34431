#include "store/record_file.h"

#include <QFile>

#include <cstring>

namespace culegere {

RecordFile::~RecordFile() = default;

bool RecordFile::open(const QString &path)
{
    close();
    auto file = std::make_unique<QFile>(path);
    // Unbuffered: each read goes to the system as it is asked for.
    if (!file->open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    m_path = path;
    m_file = std::move(file);
    return true;
}

void RecordFile::close()
{
    if (m_file)
        m_file->close();
    m_file.reset();
}

bool RecordFile::isOpen() const
{
    return m_file && m_file->isOpen();
}

bool RecordFile::readAll(QByteArray &content)
{
    content.clear();
    if (!isOpen() || !m_file->seek(0))
        return false;
    const qint64 size = m_file->size();
    content.resize(size);
    qint64 done = 0;
    while (done < size) {
        const qint64 got = m_file->read(content.data() + done, size - done);
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
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
