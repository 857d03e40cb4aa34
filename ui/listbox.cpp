#include "ui/listbox.h"

#include "base/cp1252.h"

#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

QString ToDisplay(const std::string &entry)
{
    return QString::fromStdString(cp1252::ToUtf8(entry));
}

// Draws an entry's text with every TAB advancing to the next multiple of the tab stop.
class TabStopDelegate : public QStyledItemDelegate {
public:
    TabStopDelegate(int tabStop, QObject *parent) : QStyledItemDelegate(parent), m_tabStop(tabStop) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QStringList pieces = opt.text.split(QLatin1Char('\t'));
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
        LayOut(pieces, opt.fontMetrics, [&](const QString &piece, int x) {
            painter->drawText(area.adjusted(x, 0, 0, 0),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, piece);
        });
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QString text = index.data(Qt::DisplayRole).toString();
        const int plain = option.fontMetrics.horizontalAdvance(text);
        const int laidOut =
            LayOut(text.split(QLatin1Char('\t')), option.fontMetrics, [](const QString &, int) {});
        size.setWidth(size.width() - plain + laidOut);
        return size;
    }

private:
    // Places each piece after the one before it, a TAB moving on to the next
    // multiple of the tab stop; returns the width of the whole line.
    template <typename Place>
    int LayOut(const QStringList &pieces, const QFontMetrics &metrics, Place place) const
    {
        int x = 0;
        for (int i = 0; i < pieces.size(); ++i) {
            if (i > 0 && m_tabStop > 0)
                x = (x / m_tabStop + 1) * m_tabStop;
            place(pieces[i], x);
            x += metrics.horizontalAdvance(pieces[i]);
        }
        return x;
    }

    int m_tabStop;
};

} // namespace

CListBox::CListBox(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
}

void CListBox::SetTabStops(int pixels)
{
    m_tabStop = pixels;
    QAbstractItemDelegate *old = itemDelegate();
    setItemDelegate(new TabStopDelegate(pixels, this));
    if (old && old->parent() == this)
        old->deleteLater();
}

int CListBox::GetCount() const
{
    return count();
}

std::string CListBox::GetText(int index) const
{
    CheckEntryIndex(index, count());
    return cp1252::FromUtf8(item(index)->text().toStdString());
}

int CListBox::AddString(const std::string &entry)
{
    int low = 0, high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (EntryLess(entry, GetText(middle)))
            high = middle;
        else
            low = middle + 1;
    }
    insertItem(low, ToDisplay(entry));
    return low;
}

void CListBox::DeleteString(int index)
{
    if (index >= 0 && index < count())
        delete takeItem(index);
}

void CListBox::AddStrings(std::vector<std::string> &&entries)
{
    // Sorting once and inserting in one go keeps a large file from costing
    // an ordered insertion per record.
    for (int i = 0; i < count(); ++i)
        entries.push_back(GetText(i));
    SortEntries(entries);
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(entries.size()));
    for (const auto &entry : entries)
        texts << ToDisplay(entry);
    const int current = currentRow();
    clear();
    addItems(texts);
    if (current >= 0 && current < count())
        setCurrentRow(current, QItemSelectionModel::NoUpdate);
}

void CListBox::SetSel(int index, bool select)
{
    if (QListWidgetItem *entry = item(index))
        entry->setSelected(select);
}
