#pragma once

#include <QWidget>

namespace culegere {

// The About screen "Despre". Its "Ok" hides it and brings the main screen back.
class AboutScreen : public QWidget
{
    Q_OBJECT

public:
    explicit AboutScreen(QWidget *mainScreen);

private:
    QWidget *m_mainScreen;
};

} // namespace culegere
