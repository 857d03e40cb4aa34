#include "qt/qtdialogwindow.h"

#include "base/text8.h"
#include "dialogs/layout.h"
#include "qt/appearance.h"
#include "qt/listwidget.h"
#include "res/dialogs.h"
#include "res/resource.h"

#include <QApplication>
#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QValidator>

#include <limits>

namespace {

QString ToQString(const std::string &text)
{
    return QString::fromStdString(text8::ToUtf8(text));
}

std::string FromQString(const QString &text)
{
    return text8::FromUtf8(text.toStdString());
}

// Makes a QLineEdit take text as a native one-line edit control does: what
// is typed, pasted or dropped is cut at its first line break, and only as
// much of it is inserted as the length limit (counted in stored 8-bit
// characters) leaves room for; a longer text already there is not cut.
class EditControlValidator : public QValidator {
public:
    explicit EditControlValidator(QLineEdit *edit) : QValidator(edit)
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { m_previous = text; });
    }

    void SetLimit(int limit) { m_limit = limit; }

    State validate(QString &input, int &pos) const override
    {
        // The insertion is what lies between the part kept before it and the cursor;
        // everything after the cursor is the previous text's end.
        const qsizetype tail = input.size() - pos;
        qsizetype head = 0;
        while (head < pos && head < m_previous.size() - tail && input[head] == m_previous[head])
            ++head;
        QString inserted = input.mid(head, pos - head);
        for (qsizetype i = 0; i < inserted.size(); ++i) {
            if (inserted[i] == u'\r' || inserted[i] == u'\n') {
                inserted.truncate(i);
                break;
            }
        }
        const QString before = input.left(head);
        const QString after = input.mid(pos);
        const int room = m_limit - Length(before + after);
        while (!inserted.isEmpty() && Length(inserted) > room)
            inserted.chop(1);
        if (inserted.isEmpty() && pos > head && input.size() > m_previous.size())
            return Invalid; // nothing of it fits: the text stays as it was
        input = before + inserted + after;
        pos = static_cast<int>(head + inserted.size());
        return Acceptable;
    }

private:
    static int Length(const QString &text) { return static_cast<int>(FromQString(text).size()); }

    int m_limit = std::numeric_limits<int>::max();
    QString m_previous;
};

// A radio button drawn as a right-aligned Windows one: its text from the
// left edge, its circle at the right edge. The whole button takes the click.
class RightButtonRadio : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QRect circle = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
        const int spacing = style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
        QStyleOptionButton label = option;
        label.rect = QRect(0, 0, width() - circle.width() - spacing, height());
        painter.drawControl(QStyle::CE_RadioButtonLabel, label);
        option.rect = circle.translated(width() - circle.right() - 1 - circle.left(), 0);
        painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, option);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = style()->itemTextRect(fontMetrics(), label.rect, Qt::AlignLeft | Qt::AlignVCenter,
                                               isEnabled(), text());
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

QWidget *CreateControl(const res::ControlTemplate &c, QWidget *parent)
{
    const QString text = QString::fromUtf8(c.text);
    switch (c.kind) {
    case res::ControlKind::PushButton:
    case res::ControlKind::DefPushButton: {
        auto *button = new QPushButton(text, parent);
        button->setDefault(c.kind == res::ControlKind::DefPushButton);
        return button;
    }
    case res::ControlKind::AutoRadioButton:
        if (c.styles & res::RightAligned)
            return new RightButtonRadio(text, parent);
        return new QRadioButton(text, parent);
    case res::ControlKind::Edit: {
        auto *edit = new QLineEdit(parent);
        edit->setFrame((c.styles & res::Border) != 0);
        edit->setValidator(new EditControlValidator(edit));
        return edit;
    }
    case res::ControlKind::Static: {
        auto *label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case res::ControlKind::GroupBox: return new QGroupBox(text, parent);
    case res::ControlKind::ListBox: {
        auto *list = new MultiColumnListWidget(parent);
        list->setSelectionMode((c.styles & res::ExtendedSel) ? QAbstractItemView::ExtendedSelection
                                                             : QAbstractItemView::SingleSelection);
        list->SetMultiColumn((c.styles & res::MultiColumn) != 0);
        return list;
    }
    case res::ControlKind::Icon: {
        auto *label = new QLabel(parent);
        label->setPixmap(ApplicationIcon().pixmap(32, 32));
        return label;
    }
    }
    return nullptr;
}

} // namespace

QtDialogWindow::QtDialogWindow(const res::DialogTemplate &dialogTemplate, IDialogEvents &events,
                               QWidget *parent)
    : QDialog(parent), m_events(events)
{
    setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont(dialogTemplate));

    const QFontMetrics metrics(font());
    m_units = layout::FromFace(
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
        metrics.height());

    CreateControls(dialogTemplate);
    setFixedSize(MapDialogRect(QRect(0, 0, dialogTemplate.cx, dialogTemplate.cy)).size());

    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { m_events.Command(ID_HELP); });
}

QtDialogWindow::~QtDialogWindow() = default;

