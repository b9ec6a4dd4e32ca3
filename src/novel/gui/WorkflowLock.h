#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class MainWindow;

// Held while a workflow lets window events run (a chapter fetch, a
// download): the controls that would change the chapter list or start a
// search or another download are disabled, and given back their previous
// state when the lock goes away. It also notices when the main window closes
// (or is destroyed) meanwhile, so the workflow can stop before it writes or
// shows anything more.
class WorkflowLock {
public:
    explicit WorkflowLock(MainWindow &window);
    ~WorkflowLock();
    WorkflowLock(const WorkflowLock &) = delete;
    WorkflowLock &operator=(const WorkflowLock &) = delete;

    bool WindowGone() const { return m_window.isNull() || *m_closed; }

private:
    struct Held {
        QPointer<QWidget> control;
        bool wasEnabled;
    };

    QPointer<MainWindow> m_window;
    std::shared_ptr<bool> m_closed = std::make_shared<bool>(false);
    QMetaObject::Connection m_connection;
    std::vector<Held> m_held;
};
