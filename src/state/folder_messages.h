#pragma once

#include <QString>

// What every screen says of the folder the program works in.
namespace culegere::foldermsg {

// The folder was taken over by another computer: nothing is written any
// more. %1: that computer's name ("" when its lock names none).
inline QString lockLost(const QString &computer)
{
    const QString who = computer.isEmpty() ? QStringLiteral("de un alt program Culegere")
                                           : QStringLiteral("pe calculatorul %1").arg(computer);
    return QStringLiteral("Culegerea din acest folder a fost deschisa intre timp %1! Acest "
                          "program nu mai scrie nimic in ea, ca sa nu strice ce s-a salvat "
                          "acolo.")
        .arg(who);
}

} // namespace culegere::foldermsg
