#include "shell/desktop_platform.h"

#include "platform/cue.h"
#include "platform/cue_player.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

#include <chrono>

namespace culegere {

namespace {

// Where the sound module is sought: beside the program. A program run from
// inside its build tree (the tests, the benchmarks) also looks where the build
// put the module; an installed program never loads a library from a folder
// named at build time, which may be anyone's on the machine it runs on.
QStringList cueModuleFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList folders{programFolder};
    const QString buildTree = QFileInfo(QStringLiteral(CULEGERE_BUILD_TREE)).canonicalFilePath();
    if (!buildTree.isEmpty() && programFolder.startsWith(buildTree + QLatin1Char('/')))
        folders.append(QStringLiteral(CULEGERE_CUE_MODULE_DIR));
    return folders;
}

} // namespace

DesktopPlatform::DesktopPlatform()
    : m_random(static_cast<std::mt19937::result_type>(
          std::chrono::system_clock::now().time_since_epoch().count())),
      m_cues(std::make_unique<CuePlayer>([] { QApplication::beep(); },
                                         [] { return loadCueSound(cueModuleFolders()); })),
      m_help(makeHelpOpener())
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
    if (buttons == Buttons::YesNo) {
        // Losing data is never the default answer.
        QPushButton *yes = box.addButton(QStringLiteral("Da"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("Nu"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
    }
    box.setStandardButtons(buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                        : QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

QString DesktopPlatform::askText(QWidget *parent, const QString &prompt, const QString &title)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

void DesktopPlatform::playCue(const QString &waveFile)
{
    m_cues->play(waveFile);
}

void DesktopPlatform::openHelp(const QString &helpFile)
{
    m_help->open(helpFile);
}

void DesktopPlatform::openHelpViewer(const QString &helpFile, std::function<void()> noViewer)
{
    m_help->openViewer(helpFile, std::move(noViewer));
}

std::unique_ptr<HelpOpener> DesktopPlatform::makeHelpOpener()
{
    HelpOpener::Desktop desktop;
    // The desktop's own registry answers which program opens a file type;
    // asked in the background, so the screen never waits for it.
    desktop.hasViewer = [](const QString &file, std::function<void(bool)> answer) {
        const QString type =
            QMimeDatabase().mimeTypeForFile(file, QMimeDatabase::MatchExtension).name();
        auto *query = new QProcess;
        QObject::connect(query, &QProcess::finished, query, [query, answer](int code) {
            answer(code == 0 && !query->readAllStandardOutput().trimmed().isEmpty());
            query->deleteLater();
        });
        QObject::connect(query, &QProcess::errorOccurred, query,
                         [query, answer](QProcess::ProcessError error) {
                             if (error != QProcess::FailedToStart)
                                 return;
                             answer(false);
                             query->deleteLater();
                         });
        query->start(QStringLiteral("xdg-mime"),
                     {QStringLiteral("query"), QStringLiteral("default"), type});
    };
    desktop.open = [](const QString &file) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    };
    desktop.tell = [this](const QString &text) {
        showMessage(QApplication::activeWindow(), text, Buttons::Ok, kAppTitle);
    };
    return std::make_unique<HelpOpener>(std::move(desktop));
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
