#include "shell/shell_messages.h"

namespace culegere {

QString startupFailureMessage(const StoreResult &r)
{
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
        what = QStringLiteral("Fisierul %1 nu poate fi citit!").arg(r.fileName);
        break;
    default:
        what = QStringLiteral("Fisierul %1 nu poate fi deschis pentru citire si scriere!")
                   .arg(r.fileName);
        break;
    }
    return what + QStringLiteral(" Programul nu poate porni; niciun fisier nu a fost modificat...");
}

QString reopenFailureMessage(const StoreResult &r)
{
    return QStringLiteral("Fisierul %1 nu a mai putut fi deschis dupa copiere! Rezultatele si "
                          "modificarile nu pot fi salvate pana cand folderul culegerii poate fi "
                          "scris din nou...")
        .arg(r.fileName);
}

QString saveFailureMessage(const StoreResult &r)
{
    return QStringLiteral("Fisierul %1 nu a putut fi salvat! Datele de pe disc au ramas cele "
                          "de dinainte. Verificati spatiul liber si dreptul de scriere, apoi "
                          "incercati din nou...")
        .arg(r.fileName);
}

} // namespace culegere
