#pragma once

#include <QListWidget>

class TabStopDelegate;

// The list box of the text sizes: entries run down a column and on into the
// next, with one horizontal scroll bar; every column is as wide as the widest
// entry, so no name or size is ever cut; a TAB in an entry moves on to the
// next tab stop.
class MultiColumnListWidget : public QListWidget {
    Q_OBJECT

public:
    explicit MultiColumnListWidget(QWidget *parent = nullptr);

    void SetMultiColumn(bool multiColumn);
    // Tab stops every `pixels`, as a list box given one tab stop has them.
    void SetTabStop(int pixels);

    void InsertEntry(int index, const QString &entry);
    void DeleteEntry(int index);
    // Replaces every entry, keeping the focus rectangle's row.
    void ResetEntries(const QStringList &entries);

    // The width an entry needs, its TABs laid out.
    int EntryWidth(const QString &entry) const;

private:
    void Widen(const QStringList &entries);
    void ApplyColumnWidth();

    TabStopDelegate *m_delegate;
    int m_columnWidth = 0;
};