QRect QtDialogWindow::MapDialogRect(const QRect &dialogUnits) const
{
    const auto r = layout::ToPixels(m_units, dialogUnits.x(), dialogUnits.y(), dialogUnits.width(),
                                    dialogUnits.height());
    return {r.x, r.y, r.width, r.height};
}

void QtDialogWindow::CreateControls(const res::DialogTemplate &dialogTemplate)
{
    // What a label's text needs, as QLabel measures one line.
    const auto textWidth = [metrics = QFontMetrics(font())](const char *text) {
        return metrics.boundingRect(QRect(), Qt::TextSingleLine, QString::fromUtf8(text)).width();
    };
    const auto placed = layout::LayOut(dialogTemplate, m_units, textWidth);
    std::map<int, QButtonGroup *> radioGroups;
    QWidget *previousFocus = nullptr;
    std::vector<std::pair<QLabel *, int>> labels;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const auto &c = dialogTemplate.controls[i];
        const auto &p = placed[i];
        QWidget *control = CreateControl(c, this);
        if (auto *label = qobject_cast<QLabel *>(control); label && layout::IsOneLineLabel(c))
            label->setWordWrap(false);
        control->setGeometry(p.rect.x, p.rect.y, p.rect.width, p.rect.height);
        // An earlier control lies above the later ones; labels, frames and
        // icons let clicks through to whatever lies below them.
        control->lower();
        control->setAttribute(Qt::WA_TransparentForMouseEvents, !p.takesFocus);
        if (c.labelFor != 0)
            labels.emplace_back(qobject_cast<QLabel *>(control), c.labelFor);
        control->setVisible((c.styles & res::Hidden) == 0);
        m_templateOrder.push_back(control);
        if (c.id != IDC_STATIC)
            m_controls.emplace(c.id, control);

        if (p.takesFocus) {
            control->setFocusPolicy(p.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
            if (previousFocus)
                setTabOrder(previousFocus, control);
            previousFocus = control;
        }
        if (auto *radio = qobject_cast<QRadioButton *>(control)) {
            auto &group = radioGroups[p.radioGroup];
            if (!group)
                group = new QButtonGroup(this);
            group->addButton(radio);
        }

        const int id = c.id;
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            connect(button, &QAbstractButton::clicked, this, [this, id] { m_events.Command(id); });
        if (auto *list = qobject_cast<MultiColumnListWidget *>(control))
            connect(list, &QListWidget::itemDoubleClicked, this, [this, id] { m_events.DoubleClick(id); });
        if (auto *edit = qobject_cast<QLineEdit *>(control)) {
            edit->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](const QPoint &pos) {
                ShowSystemMenu(edit->mapToGlobal(pos), edit->createStandardContextMenu());
            });
        }
    }

    for (const auto &[label, fieldId] : labels) {
        if (QWidget *field = GetDlgItem(fieldId)) {
            label->setBuddy(field);
            field->setAccessibleName(label->text());
        }
    }
}

int QtDialogWindow::RunModal()
{
    bool focusFirst = false;
    if (!m_events.InitDialog(focusFirst))
        return -1;
    if (focusFirst) {
        for (QWidget *control : m_templateOrder) {
            if (control->focusPolicy() == Qt::StrongFocus && !control->isHidden() && control->isEnabled()) {
                control->setFocus(Qt::TabFocusReason);
                if (auto *edit = qobject_cast<QLineEdit *>(control))
                    edit->selectAll();
                break;
            }
        }
    }
    if (!isVisible())
        CenterWindow();
    return exec();
}

// Tab moves as Windows' dialog manager moves it: to the next control in
// template order that has a tab stop, whatever the user clicked before.
bool QtDialogWindow::focusNextPrevChild(bool next)
{
    const auto count = static_cast<std::ptrdiff_t>(m_templateOrder.size());
    const QWidget *focused = QApplication::focusWidget();
    std::ptrdiff_t current = next ? -1 : count;
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        if (m_templateOrder[static_cast<std::size_t>(i)] == focused)
            current = next ? i : i + count;
    }
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        QWidget *control =
            m_templateOrder[static_cast<std::size_t>((current + (next ? step : -step)) % count)];
        if (control->focusPolicy() == Qt::StrongFocus && control->isVisible() && control->isEnabled()) {
            control->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

void QtDialogWindow::EndDialog(int result)
{
    done(result);
}

// Esc, the close box and Alt+F4 all come here, as the Cancel command.
void QtDialogWindow::reject()
{
    m_events.Command(IDCANCEL);
}

void QtDialogWindow::accept()
{
    m_events.Command(IDOK);
}

void QtDialogWindow::CenterWindow()
{
    // The window has no frame yet, so its client area is centred on the
    // owner's: both get the same frame, so the frames line up too.
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner && owner->isVisible())
        area = owner->geometry();
    else if (const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    else
        return;
    QRect client = geometry();
    client.moveCenter(area.center());
    setGeometry(client);
}

void QtDialogWindow::SetIcon(int)
{
    // The program gives every window the application's icon; decoding it
    // again is only needed where nobody did.
    const QIcon icon = QApplication::windowIcon();
    setWindowIcon(icon.availableSizes().isEmpty() ? ApplicationIcon() : icon);
}

void QtDialogWindow::SetCaption(const std::string &text)
{
    setWindowTitle(ToQString(text));
}

void QtDialogWindow::AppendSystemMenuItem(unsigned command, const std::string &text)
{
    m_systemMenu.emplace_back(command, ToQString(text));
}

bool QtDialogWindow::IsActive() const
{
    return isVisible() && isActiveWindow();
}

void QtDialogWindow::contextMenuEvent(QContextMenuEvent *event)
{
    ShowSystemMenu(event->globalPos(), new QMenu(this));
}

void QtDialogWindow::ShowSystemMenu(const QPoint &globalPos, QMenu *menu)
{
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const auto &[command, text] : m_systemMenu) {
        if (!menu->isEmpty())
            menu->addSeparator();
        QAction *item = menu->addAction(text);
        connect(item, &QAction::triggered, this, [this, command = command] { m_events.SysCommand(command); });
    }
    if (menu->isEmpty()) {
        delete menu;
        return;
    }
    menu->popup(globalPos);
}

