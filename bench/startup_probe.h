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

namespace culegere::bench {

// Says when, and ends the event loop with 0, once the main window is shown
// and idle. Made
// before anything is shown: it watches every widget of the program, since the
// main window may not exist yet.
class QuitWhenShownAndIdle : public QObject
{
public:
    QuitWhenShownAndIdle() : QObject(qApp) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<QMainWindow *>(watched) != nullptr) {
            qApp->removeEventFilter(this);
            // Queued behind the rest of this paint and what is already waiting.
            QTimer::singleShot(0, qApp, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("%lld\n",
                            static_cast<long long>(std::chrono::nanoseconds(now).count()));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

// A start-up that shows no main window within `seconds` ends the program
// with 3, saying so on stderr together with the text of any message box
// open at that moment (a refused start-up waits on one).
inline void exitWhenStuck(const char *program, int seconds)
{
    QTimer::singleShot(seconds * 1000, qApp, [program, seconds] {
        std::fprintf(stderr, "%s: no main window shown and idle within %d s\n", program, seconds);
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (const auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
                std::fprintf(stderr, "%s: a message box is open: %s\n", program,
                             qPrintable(box->text()));
        }
        std::fflush(stderr);
        std::_Exit(3);
    });
}

} // namespace culegere::bench
