#include "MessageBox.h"

#include <QMessageBox>

namespace MessageBox {
namespace {

Responder &CurrentResponder()
{
    static Responder responder;
    return responder;
}

} // namespace

QMessageBox::StandardButton Show(QWidget *parent, const QString &text, const QString &title, Icon icon,
                                 Buttons buttons)
{
    const Request request{text, title.isEmpty() ? QStringLiteral("信息：") : title, icon, buttons};
    if (CurrentResponder())
        return CurrentResponder()(request);

    QMessageBox box(parent);
    box.setWindowTitle(request.title);
    box.setText(request.text);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    }
    box.setStandardButtons(buttons == Buttons::Ok ? QMessageBox::Ok : (QMessageBox::Ok | QMessageBox::Cancel));
    box.setModal(true);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void SetResponder(Responder responder)
{
    CurrentResponder() = std::move(responder);
}

} // namespace MessageBox
