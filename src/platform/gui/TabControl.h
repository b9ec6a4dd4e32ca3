#pragma once

#include <QRect>
#include <QTabWidget>
#include <QVector>

// A tab control whose disabled pages can never become current: the user
// cannot pick them, SetCurrentPage ignores them, and even a direct
// setCurrentIndex on a disabled page is undone.
//
// Controls on a page are placed in the tab control's own coordinates (the
// tab strip included), the way the window's layout is written down; the
// control converts them to page coordinates once the strip's height is
// known, and keeps every control inside its page.
class TabControl : public QTabWidget {
    Q_OBJECT

public:
    explicit TabControl(QWidget *parent = nullptr);

    // Makes `page` current; does nothing for a disabled or missing page.
    void SetCurrentPage(int page);
    void SetPageEnabled(int page, bool enabled);
    bool IsPageEnabled(int page) const;

    // Puts `control` on `page` at `rect`, given relative to the tab control.
    void PlaceOnPage(int page, QWidget *control, const QRect &rect);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Placement {
        QWidget *control;
        QRect rect;
    };

    void OnCurrentChanged(int index);
    void PlaceControls();

    QVector<Placement> m_placements;
    int m_lastCurrent = 0;
};
