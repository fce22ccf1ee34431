#include "shell/about_screen.h"

#include "widgets/access_keys.h"
#include "widgets/controls.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace culegere {

AboutScreen::AboutScreen()
{
    setWindowTitle(QStringLiteral("Despre"));

    auto *text = new QLabel(
        QStringLiteral(
            "<h2>Culegere electronica</h2>"
            "<p>Culegere de probleme de matematica cu raspunsuri la alegere.</p>"
            "<p>Profesorul pastreaza problemele pe capitole, defineste testele de noua probleme "
            "si le tipareste; elevii rezolva testul pe ecran, primesc nota de la 1 la 10, "
            "iar rezultatul se pastreaza.</p>"
            "<p>Versiunea %1</p>")
            .arg(QStringLiteral(CULEGERE_VERSION)));
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);

    auto *ok = new QPushButton(QStringLiteral("Ok"));
    nameControls({{this, "frmDespre"}, {ok, "Command1"}});
    connect(ok, &QPushButton::clicked, this, [this] {
        if (!isVisible())
            return; // a late click of a screen already closed
        hide();
        emit closed();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(420, 240);
    giveAccessKeys(this);
}

} // namespace culegere
