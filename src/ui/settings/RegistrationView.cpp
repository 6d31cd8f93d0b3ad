#include "ui/settings/RegistrationView.h"

#include "config/AppInfo.h"
#include "platform/Preferences.h"
#include "sharing/RegistrationHandler.h"
#include "ui/kit/Alert.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Theme.h"
#include "ui/settings/FormSwitch.h"
#include "ui/settings/FormTextField.h"
#include "ui/settings/KeyboardFixer.h"
#include "ui/settings/SettingsHost.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>

namespace {

const QString SubscribeRow = QStringLiteral("subscribe");
const QString FirstNameRow = QStringLiteral("firstName");
const QString LastNameRow = QStringLiteral("lastName");
const QString EmailRow = QStringLiteral("email");

constexpr int FieldWidth = 170;
constexpr int LargeFieldWidth = 210;
constexpr int FieldHeight = 22;
constexpr int TextWidth = 300;
constexpr int TextHeight = 35;

} // namespace

RegistrationView::RegistrationView(SettingsHost &host, Preferences &preferences, TableView::Style style,
                                   QWidget *parent)
    : FormTableViewController(style, parent)
    , m_host(host)
    , m_preferences(preferences)
    , m_saveButton(new BarButtonItem(BarButtonItem::SystemItem::Save, this))
    , m_subscribe(std::make_shared<FormSwitch>())
{
    setTitle(tr("%1 Registration").arg(AppInfo::value(AppInfo::BundleDisplayName)));
    setKeyboardFixer(m_host.keyboardFixer());
    connect(m_saveButton, &BarButtonItem::triggered, this, &RegistrationView::saveButtonPressed);
    setRightBarButtonItem(m_saveButton);
    if (m_preferences.registrationShown()) {
        m_cancelButton = new BarButtonItem(BarButtonItem::SystemItem::Cancel, this);
        connect(m_cancelButton, &BarButtonItem::triggered, this, &RegistrationView::cancelButtonPressed);
        setLeftBarButtonItem(m_cancelButton);
    } else {
        // The first-run form is left by saving only.
        setHidesBackButton(true);
    }

    m_subscribe->setOn(m_preferences.registrationSubscribed());
    connect(m_subscribe.get(), &Switch::valueChanged, this, &RegistrationView::subscribeChanged);
    addRow(SubscribeRow, tr("Receive Updates"), m_subscribe, QStringLiteral("y"),
           addSection(QStringLiteral("sub")));

    m_details = addSection(QStringLiteral("details"));
    m_details->title = tr("Contact Information");
    addTextRow(FirstNameRow, tr("First Name"), tr("John"), false,
               m_preferences.registrationFirstName());
    addTextRow(LastNameRow, tr("Last Name"), tr("Smith"), false,
               m_preferences.registrationLastName());
    addTextRow(EmailRow, tr("Email"), QStringLiteral("john@example.com"), true,
               m_preferences.registrationEmail());
    setSectionHidden(m_details, !m_subscribe->isOn());

    tableView()->setTableHeaderView(makeHeader());
}

QWidget *RegistrationView::makeHeader()
{
    const QPixmap logo(QStringLiteral(":/images/logo.png"));
    const QSize logoSize = logo.deviceIndependentSize().toSize();
    auto *header = new QWidget(this);
    auto *image = new QLabel(header);
    image->setPixmap(logo);
    QRect logoRect(QPoint(), logoSize);
    logoRect.moveCenter(QPoint(160, logoSize.height() / 2 + 10));
    image->setGeometry(logoRect);
    auto *text = new QLabel(
        tr("We encourage you to register this product so that we can notify you of important updates."),
        header);
    text->setAlignment(Qt::AlignCenter);
    text->setWordWrap(true);
    text->setFont(Theme::font(14));
    // Two lines in the narrowest fonts; the header grows when the font at hand needs more.
    const int textHeight = qMax(TextHeight, text->heightForWidth(TextWidth));
    text->setGeometry(10, logoSize.height() + 10, TextWidth, textHeight);
    header->resize(320, logoSize.height() + 15 + textHeight);
    QPalette pal = text->palette();
    pal.setColor(QPalette::WindowText, Theme::headerText());
    text->setPalette(pal);
    auto *shadow = new QGraphicsDropShadowEffect(text);
    shadow->setColor(Qt::white);
    shadow->setOffset(0, 1);
    shadow->setBlurRadius(0);
    text->setGraphicsEffect(shadow);
    return header;
}

std::shared_ptr<FormTextField> RegistrationView::createDefaultTextfieldLarge(bool large)
{
    auto field = std::make_shared<FormTextField>();
    field->setMinimumHeight(FieldHeight);
    field->resize(large ? LargeFieldWidth : FieldWidth, FieldHeight);
    field->setAutocorrection(false);
    field->setCapitalization(FormTextEntry::Capitalization::Words);
    return field;
}

void RegistrationView::addTextRow(const QString &key, const QString &label, const QString &placeholder, bool email,
                                  const QString &text)
{
    const std::shared_ptr<FormTextField> field = createDefaultTextfieldLarge(email);
    field->setPlaceholder(placeholder);
    if (email) {
        field->setKeyboard(FormTextEntry::Keyboard::Email);
        field->setCapitalization(FormTextEntry::Capitalization::None);
    }
    field->setValue(text);
    addRow(key, label, field, QString(), m_details);
}

FormTextField *RegistrationView::textField(const QString &key) const
{
    const FormRowRef row = rowForKey(key);
    return row ? dynamic_cast<FormTextField *>(row->view.get()) : nullptr;
}

void RegistrationView::subscribeChanged()
{
    setSectionHidden(m_details, !m_subscribe->isOn());
    tableView()->reloadData();
}

void RegistrationView::saveButtonPressed()
{
    const bool wasShown = m_preferences.registrationShown();
    const bool wasSubscribed = m_preferences.registrationSubscribed();
    const bool subscribe = viewValueOfRow(rowForKey(SubscribeRow)) == QLatin1StringView("y");
    const QString firstName = viewValueOfRow(rowForKey(FirstNameRow));
    const QString lastName = viewValueOfRow(rowForKey(LastNameRow));
    const QString email = viewValueOfRow(rowForKey(EmailRow));

    if (subscribe && (firstName.isEmpty() || lastName.isEmpty() || email.isEmpty())) {
        if (KeyboardFixer *fixer = m_host.keyboardFixer())
            fixer->dismissKeyboard();
        Alert::inform(tr("Missing Information"), tr("Please complete all fields."), this);
        return;
    }

    m_preferences.setRegistrationSubscribed(subscribe);
    m_preferences.setRegistrationFirstName(firstName);
    m_preferences.setRegistrationLastName(lastName);
    m_preferences.setRegistrationEmail(email);
    if (!wasShown)
        m_preferences.setRegistrationShown(true);
    // Leaving the news after having registered owes the server an unsubscription.
    const bool needed = subscribe || (wasSubscribed && wasShown) || m_preferences.registrationNeeded();
    m_preferences.setRegistrationNeeded(needed);
    m_host.registrationHandler().checkAndSendRegForm();

    if (!wasShown)
        m_host.switchToView(LiveViewHost::View::Multi);
    if (NavigationController *stack = navigationController())
        stack->popViewController(wasShown);
}

void RegistrationView::cancelButtonPressed()
{
    if (NavigationController *stack = navigationController())
        stack->popViewController(true);
}
