#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every message the program shows goes through here: a modal box titled
// "信息：" unless a title is given. Tests install a responder to read the
// text and answer without a real modal loop.
namespace MessageBox {

enum class Icon { None, Information, Exclamation };
enum class Buttons { Ok, OkCancel };

struct Request {
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

// Returns QMessageBox::Ok or QMessageBox::Cancel.
QMessageBox::StandardButton Show(QWidget *parent, const QString &text, const QString &title = QString(),
                                 Icon icon = Icon::None, Buttons buttons = Buttons::Ok);

// Test hook: while set, Show() calls it instead of opening a box. Pass an
// empty function to remove it.
using Responder = std::function<QMessageBox::StandardButton(const Request &)>;
void SetResponder(Responder responder);

} // namespace MessageBox
