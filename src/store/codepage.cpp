#include "store/codepage.h"

#include <array>
#include <unordered_map>

namespace culegere {

namespace {

// Unicode of the bytes 0x80..0xFF; 0 marks an unassigned byte.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, // 80
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

// Letters outside the code page written as the nearest letter inside it.
constexpr std::array<std::pair<char16_t, char16_t>, 4> kNearest = {{
    {0x0219, 0x015F}, // s comma below -> s cedilla
    {0x0218, 0x015E}, // S comma below -> S cedilla
    {0x021B, 0x0163}, // t comma below -> t cedilla
    {0x021A, 0x0162}, // T comma below -> T cedilla
}};

const std::unordered_map<char16_t, char> &encodeTable()
{
    static const auto table = [] {
        std::unordered_map<char16_t, char> map;
        // An unassigned byte reads as the control character of its number
        // and is written back as that byte, so a name holding one survives
        // the way through a screen.
        for (std::size_t i = 0; i < kHighHalf.size(); ++i)
            map.emplace(kHighHalf[i] != 0 ? kHighHalf[i] : char16_t(0x80 + i),
                        static_cast<char>(0x80 + i));
        for (const auto &[from, to] : kNearest)
            map.emplace(from, map.at(to));
        return map;
    }();
    return table;
}

} // namespace

QByteArray encodeCp1250(const QString &text)
{
    const auto &table = encodeTable();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x80) {
            out.append(static_cast<char>(c));
        } else if (const auto it = table.find(c); it != table.end()) {
            out.append(it->second);
        } else {
            out.append('?');
            // A character outside the basic plane is one character, not two.
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
        }
    }
    return out;
}

QString decodeCp1250(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x80) {
            *dst++ = QChar(b);
        } else {
            const char16_t c = kHighHalf[b - 0x80];
            *dst++ = QChar(c != 0 ? c : char16_t(b));
        }
    }
    return out;
}

} // namespace culegere
