#pragma once

#include <QDialog>

// A small window about the program's author, opened modally from the main
// window's menu. It has no behaviour of its own.
class AboutWindow : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget *parent = nullptr);
};
