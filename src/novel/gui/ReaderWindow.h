#pragma once

#include <QDialog>

struct AppState;
class QPlainTextEdit;

// The chapter reader: a modal window with one large text box showing the
// title line "《work》  chapter" and the chapter's text below it, both taken
// from AppState when the window is made.
class ReaderWindow : public QDialog {
    Q_OBJECT

public:
    explicit ReaderWindow(const AppState &state, QWidget *parent = nullptr);

    QPlainTextEdit *textBox() const { return m_text; } // 超级编辑框1

private:
    void OnReaderCreated(const AppState &state);

    QPlainTextEdit *m_text;
};
