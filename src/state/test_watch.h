#pragma once

#include <QObject>

namespace culegere {

// Whether a test is under way: drawn and not yet ended by "Reset" (or by a
// draw that could not be made). While one is, nothing outside the test may
// change the collection or show a problem's correct answer. The test area
// tells it; the menu and every screen that could do either follow it from
// here, each as the phase changes and each step again when it runs.
class TestWatch : public QObject
{
    Q_OBJECT

public:
    bool underWay() const { return m_underWay; }
    // The test area's phase: under way or not; `changed` when it turns.
    void follow(bool underWay);
    // A test was drawn, also in place of one under way (told after `follow`).
    void drawn();

signals:
    void changed(bool underWay);
    // A new test: whatever belonged to the one before it closes.
    void newTest();

private:
    bool m_underWay = false;
};

} // namespace culegere
