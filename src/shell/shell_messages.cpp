#include "shell/shell_messages.h"

#include "testing/testing_messages.h"

#include <QDir>

namespace culegere {

QString folderNotFilledMessage(const QString &folder, const QString &source,
                               const QString &programFolder)
{
    const QString where = QDir::toNativeSeparators(folder);
    const QString why =
        QDir(source) == QDir(programFolder)
            ? QStringLiteral("Programul nu poate scrie in folderul sau (%1), de aceea lucreaza "
                             "cu culegerea din folderul %2. ")
                  .arg(QDir::toNativeSeparators(programFolder), where)
            : QStringLiteral("Programul lucreaza cu culegerea din folderul %1. ").arg(where);
    return why + QStringLiteral("Culegerea de exemplu, sunetele si ajutorul nu au putut fi "
                                "copiate acolo in intregime din %1! Verificati spatiul liber si "
                                "dreptul de scriere...")
                     .arg(QDir::toNativeSeparators(source));
}

QString lockedElsewhereQuestion(const QString &computer, const QDateTime &takenAt)
{
    const QString who =
        computer.isEmpty()
            ? QStringLiteral("de un program Culegere care nu a scris numele "
                             "calculatorului sau")
            : QStringLiteral("de programul Culegere de pe calculatorul %1").arg(computer);
    return QStringLiteral("Culegerea din acest folder a fost deschisa %1, la %2, si nu a fost "
                          "inchisa. Daca programul nu mai lucreaza acolo (de exemplu, "
                          "calculatorul s-a oprit la o pana de curent), culegerea poate fi "
                          "deschisa aici; daca lucreaza inca, modificarile de pe cele doua "
                          "calculatoare s-ar amesteca. Deschideti culegerea pe acest calculator?")
        .arg(who, takenAt.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
}

QString startupFailureMessage(const StoreResult &r)
{
    // Finishing the last save has put some of its files in place already.
    if (r.error == StoreError::SaveNotFinished)
        return QStringLiteral("Salvarea facuta la iesirea anterioara nu a putut fi terminata: "
                              "fisierul %1 nu a putut fi inlocuit cu cel nou! Programul nu poate "
                              "porni. Datele noi sunt pastrate pe disc si vor fi puse in loc la "
                              "urmatoarea pornire, cand folderul culegerii poate fi scris...")
            .arg(r.fileName);
    if (r.error == StoreError::SetMixed)
        return QStringLiteral("Salvarea facuta la iesirea anterioara a fost intrerupta, iar "
                              "discul a deteriorat evidenta ei: %1 nu se potrivesc intre ele! "
                              "Programul nu poate porni; niciun fisier nu a fost modificat. "
                              "Puneti in locul lor copiile din folderul -backup-...")
            .arg(r.fileName.isEmpty()
                     ? QStringLiteral("fisierele Caps.stn, Problems.stn si Users.stn")
                     : QStringLiteral("fisierele %1 sunt noi, celelalte sunt vechi, si")
                           .arg(r.fileName));
    QString what;
    switch (r.error) {
    case StoreError::HeaderTooLarge:
        what = QStringLiteral("Fisierul %1 este deteriorat: antetul lui anunta %2 inregistrari, "
                              "mai multe decat poate tine culegerea!")
                   .arg(r.fileName)
                   .arg(r.value);
        break;
    case StoreError::HeaderNegative:
        what = QStringLiteral("Fisierul %1 este deteriorat: antetul lui anunta un numar "
                              "negativ de inregistrari (%2)!")
                   .arg(r.fileName)
                   .arg(r.value);
        break;
    case StoreError::FileCutShort:
        what = QStringLiteral("Fisierul %1 este deteriorat: se termina inainte de inregistrarile "
                              "anuntate de antetul lui, poate a fost copiat incomplet! Puneti in "
                              "locul lui copia din folderul -backup-.")
                   .arg(r.fileName);
        break;
    case StoreError::CannotRead:
        what = (r.fileName.contains(u',') ? QStringLiteral("Fisierele %1 nu pot fi citite!")
                                          : QStringLiteral("Fisierul %1 nu poate fi citit!"))
                   .arg(r.fileName);
        break;
    default:
        what = QStringLiteral("Fisierul %1 nu poate fi deschis pentru citire si scriere!")
                   .arg(r.fileName);
        break;
    }
    return what + QStringLiteral(" Programul nu poate porni; niciun fisier nu a fost modificat...");
}

QString reopenFailureMessage(const QStringList &fileNames)
{
    const QString what = fileNames.size() == 1
                             ? QStringLiteral("Fisierul %1 nu a mai putut fi deschis")
                             : QStringLiteral("Fisierele %1 nu au mai putut fi deschise");
    return what.arg(fileNames.join(QStringLiteral(", "))) +
           QStringLiteral(" dupa copiere! Rezultatele si modificarile nu pot fi salvate pana cand "
                          "folderul culegerii poate fi scris din nou...");
}

QString lockLostAtExitQuestion(const QString &computer)
{
    return testmsg::lockLost(computer) +
           QStringLiteral(" Modificarile facute aici de la pornire nu pot fi salvate. Inchideti "
                          "programul fara ele?");
}

QString saveFailureMessage(const StoreResult &r)
{
    if (r.error == StoreError::EarlierSaveStands)
        return QStringLiteral("Modificarile nu au putut fi salvate! Pe disc sunt datele salvate "
                              "la o iesire anterioara, care vor fi puse in loc la urmatoarea "
                              "pornire. Verificati spatiul liber si dreptul de scriere, apoi "
                              "incercati din nou...");
    if (r.error == StoreError::SaveNotFinished)
        return QStringLiteral("Fisierul %1 nu a putut fi pus in locul celui vechi! Modificarile "
                              "sunt scrise pe disc si vor fi puse in loc la urmatoarea pornire a "
                              "programului sau la o noua iesire. Verificati dreptul de scriere, "
                              "apoi incercati din nou...")
            .arg(r.fileName);
    return QStringLiteral("Fisierul %1 nu a putut fi salvat! Datele de pe disc au ramas cele "
                          "de dinainte. Verificati spatiul liber si dreptul de scriere, apoi "
                          "incercati din nou...")
        .arg(r.fileName);
}

} // namespace culegere
