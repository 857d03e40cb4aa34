#include "qt/qtdialogwindow.h"

#include "base/cp1252.h"
#include "qt/listwidget.h"
#include "qt/qtservices.h"
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
#include <QValidator>

#include <cmath>

namespace {

QString ToQString(const std::string &text)
{
    return QString::fromStdString(cp1252::ToUtf8(text));
}

std::string FromQString(const QString &text)
{
    return cp1252::FromUtf8(text.toStdString());
}

// Lets typing and pasting make the text no longer than the limit (counted in
// stored 8-bit characters), without cutting a longer text already there.
class MaxCharsValidator : public QValidator {
public:
    explicit MaxCharsValidator(QLineEdit *edit) : QValidator(edit) {}

    void SetLimit(int limit, const QString &current)
    {
        m_limit = limit;
        m_length = Length(current);
    }

    State validate(QString &input, int &) const override
    {
        const int length = Length(input);
        if (length > m_limit && length > m_length)
            return Invalid;
        m_length = length;
        return Acceptable;
    }

private:
    static int Length(const QString &text) { return static_cast<int>(FromQString(text).size()); }

    int m_limit = 0;
    mutable int m_length = 0;
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
    case res::ControlKind::AutoRadioButton: return new QRadioButton(text, parent);
    case res::ControlKind::Edit: {
        auto *edit = new QLineEdit(parent);
        edit->setFrame((c.styles & res::Border) != 0);
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
        auto *list = new CListWidget(parent);
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

bool TakesFocus(res::ControlKind kind)
{
    return kind != res::ControlKind::Static && kind != res::ControlKind::GroupBox &&
           kind != res::ControlKind::Icon;
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

    // Windows' dialog base units: the average width of the 52 letters and the font's height.
    const QFontMetrics metrics(font());
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseUnitX = (letters / 26 + 1) / 2;
    m_baseUnitY = metrics.height();

    CreateControls(dialogTemplate);
    setFixedSize(MapDialogRect(QRect(0, 0, dialogTemplate.cx, dialogTemplate.cy)).size());

    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { m_events.Command(ID_HELP); });
}

QtDialogWindow::~QtDialogWindow() = default;

QRect QtDialogWindow::MapDialogRect(const QRect &dialogUnits) const
{
    const auto x = [this](int units) { return static_cast<int>(std::lround(units * m_baseUnitX / 4.0)); };
    const auto y = [this](int units) { return static_cast<int>(std::lround(units * m_baseUnitY / 8.0)); };
    return {x(dialogUnits.x()), y(dialogUnits.y()), x(dialogUnits.width()), y(dialogUnits.height())};
}

void QtDialogWindow::CreateControls(const res::DialogTemplate &dialogTemplate)
{
    QButtonGroup *radioGroup = nullptr;
    QWidget *previousFocus = nullptr;
    std::vector<std::pair<QLabel *, int>> labels;
    for (const auto &c : dialogTemplate.controls) {
        QWidget *control = CreateControl(c, this);
        QRect geometry = MapDialogRect(QRect(c.x, c.y, c.cx, c.cy));
        // A one-line label in a font wider than the template's grows rather than being cut.
        if (auto *label = qobject_cast<QLabel *>(control);
            label && label->pixmap().isNull() && geometry.height() < 2 * m_baseUnitY) {
            label->setWordWrap(false);
            geometry.setWidth(std::max(geometry.width(), label->sizeHint().width()));
        }
        control->setGeometry(geometry);
        if (c.labelFor != 0)
            labels.emplace_back(qobject_cast<QLabel *>(control), c.labelFor);
        control->setVisible((c.styles & res::Hidden) == 0);
        m_templateOrder.push_back(control);
        if (c.id != IDC_STATIC)
            m_controls.emplace(c.id, control);

        if (TakesFocus(c.kind)) {
            control->setFocusPolicy((c.styles & res::TabStop) ? Qt::StrongFocus : Qt::ClickFocus);
            if (previousFocus)
                setTabOrder(previousFocus, control);
            previousFocus = control;
        }

        // Radio buttons exclude each other within a group, which runs to the next control that starts one.
        if (c.styles & res::Group)
            radioGroup = nullptr;
        if (auto *radio = qobject_cast<QRadioButton *>(control)) {
            if (!radioGroup)
                radioGroup = new QButtonGroup(this);
            radioGroup->addButton(radio);
        }

        const int id = c.id;
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            connect(button, &QAbstractButton::clicked, this, [this, id] { m_events.Command(id); });
        if (auto *list = qobject_cast<CListWidget *>(control))
            connect(list, &QListWidget::itemDoubleClicked, this, [this, id] { m_events.DoubleClick(id); });
        if (auto *group = qobject_cast<QGroupBox *>(control))
            group->lower(); // a frame drawn around controls must not take their clicks
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

CListWidget *QtDialogWindow::List(int id) const
{
    return qobject_cast<CListWidget *>(GetDlgItem(id));
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
        edit->setText(ToQString(text));
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
    QLineEdit *edit = Edit(id);
    if (!edit)
        return;
    auto *validator =
        const_cast<MaxCharsValidator *>(dynamic_cast<const MaxCharsValidator *>(edit->validator()));
    if (!validator) {
        validator = new MaxCharsValidator(edit);
        edit->setValidator(validator);
    }
    validator->SetLimit(count, edit->text());
}

void QtDialogWindow::Enable(int id, bool enabled)
{
    if (QWidget *control = GetDlgItem(id))
        control->setEnabled(enabled);
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
    CListWidget *list = List(id);
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
