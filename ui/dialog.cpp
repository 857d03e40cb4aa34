#include "ui/dialog.h"

#include "base/fileerror.h"
#include "base/messagebox.h"
#include "res/dialogs.h"
#include "res/resource.h"
#include "res/strings.h"
#include "ui/dataexchange.h"
#include "ui/listbox.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontInfo>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <cmath>
#include <new>
#include <system_error>

namespace {

// The template's font where the system has it. Otherwise a face with its
// proportions (MS Sans Serif is metrically close to Arial), at the desktop's
// size, so that every text fits the room the template gives it; failing
// that, the platform's dialog font.
QFont DialogFont(const res::DialogTemplate &dialogTemplate)
{
    const QFont platform = QApplication::font("QDialog");
    // Asking for each face by name resolves only that one, where listing the
    // installed families would read them all.
    const auto available = [](const QFont &font) {
        return QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0;
    };
    QFont font(QString::fromLatin1(dialogTemplate.fontName));
    font.setPointSize(dialogTemplate.pointSize);
    if (available(font))
        return font;
    for (const char *standIn : {"Microsoft Sans Serif", "Liberation Sans", "Arimo", "Arial", "Helvetica"}) {
        font = QFont(QString::fromLatin1(standIn));
        font.setPointSizeF(platform.pointSizeF());
        if (available(font))
            return font;
    }
    return platform;
}

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
        auto *list = new CListBox(parent);
        list->setSelectionMode((c.styles & res::ExtendedSel) ? QAbstractItemView::ExtendedSelection
                                                             : QAbstractItemView::SingleSelection);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
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

// The icons are compiled into this static library, whose resources Qt
// registers only when asked to.
static void RegisterResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

QIcon ApplicationIcon()
{
    RegisterResources();
    QIcon icon;
    for (const auto *name : {":/icons/plaxomet-16.png", ":/icons/plaxomet-32.png"}) {
        // Without auto-detection Qt reads PNG itself rather than loading
        // every image format plug-in to ask whether it knows the file.
        QImageReader reader(QString::fromLatin1(name), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

QString LoadQString(unsigned id)
{
    const auto text = res::LoadString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

CDialog::CDialog(int templateId, IMessageService &messages, QWidget *parent)
    : QDialog(parent), m_messages(messages)
{
    const auto &dialogTemplate = res::GetDialogTemplate(templateId);
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
}

CDialog::~CDialog() = default;

QRect CDialog::MapDialogRect(const QRect &dialogUnits) const
{
    const auto x = [this](int units) { return static_cast<int>(std::lround(units * m_baseUnitX / 4.0)); };
    const auto y = [this](int units) { return static_cast<int>(std::lround(units * m_baseUnitY / 8.0)); };
    return {x(dialogUnits.x()), y(dialogUnits.y()), x(dialogUnits.width()), y(dialogUnits.height())};
}

void CDialog::CreateControls(const res::DialogTemplate &dialogTemplate)
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

        // A radio group runs from a button to the next control that starts a group.
        if (c.styles & res::Group)
            radioGroup = nullptr;
        if (auto *radio = qobject_cast<QRadioButton *>(control)) {
            if (!radioGroup) {
                radioGroup = new QButtonGroup(this);
                m_radioGroups.push_back(radioGroup);
            }
            radioGroup->addButton(radio, static_cast<int>(radioGroup->buttons().size()));
        }

        if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            const int id = c.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnButtonClicked(id); });
        }
        if (auto *group = qobject_cast<QGroupBox *>(control))
            group->lower(); // a frame drawn around controls must not take their clicks
    }

    for (const auto &[label, fieldId] : labels) {
        if (QWidget *field = GetDlgItem(fieldId)) {
            label->setBuddy(field);
            field->setAccessibleName(label->text());
        }
    }
}

QWidget *CDialog::GetDlgItem(int id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QButtonGroup *CDialog::RadioGroupOf(QWidget *control) const
{
    for (auto *group : m_radioGroups) {
        if (auto *button = qobject_cast<QAbstractButton *>(control);
            button && group->buttons().contains(button))
            return group;
    }
    return nullptr;
}

void CDialog::SetIcon(const QIcon &icon)
{
    setWindowIcon(icon);
}

void CDialog::CenterWindow()
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

bool CDialog::InitDialog()
{
    if (!UpdateData(false))
        return false;
    bool focusFirst = false;
    bool finished = false;
    Dispatch([&] {
        focusFirst = OnInitDialog();
        finished = true;
    });
    // An initialisation cut short by an error still opens the dialog, without the default focus.
    if (finished && focusFirst) {
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
    return true;
}

int CDialog::DoModal()
{
    if (!InitDialog())
        return -1;
    return exec();
}

bool CDialog::Open()
{
    if (!InitDialog())
        return false;
    show();
    activateWindow();
    return true;
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
        return true;
    } catch (const CUserException &) {
        return false;
    } catch (const CException &error) {
        m_messages.ShowMessage(error.GetErrorMessage(), MsgButtons::OK, MsgIcon::Exclamation);
    } catch (...) {
        m_messages.ShowMessage(std::string(res::LoadString(res::AFX_IDP_INTERNAL_FAILURE)), MsgButtons::OK,
                               MsgIcon::Exclamation);
    }
    return false;
}

void CDialog::EndDialog(int result)
{
    done(result);
}

void CDialog::DoDataExchange(CDataExchange *) {}

bool CDialog::OnInitDialog()
{
    return true;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnCommand(int id, std::function<void()> handler)
{
    m_commands[id] = std::move(handler);
}

void CDialog::OnDoubleClick(int id, std::function<void()> handler)
{
    if (auto *list = qobject_cast<QListWidget *>(GetDlgItem(id))) {
        connect(list, &QListWidget::itemDoubleClicked, this,
                [this, handler = std::move(handler)] { Dispatch(handler); });
    }
}

void CDialog::OnButtonClicked(int id)
{
    if (id == IDOK)
        Dispatch([this] { OnOK(); });
    else if (id == IDCANCEL)
        Dispatch([this] { OnCancel(); });
    else if (const auto it = m_commands.find(id); it != m_commands.end())
        Dispatch(it->second);
}

// Esc, the close box and Alt+F4 all come here, as the Cancel command.
void CDialog::reject()
{
    OnButtonClicked(IDCANCEL);
}

void CDialog::accept()
{
    OnButtonClicked(IDOK);
}

void CDialog::Dispatch(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (...) {
        ReportError(std::current_exception());
    }
}

void CDialog::ReportError(const std::exception_ptr &error)
{
    std::string text;
    MsgIcon icon = MsgIcon::Stop;
    try {
        std::rethrow_exception(error);
    } catch (const CException &e) {
        text = e.GetErrorMessage();
    } catch (const std::bad_alloc &) {
        text = res::LoadString(res::AFX_IDP_FAILED_MEMORY_ALLOC);
        icon = MsgIcon::Exclamation;
    } catch (const std::system_error &e) {
        text = e.code().message();
    } catch (...) {
        text = res::LoadString(res::AFX_IDP_INTERNAL_FAILURE);
    }
    try {
        m_messages.ShowMessage(text, MsgButtons::OK, icon);
    } catch (...) {
        // Nothing is left that could report it.
    }
}
