#pragma once

#include "sources/SourceRecord.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

// What the add and the modify dialog share: the eight edit boxes of a source,
// each with its caption 69 pixels to its left, and the save step that turns
// every apostrophe of the seven expression boxes into the store's quote
// token and shows the result in the boxes.
class SourceFieldsDialog : public QDialog {
    Q_OBJECT

public:
    // The boxes in the order of the store's columns.
    QLineEdit *nameBox() const { return m_boxes[0]; }        // 编辑框_添加名称
    QLineEdit *box(int index) const { return m_boxes[static_cast<size_t>(index)]; }
    static constexpr int kBoxCount = 8;

protected:
    // `boxX` is the boxes' left edge, `boxY` their tops, top to bottom.
    SourceFieldsDialog(int boxX, const std::array<int, kBoxCount> &boxY, QWidget *parent);

    ActiveSource Texts() const;
    void SetTexts(const ActiveSource &texts);
    void EscapeExpressionBoxes();
    QPushButton *NewButton(const QString &objectName, const QString &text, int x, int y);

private:
    std::array<QLineEdit *, kBoxCount> m_boxes{};
};
