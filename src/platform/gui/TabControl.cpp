#include "TabControl.h"

#include <QEvent>

TabControl::TabControl(QWidget *parent)
    : QTabWidget(parent)
{
    connect(this, &QTabWidget::currentChanged, this, &TabControl::OnCurrentChanged);
}

void TabControl::SetCurrentPage(int page)
{
    if (IsPageEnabled(page))
        setCurrentIndex(page);
}

void TabControl::SetPageEnabled(int page, bool enabled)
{
    setTabEnabled(page, enabled);
}

bool TabControl::IsPageEnabled(int page) const
{
    return page >= 0 && page < count() && isTabEnabled(page);
}

void TabControl::PlaceOnPage(int page, QWidget *control, const QRect &rect)
{
    control->setParent(widget(page));
    m_placements.append({control, rect});
    PlaceControls();
}

void TabControl::OnCurrentChanged(int index)
{
    // The tab bar itself moves away from a page that is being disabled, so
    // the only way to land on a disabled page is a programmatic request.
    if (index >= 0 && !isTabEnabled(index) && IsPageEnabled(m_lastCurrent) && m_lastCurrent != index) {
        setCurrentIndex(m_lastCurrent);
        return;
    }
    m_lastCurrent = index;
}

void TabControl::PlaceControls()
{
    // Every page fills the page stack, which the tab widget has just placed
    // below the strip; its geometry is current even while the pages' own
    // layout is still pending.
    const QWidget *first = widget(0);
    const QWidget *stack = first != nullptr ? first->parentWidget() : nullptr;
    if (stack == nullptr)
        return;
    const QRect area = stack->contentsRect();
    const QPoint origin = stack->mapTo(this, area.topLeft());
    const QRect pageRect(QPoint(0, 0), area.size());
    for (const Placement &placement : std::as_const(m_placements))
        placement.control->setGeometry(placement.rect.translated(-origin).intersected(pageRect));
}

void TabControl::resizeEvent(QResizeEvent *event)
{
    QTabWidget::resizeEvent(event);
    PlaceControls();
}

void TabControl::showEvent(QShowEvent *event)
{
    QTabWidget::showEvent(event);
    PlaceControls();
}

void TabControl::changeEvent(QEvent *event)
{
    QTabWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        PlaceControls();
}