QWidget *QtDialogWindow::GetDlgItem(int id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QLineEdit *QtDialogWindow::Edit(int id) const
{
    return qobject_cast<QLineEdit *>(GetDlgItem(id));
}

MultiColumnListWidget *QtDialogWindow::List(int id) const
{
    return qobject_cast<MultiColumnListWidget *>(GetDlgItem(id));
}

std::string QtDialogWindow::GetText(int id) const
{
    QWidget *control = GetDlgItem(id);
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return FromQString(edit->text());
    if (auto *label = qobject_cast<QLabel *>(control))
        return FromQString(label->text());
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return FromQString(button->text());
    return {};
}

void QtDialogWindow::SetText(int id, const std::string &text)
{
    QWidget *control = GetDlgItem(id);
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        // The program's own text is set whole, as a native edit control's is.
        const QValidator *validator = edit->validator();
        edit->setValidator(nullptr);
        edit->setText(ToQString(text));
        edit->setValidator(validator);
        edit->setCursorPosition(0);
    } else if (auto *label = qobject_cast<QLabel *>(control)) {
        label->setText(ToQString(text));
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        button->setText(ToQString(text));
    }
}

bool QtDialogWindow::GetCheck(int id) const
{
    auto *button = qobject_cast<QAbstractButton *>(GetDlgItem(id));
    return button && button->isChecked();
}

void QtDialogWindow::SetCheck(int id, bool checked)
{
    auto *button = qobject_cast<QAbstractButton *>(GetDlgItem(id));
    if (!button)
        return;
    // An exclusive group refuses to clear its last checked button.
    QButtonGroup *group = button->group();
    if (group)
        group->setExclusive(false);
    button->setChecked(checked);
    if (group)
        group->setExclusive(true);
}

void QtDialogWindow::SetFocus(int id)
{
    if (QWidget *control = GetDlgItem(id))
        control->setFocus(Qt::OtherFocusReason);
}

int QtDialogWindow::GetFocus() const
{
    const QWidget *focused = QApplication::focusWidget();
    for (const auto &[id, control] : m_controls) {
        if (control == focused)
            return id;
    }
    return 0;
}

void QtDialogWindow::SelectAllText(int id)
{
    if (QLineEdit *edit = Edit(id))
        edit->selectAll();
}

void QtDialogWindow::LimitText(int id, int count)
{
    if (QLineEdit *edit = Edit(id))
        static_cast<EditControlValidator *>(const_cast<QValidator *>(edit->validator()))->SetLimit(count);
}

void QtDialogWindow::ListInsert(int id, int index, const std::string &entry)
{
    List(id)->InsertEntry(index, ToQString(entry));
}

void QtDialogWindow::ListDelete(int id, int index)
{
    List(id)->DeleteEntry(index);
}

void QtDialogWindow::ListReset(int id, const std::vector<std::string> &entries)
{
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(entries.size()));
    for (const auto &entry : entries)
        texts << ToQString(entry);
    List(id)->ResetEntries(texts);
}

int QtDialogWindow::ListCaret(int id) const
{
    return List(id)->currentRow();
}

void QtDialogWindow::ListSetCaret(int id, int index)
{
    MultiColumnListWidget *list = List(id);
    if (index >= 0 && index < list->count())
        list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
}

bool QtDialogWindow::ListSelected(int id, int index) const
{
    const QListWidgetItem *item = List(id)->item(index);
    return item && item->isSelected();
}

void QtDialogWindow::ListSetSelected(int id, int index, bool selected)
{
    if (QListWidgetItem *item = List(id)->item(index))
        item->setSelected(selected);
}

void QtDialogWindow::ListSetTabStop(int id, int dialogUnits)
{
    List(id)->SetTabStop(MapDialogRect(QRect(0, 0, dialogUnits, 0)).width());
}

std::unique_ptr<IDialogWindow> QtToolkit::CreateDialogWindow(int templateId, IDialogEvents &events,
                                                             IDialogWindow *owner)
{
    return std::make_unique<QtDialogWindow>(res::GetDialogTemplate(templateId), events,
                                            dynamic_cast<QtDialogWindow *>(owner));
}
