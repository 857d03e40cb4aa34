#include "qt/listwidget.h"

#include "dialogs/layout.h"

#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Places each piece of text after the one before it, a TAB moving on to the
// next multiple of the tab stop; returns the width of the whole line.
template <typename Place>
int LayOut(const QString &text, int tabStop, const QFontMetrics &metrics, Place place)
{
    int x = 0;
    bool first = true;
    for (const auto &piece : QStringView(text).split(QLatin1Char('\t'))) {
        if (!first && tabStop > 0)
            x = (x / tabStop + 1) * tabStop;
        first = false;
        place(piece, x);
        x += metrics.horizontalAdvance(piece.toString());
    }
    return x;
}

} // namespace

// Draws an entry's text with every TAB advancing to the next tab stop.
class TabStopDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    int tabStop = 0;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
        const bool selected = opt.state & QStyle::State_Selected;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(
            opt.palette.color(QPalette::Normal, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setClipRect(area);
        LayOut(text, tabStop, opt.fontMetrics, [&](QStringView piece, int x) {
            painter->drawText(area.adjusted(x, 0, 0, 0),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, piece.toString());
        });
        painter->restore();
    }
};

MultiColumnListWidget::MultiColumnListWidget(QWidget *parent)
    : QListWidget(parent), m_delegate(new TabStopDelegate(this))
{
    setItemDelegate(m_delegate);
    setUniformItemSizes(true);
    ApplyColumnWidth();
}

void MultiColumnListWidget::SetMultiColumn(bool multiColumn)
{
    setFlow(multiColumn ? QListView::TopToBottom : QListView::LeftToRight);
    setWrapping(multiColumn);
    setResizeMode(QListView::Adjust);
    setVerticalScrollBarPolicy(multiColumn ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(multiColumn ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void MultiColumnListWidget::SetTabStop(int pixels)
{
    m_delegate->tabStop = pixels;
    m_columnWidth = 0;
    QStringList texts;
    for (int i = 0; i < count(); ++i)
        texts << item(i)->text();
    Widen(texts);
    ApplyColumnWidth();
    viewport()->update();
}

int MultiColumnListWidget::EntryWidth(const QString &entry) const
{
    // The style's margin either side of an item's text.
    const int inset = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return layout::ColumnWidth(LayOut(entry, m_delegate->tabStop, fontMetrics(), [](QStringView, int) {}),
                               inset);
}

void MultiColumnListWidget::Widen(const QStringList &entries)
{
    for (const auto &entry : entries)
        m_columnWidth = std::max(m_columnWidth, EntryWidth(entry));
}

void MultiColumnListWidget::ApplyColumnWidth()
{
    const int width = std::max(m_columnWidth, EntryWidth(QString()));
    const QSize grid(width, fontMetrics().height() + 2);
    if (gridSize() != grid)
        setGridSize(grid);
}

void MultiColumnListWidget::InsertEntry(int index, const QString &entry)
{
    insertItem(index, entry);
    Widen({entry});
    ApplyColumnWidth();
}

void MultiColumnListWidget::DeleteEntry(int index)
{
    if (index >= 0 && index < count())
        delete takeItem(index);
}

void MultiColumnListWidget::ResetEntries(const QStringList &entries)
{
    const int current = currentRow();
    clear();
    addItems(entries);
    m_columnWidth = 0;
    Widen(entries);
    ApplyColumnWidth();
    if (current >= 0 && current < count())
        setCurrentRow(current, QItemSelectionModel::NoUpdate);
}
