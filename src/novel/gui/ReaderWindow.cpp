#include "ReaderWindow.h"

#include "app/AppState.h"
#include "novel/WorkDetails.h"
#include "platform/gui/QtText.h"

#include <QPlainTextEdit>

ReaderWindow::ReaderWindow(const AppState &state, QWidget *parent)
    : QDialog(parent), m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("窗口_阅读"));
    setFixedSize(615, 585);
    move(50, 50);
    m_text->setObjectName(QStringLiteral("超级编辑框1"));
    m_text->setGeometry(0, 8, 608, 544);
    m_text->setReadOnly(true);
    OnReaderCreated(state);
}

void ReaderWindow::OnReaderCreated(const AppState &state)
{
    setWindowTitle(FromGbk(ReaderTitle(state.workName, state.chapterTitle)));
    // The text box shows line breaks as "\n"; the text keeps its own.
    m_text->setPlainText(FromGbk(ReaderText(state.workName, state.chapterTitle, state.chapterText)));
}
