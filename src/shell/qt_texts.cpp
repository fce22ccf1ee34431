#include "shell/qt_texts.h"

#include <QCoreApplication>
#include <QTranslator>

namespace culegere {

void installRomanianQtTexts()
{
    static QTranslator *texts = [] {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(QStringLiteral(":/translations/qt_ro.qm")))
            qWarning("the Romanian texts of Qt's dialogs are missing from the program");
        QCoreApplication::installTranslator(translator);
        return translator;
    }();
    Q_UNUSED(texts);
}

} // namespace culegere
