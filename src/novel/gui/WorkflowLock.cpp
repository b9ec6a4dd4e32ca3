#include "WorkflowLock.h"

#include "app/gui/MainWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

WorkflowLock::WorkflowLock(MainWindow &window) : m_window(&window)
{
    m_connection = QObject::connect(&window, &MainWindow::Closed, [closed = m_closed] { *closed = true; });
    const WorkPage &work = window.workPage();
    const std::initializer_list<QWidget *> controls = {
        window.searchButton(),        window.searchBox(),  window.sourceManagerButton(),
        window.resultPage().resultList(), work.chapterList(), work.selectAll(), work.downloadButton()};
    for (QWidget *control : controls) {
        m_held.push_back({control, control->isEnabled()});
        control->setEnabled(false);
    }
}

WorkflowLock::~WorkflowLock()
{
    QObject::disconnect(m_connection);
    if (m_window.isNull())
        return;
    for (const Held &held : m_held)
        if (!held.control.isNull())
            held.control->setEnabled(held.wasEnabled);
}
