#pragma once

#include <QtEndian>

#include <bit>
#include <cstdint>

// Explicit little-endian coding of the numbers in the data files, whatever the
// byte order of the machine.
namespace culegere::le {

inline qint16 getInt16(const char *p)
{
    return qFromLittleEndian<qint16>(p);
}
inline void putInt16(char *p, qint16 value)
{
    qToLittleEndian<qint16>(value, p);
}
inline double getDouble(const char *p)
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(p));
}
inline void putDouble(char *p, double value)
{
    qToLittleEndian<quint64>(std::bit_cast<quint64>(value), p);
}

} // namespace culegere::le
