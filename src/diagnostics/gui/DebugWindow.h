#pragma once

#include <QWidget>

#include <string>

class QLineEdit;
class QPlainTextEdit;

// Shows what the last search really did: the address it built and the text
// that came back, so that the user can tune a source and the three choices.
// A window of its own (no parent), modeless, deleted when closed; it holds
// no logic, the search writes into it while it is open.
class DebugWindow : public QWidget {
    Q_OBJECT

public:
    explicit DebugWindow(QWidget *parent = nullptr);

    // Texts in the program's code page.
    void ShowSearch(const std::string &address, const std::string &pageText);

    QLineEdit *addressBox() const { return m_address; }      // 编辑框_调试搜索地址
    QPlainTextEdit *pageTextBox() const { return m_pageText; } // 编辑框_调试取码

private:
    QLineEdit *m_address;
    QPlainTextEdit *m_pageText;
};
