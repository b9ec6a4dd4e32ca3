#include "SearchHandler.h"

#include "app/AppState.h"
#include "app/gui/MainWindow.h"
#include "diagnostics/gui/DebugWindow.h"
#include "novel/NovelFetcher.h"
#include "novel/WorkSearch.h"
#include "novel/gui/WindowChoices.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/PictureBox.h"
#include "platform/gui/QtText.h"
#include "platform/gui/TabControl.h"

#include <QBitmap>
#include <QBuffer>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTreeWidget>

#include <vector>

namespace {

constexpr int kCoverColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kAddressColumn = 2;
constexpr int kCoverAddressColumn = 3;

// The captured bitmap with the colour of its top-left pixel made
// transparent, the way an image list takes a bitmap added without a
// transparent colour of its own.
QPixmap MaskedByTopLeftColour(const QByteArray &bmp)
{
    QImage image = QImage::fromData(bmp, "BMP");
    if (image.isNull())
        return {};
    QPixmap pixmap = QPixmap::fromImage(image);
    const QImage mask = image.createMaskFromColor(image.pixel(0, 0), Qt::MaskInColor);
    pixmap.setMask(QBitmap::fromImage(mask));
    return pixmap;
}

} // namespace

SearchHandler::SearchHandler(MainWindow &window, NovelFetcher &fetcher) : m_window(window), m_fetcher(fetcher) {}

void SearchHandler::OnSearchClicked()
{
    m_window.tabs()->SetCurrentPage(ResultPage::kIndex);
    AppState &state = m_window.state();
    const FetchChoices choices = ReadFetchChoices(m_window);
    const std::string address =
        BuildSearchAddress(state.activeSource.searchAddress, ToGbk(m_window.searchBox()->text()), choices.keywordForm);
    state.pageAddress = address;
    state.pageText = m_fetcher.FetchPage(state.pageAddress, choices.fetchMode, choices.transcoding);
    if (DebugWindow *debug = m_window.debugWindow())
        debug->ShowSearch(address, state.pageText);

    const std::string pageText = state.pageText;
    const SearchVerdict verdict = JudgeSearchPage(pageText);
    if (verdict != SearchVerdict::Ok) {
        MessageBox::Show(&m_window, FromGbk(SearchVerdictMessage(verdict)));
        return;
    }
    const ActiveSource source = state.activeSource;
    FillResultList(pageText, source.searchList);
    FillResultCovers(pageText, source.workPicture);
}

void SearchHandler::FillResultList(std::string_view pageText, std::string_view searchListExpression)
{
    QTreeWidget *list = m_window.resultPage().resultList();
    list->clear();
    QList<QTreeWidgetItem *> items;
    for (const SearchRow &row : MakeResultRows(pageText, searchListExpression)) {
        auto *item = new QTreeWidgetItem;
        item->setText(kNameColumn, FromGbk(row.name));
        item->setText(kAddressColumn, FromGbk(row.address));
        items.append(item);
    }
    list->addTopLevelItems(items);
}

void SearchHandler::FillResultCovers(std::string_view pageText, std::string_view pictureExpression)
{
    QTreeWidget *list = m_window.resultPage().resultList();
    QLabel *surface = m_window.coverSurface();
    std::vector<QPixmap> images;
    const std::vector<std::string> covers = MakeCoverAddresses(pageText, pictureExpression);
    for (size_t i = 0; i < covers.size(); ++i) {
        QTreeWidgetItem *row = list->topLevelItem(static_cast<int>(i));
        if (row != nullptr)
            row->setText(kCoverAddressColumn, FromGbk(covers[i]));
        ShowPicture(surface, m_fetcher.FetchPicture(covers[i]));
        // A capture that fails still takes its place in the list, so that
        // every later row keeps its own cover.
        images.push_back(MaskedByTopLeftColour(CaptureWindowBitmap(surface)));
        if (row != nullptr)
            row->setIcon(kCoverColumn, images.back().isNull() ? QIcon() : QIcon(images.back()));
    }
}

QByteArray SearchHandler::CaptureWindowBitmap(QWidget *widget)
{
    if (widget == nullptr || widget->size().isEmpty())
        return {};
    // Drawn at the box's own size in pixels whatever the screen's scale, so
    // every cover in the list is 100 × 132 like the box.
    QImage image(widget->size(), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.setDevicePixelRatio(1.0);
    image.fill(Qt::white);
    widget->render(&image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        return {};
    return bytes;
}
