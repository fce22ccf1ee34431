// What the two programs timed by bench_startup share: when a start-up counts
// as done, and what ends one that never gets there.
//
// Done means shown and idle: the main window (the first QMainWindow to be
// painted) has had its first paint, and the event loop has then come round
// once more, past what that paint and the start-up left queued. Both programs
// go by this one rule, so the two times measure the same thing. At that
// moment a program writes the steady clock's reading, in nanoseconds, as one
// line on stdout, and ends its event loop; the benchmark times the whole
// process, and from that line the part up to the shown window.

#pragma once

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace culegere::bench {

// Watches the start-up of the program `name`, from the moment its
// QApplication is made (Q_COREAPP_STARTUP_FUNCTION) until the end:
// - once the main window is shown and idle, writes when on stdout and ends
//   the event loop with 0; but when `check` (if given) then returns a
//   complaint, writes that on stderr instead and ends it with 4;
// - when that has not happened within `seconds`, ends the program with 3,
//   saying so on stderr with the text of any message box open (a refused
//   start-up waits on one).
class StartupWatch : public QObject
{
public:
    StartupWatch(const char *name, int seconds, std::function<QString()> check = {})
        : QObject(qApp), m_name(name), m_check(std::move(check))
    {
        qApp->installEventFilter(this);
        QTimer::singleShot(seconds * 1000, this, [this, seconds] { giveUp(seconds); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<QMainWindow *>(watched) != nullptr) {
            qApp->removeEventFilter(this);
            // Queued behind the rest of this paint and what is already waiting.
            QTimer::singleShot(0, this, [this] { shownAndIdle(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void shownAndIdle()
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        if (const QString complaint = m_check ? m_check() : QString(); !complaint.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", m_name, qPrintable(complaint));
            QCoreApplication::exit(4);
            return;
        }
        std::printf("%lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    [[noreturn]] void giveUp(int seconds)
    {
        std::fprintf(stderr, "%s: no main window shown and idle within %d s\n", m_name, seconds);
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (const auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
                std::fprintf(stderr, "%s: a message box is open: %s\n", m_name,
                             qPrintable(box->text()));
        }
        std::fflush(stderr);
        std::_Exit(3);
    }

    const char *m_name;
    std::function<QString()> m_check;
};

} // namespace culegere::bench
