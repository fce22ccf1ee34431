#pragma once

#include "store/codepage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <algorithm>
#include <array>
#include <cstring>

namespace culegere {

// A text field of exactly N bytes in the data files' code page.
//
// A field never assigned holds N NUL bytes. Assigning pads a shorter text with
// blanks and keeps the first N bytes of a longer one. Texts stay bytes in
// memory: loading a record is a copy, and comparing names compares bytes.
template <int N> class FixedText
{
    static_assert(N > 0);

public:
    static constexpr int Width = N;

    FixedText() = default;

    // The N bytes at `raw`, exactly as they stand in a record.
    static FixedText fromRaw(const char *raw)
    {
        FixedText text;
        std::memcpy(text.m_bytes.data(), raw, N);
        return text;
    }
    static FixedText fromBytes(QByteArrayView bytes)
    {
        FixedText text;
        text.assign(bytes);
        return text;
    }
    static FixedText fromText(const QString &text) { return fromBytes(encodeCp1250(text)); }

    void assign(QByteArrayView bytes)
    {
        const auto n = static_cast<int>(std::min<qsizetype>(bytes.size(), N));
        // An empty view may have no data at all, and memcpy from null is undefined.
        if (n > 0)
            std::memcpy(m_bytes.data(), bytes.data(), n);
        std::fill(m_bytes.begin() + n, m_bytes.end(), ' ');
    }
    // Like assign, but a longer text keeps its last N bytes: the end of a
    // picture path names the picture.
    void assignKeepingEnd(QByteArrayView bytes)
    {
        assign(bytes.size() > N ? bytes.last(N) : bytes);
    }
    void setText(const QString &text) { assign(encodeCp1250(text)); }

    const char *data() const { return m_bytes.data(); }
    QByteArray bytes() const { return QByteArray(m_bytes.data(), N); }

    // The bytes with blanks removed from both ends (NUL bytes are not blanks).
    QByteArray trimmed() const
    {
        int begin = 0;
        int end = N;
        while (begin < end && m_bytes[begin] == ' ')
            ++begin;
        while (end > begin && m_bytes[end - 1] == ' ')
            --end;
        return QByteArray(m_bytes.data() + begin, end - begin);
    }

    QString text() const { return decodeCp1250(QByteArrayView(m_bytes.data(), N)); }
    QString trimmedText() const { return decodeCp1250(trimmed()); }

    friend bool operator==(const FixedText &, const FixedText &) = default;

private:
    std::array<char, N> m_bytes{};
};

} // namespace culegere
