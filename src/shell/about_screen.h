#pragma once

#include <QWidget>

namespace culegere {

// The About screen "Despre". Its "Ok" hides it and brings the main screen back.
class AboutScreen : public QWidget
{
    Q_OBJECT

public:
    AboutScreen();

signals:
    // "Ok": the main screen comes back.
    void closed();
};

} // namespace culegere
