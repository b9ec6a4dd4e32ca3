#pragma once

class QPlainTextEdit;
class TabControl;

// Page 2 of the main window's tab control: how to write a source, and two
// ready-made settings of the three choices.
class InstructionsPage {
public:
    static constexpr int kIndex = 2;

    explicit InstructionsPage(TabControl &tabs);

    QPlainTextEdit *instructions() const { return m_instructions; } // 编辑框1

private:
    QPlainTextEdit *m_instructions;
};
