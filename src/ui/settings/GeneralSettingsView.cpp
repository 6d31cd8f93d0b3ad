#include "ui/settings/GeneralSettingsView.h"

#include "config/AppInfo.h"
#include "config/PinHash.h"
#include "platform/DeviceIdentity.h"
#include "platform/Preferences.h"
#include "platform/UrlOpener.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/PinPad.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/Theme.h"
#include "ui/settings/DebugSettingsView.h"
#include "ui/settings/RegistrationView.h"
#include "ui/settings/SettingsHost.h"
#include "util/QelLog.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QUrl>

#include <memory>
#include <optional>

namespace {

enum Section { HelpWeb, HelpMail, Registration, SettingsPin, Debug, SectionCount };

constexpr int Width = 320;
constexpr int LabelHeight = 16;
constexpr int LabelFontSize = 12;
constexpr int MinimumFontSize = 9;
constexpr int Margin = 4;

} // namespace

GeneralSettingsView::GeneralSettingsView(SettingsHost &host, Preferences &preferences, QWidget *parent)
    : ViewController(parent)
    , m_host(host)
    , m_preferences(preferences)
    , m_table(new TableView(TableView::Style::Grouped, this))
{
    setTitle(tr("General"));
    m_table->setDataSource(this);
    m_table->setDelegate(this);
    m_table->setTableHeaderView(makeHeader());
    m_table->setTableFooterView(
        makeLabel(tr("UID: %1").arg(DeviceIdentity::uniqueIdentifier()), this));
}

QLabel *GeneralSettingsView::makeLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->resize(Width, LabelHeight);
    label->setAlignment(Qt::AlignCenter);
    // The forty digits of the identifier are wider than the screen in some fonts;
    // the type shrinks a little rather than cut them off.
    QFont font = Theme::font(LabelFontSize);
    while (font.pixelSize() > MinimumFontSize && QFontMetrics(font).horizontalAdvance(text) > Width - 2 * Margin)
        font.setPixelSize(font.pixelSize() - 1);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Theme::headerText());
    label->setPalette(pal);
    auto *shadow = new QGraphicsDropShadowEffect(label);
    shadow->setColor(Qt::white);
    shadow->setOffset(0, 1);
    shadow->setBlurRadius(0);
    label->setGraphicsEffect(shadow);
    return label;
}

QWidget *GeneralSettingsView::makeHeader()
{
    const QPixmap logo(QStringLiteral(":/images/logo.png"));
    const QSize logoSize = logo.deviceIndependentSize().toSize();
    auto *header = new QWidget(this);
    header->resize(Width, 32 + logoSize.height() + 20);
    auto *image = new QLabel(header);
    image->setPixmap(logo);
    QRect logoRect(QPoint(), logoSize);
    logoRect.moveCenter(QPoint(Width / 2, logoSize.height() / 2 + 10));
    image->setGeometry(logoRect);
    // Each label is centred on its line, half its height above and below.
    QLabel *version = makeLabel(tr("Version: %1").arg(AppInfo::value(AppInfo::BundleVersion)), header);
    version->move(0, 10 + logoSize.height() + 8 - LabelHeight / 2);
    QLabel *copyright = makeLabel(AppInfo::value(AppInfo::Copyright), header);
    copyright->move(0, 10 + logoSize.height() + 24 - LabelHeight / 2);
    return header;
}

void GeneralSettingsView::resizeEvent(QResizeEvent *)
{
    m_table->setGeometry(rect());
}

void GeneralSettingsView::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    m_table->reloadData();
    m_table->scrollToRow({ 0, 0 }, TableView::ScrollPosition::Top, false);
}

int GeneralSettingsView::numberOfSections(TableView *)
{
    return SectionCount;
}

int GeneralSettingsView::numberOfRows(TableView *, int)
{
    return 1;
}

TableViewCell *GeneralSettingsView::cellForRow(TableView *, const IndexPath &path)
{
    auto *cell = new TableViewCell;
    switch (path.section) {
    case HelpWeb:
        cell->setText(AppInfo::value(AppInfo::HelpURL));
        break;
    case HelpMail:
        cell->setText(AppInfo::value(AppInfo::HelpEmail));
        break;
    case Registration:
        cell->setText(tr("Registration"));
        break;
    case SettingsPin:
        cell->setText(tr("Settings PIN"));
        cell->setDetailText(m_preferences.settingsPinHash().isEmpty() ? tr("Off") : tr("On"));
        return cell;
    case Debug:
        cell->setText(tr("Debug"));
        break;
    default:
        QEL_LOG(LogLevel::Error, QStringLiteral("Got cell request for unknown section: %1").arg(path.section));
        return cell;
    }
    cell->setTextAlignment(Qt::AlignCenter);
    cell->setTextColor(Theme::detailText());
    return cell;
}

void GeneralSettingsView::didSelectRow(TableView *table, const IndexPath &path)
{
    table->deselectRow(path, true);
    switch (path.section) {
    case HelpWeb: {
        const QString address = AppInfo::value(AppInfo::HelpURL);
        if (!address.isEmpty())
            UrlOpener::shared().openUrl(QUrl(QStringLiteral("http://%1").arg(address)));
        break;
    }
    case HelpMail: {
        const QString address = AppInfo::value(AppInfo::HelpEmail);
        if (address.isEmpty())
            break;
        const QString subject = QStringLiteral("Product: %1, Version: %2")
                                    .arg(AppInfo::value(AppInfo::BundleDisplayName),
                                         AppInfo::value(AppInfo::BundleVersion));
        UrlOpener::shared().openUrl(QUrl(QStringLiteral("mailto:%1?subject=%2")
                                             .arg(address, QString::fromLatin1(QUrl::toPercentEncoding(subject)))));
        break;
    }
    case Registration:
        if (NavigationController *stack = navigationController())
            stack->pushViewController(new RegistrationView(m_host, m_preferences), true);
        break;
    case SettingsPin:
        askForNewPin();
        break;
    case Debug:
        if (NavigationController *stack = navigationController())
            stack->pushViewController(new DebugSettingsView(m_preferences), true);
        break;
    default:
        break;
    }
}

void GeneralSettingsView::askForNewPin()
{
    auto *pad = new PinPad(tr("New Settings PIN"), this);
    pad->setAttribute(Qt::WA_DeleteOnClose);
    pad->setMessage(tr("Leave it empty for none."));
    // The first entry waits here for the second; it never leaves this screen.
    auto first = std::make_shared<std::optional<QString>>();
    connect(pad, &PinPad::entered, this, [this, pad, first](const QString &pin) {
        if (!*first) {
            *first = pin;
            pad->refuse(tr("Enter it again."));
            return;
        }
        if (**first != pin) {
            first->reset();
            pad->refuse(tr("The two did not match. Enter the new PIN."));
            return;
        }
        m_preferences.setSettingsPinHash(pin.isEmpty() ? QString() : PinHash::hash(pin));
        pad->close();
        m_table->reloadData();
    });
    pad->showOver(this);
}
