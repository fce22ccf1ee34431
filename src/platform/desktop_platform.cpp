#include "platform/desktop_platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSoundEffect>
#include <QUrl>

#include <chrono>

namespace culegere {

DesktopPlatform::DesktopPlatform()
    : m_random(static_cast<std::mt19937::result_type>(
          std::chrono::system_clock::now().time_since_epoch().count()))
{
}

DesktopPlatform::~DesktopPlatform() = default;

bool DesktopPlatform::showMessage(QWidget *parent, const QString &text, Buttons buttons,
                                  const QString &title)
{
    QMessageBox box(parent);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(title);
    box.setText(text);
    box.setStandardButtons(buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                        : QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

QString DesktopPlatform::askText(QWidget *parent, const QString &prompt, const QString &title)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

void DesktopPlatform::playCue(const QString &waveFile)
{
    if (!QFileInfo::exists(waveFile)) {
        QApplication::beep();
        return;
    }
    // One effect at a time: a new cue replaces the one still playing.
    if (m_sound)
        m_sound->stop();
    m_sound = std::make_unique<QSoundEffect>();
    m_sound->setSource(QUrl::fromLocalFile(waveFile));
    m_sound->play();
}

void DesktopPlatform::openHelp(const QString &helpFile)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile));
}

QDate DesktopPlatform::today()
{
    return QDate::currentDate();
}

double DesktopPlatform::nextRandom()
{
    // 24 random bits: every value is exact in single precision, and the
    // largest stays below 1 when the caller scales it as a float.
    return static_cast<double>(m_random() >> 8) / double(1u << 24);
}

QStringList DesktopPlatform::printerNames()
{
    return QPrinterInfo::availablePrinterNames();
}

std::unique_ptr<QPrinter> DesktopPlatform::openPrinter(const QString &name)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

} // namespace culegere
