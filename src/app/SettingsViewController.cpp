#include "app/SettingsViewController.h"

#include "config/GroupStore.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/Theme.h"
#include "platform/Preferences.h"
#include "ui/settings/CameraDetailView.h"
#include "ui/settings/GeneralSettingsView.h"
#include "ui/settings/GroupChooserView.h"
#include "ui/settings/GroupListView.h"
#include "ui/settings/GroupViewController.h"
#include "ui/settings/SettingsHost.h"
#include "util/QelLog.h"

#include <QCoreApplication>
#include <QLabel>

namespace {

enum Section { OptionsSection, DetectedSection, SectionCount };
enum OptionRow { GroupsRow, GeneralRow, ShowAutoRow, OptionRowCount };

// The label size of the platform, and its small system size for the long switch label.
constexpr int LabelFontSize = 17;
constexpr int SmallFontSize = 12;
constexpr int GroupsLabelX = 49;
constexpr int GroupLabelHeight = 40;
constexpr int GroupNameWidth = 150;
// The disclosure indicator with its margins at the right of a cell.
constexpr int DisclosureRoom = 40;

// The Groups row: its own bold label, then the selected group's name, which
// stops short of the disclosure indicator however wide "Groups" measures in
// the font at hand.
class GroupsCell final : public TableViewCell
{
public:
    explicit GroupsCell(const QString &groupName)
        : m_title(new QLabel(QCoreApplication::translate("SettingsViewController", "Groups"), this))
        , m_name(new QLabel(this))
        , m_groupName(groupName)
    {
        m_title->setFont(Theme::font(LabelFontSize, true));
        m_name->setObjectName(QStringLiteral("selectedGroupName"));
        m_name->setFont(Theme::font(LabelFontSize));
        m_name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QPalette pal = m_name->palette();
        pal.setColor(QPalette::WindowText, Theme::detailText());
        m_name->setPalette(pal);
        layoutLabels();
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        TableViewCell::resizeEvent(event);
        layoutLabels();
    }

private:
    void layoutLabels()
    {
        const int titleWidth = m_title->fontMetrics().horizontalAdvance(m_title->text());
        m_title->setGeometry(GroupsLabelX, 0, titleWidth, GroupLabelHeight);
        const int nameX = GroupsLabelX + titleWidth + 10;
        const int nameWidth = qBound(0, width() - DisclosureRoom - nameX, GroupNameWidth);
        m_name->setGeometry(nameX, 0, nameWidth, GroupLabelHeight);
        m_name->setText(m_name->fontMetrics().elidedText(m_groupName, Qt::ElideRight, nameWidth));
    }

    QLabel *m_title;
    QLabel *m_name;
    QString m_groupName;
};

} // namespace

SettingsViewController::SettingsViewController(SettingsHost &host, GroupStore &store, Preferences &preferences,
                                               QWidget *parent)
    : ViewController(parent)
    , m_host(host)
    , m_store(store)
    , m_preferences(preferences)
    , m_showAuto(new Switch(this))
    , m_doneButton(new BarButtonItem(BarButtonItem::SystemItem::Done, this))
    , m_groupList(new GroupListView(store, this))
    , m_table(new TableView(TableView::Style::Grouped, this))
{
    setTitle(tr("Settings"));
    m_showAuto->hide();
    m_showAuto->setOn(m_preferences.showAutoCameras());
    connect(m_showAuto, &Switch::valueChanged, this, &SettingsViewController::showAutoChanged);
    connect(m_doneButton, &BarButtonItem::triggered, this, &SettingsViewController::doneButtonPressed);
    setLeftBarButtonItem(m_doneButton);
    m_groupList->hide();
    m_groupList->setKeyboardFixer(m_host.keyboardFixer());
    m_table->setDataSource(this);
    m_table->setDelegate(this);
    // The Groups row names the selected group.
    connect(&m_store, &GroupStore::selectionChanged, m_table, &TableView::reloadData);
    connect(&m_store, &GroupStore::groupChanged, m_table, &TableView::reloadData);
}

void SettingsViewController::resizeEvent(QResizeEvent *)
{
    m_table->setGeometry(rect());
}

void SettingsViewController::showAutoChanged()
{
    m_preferences.setShowAutoCameras(m_showAuto->isOn());
}

void SettingsViewController::doneButtonPressed()
{
    // The groups are written at once rather than with the next periodic save, so a
    // crash soon after editing loses nothing.
    m_store.persistBulkData();
    m_host.switchToView(LiveViewHost::View::Multi);
}

void SettingsViewController::showCameraDetail(const Value &definition)
{
    NavigationController *stack = navigationController();
    if (!stack)
        return;
    auto *detail = new CameraDetailView(m_store, TableView::Style::Grouped);
    detail->setKeyboardFixer(m_host.keyboardFixer());
    detail->setCameraDefinition(definition);
    connect(detail, &CameraDetailView::copyToGroupRequested, this, [this, stack](const Value &camera) {
        auto *chooser = new GroupChooserView(m_store, *m_groupList);
        chooser->setCurrentCamera(camera);
        stack->pushViewController(chooser, true);
    });
    stack->pushViewController(detail, true);
}

void SettingsViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    // The group name and the detected cameras may have changed while away.
    m_table->reloadData();
    m_table->scrollToRow({ OptionsSection, GroupsRow }, TableView::ScrollPosition::Top, false);
}

int SettingsViewController::numberOfSections(TableView *)
{
    return SectionCount;
}

int SettingsViewController::numberOfRows(TableView *, int section)
{
    if (section == OptionsSection)
        return OptionRowCount;
    // One row says that nothing was found.
    return static_cast<int>(qMax<qsizetype>(1, m_host.getDetectedCameras().size()));
}

QString SettingsViewController::titleForHeader(TableView *, int section)
{
    return section == DetectedSection ? tr("Auto-Detected Cameras") : QString();
}

TableViewCell *SettingsViewController::groupsCell()
{
    auto *cell = new GroupsCell(GroupStore::displayedName(m_store.selectedGroup()));
    cell->setImage(QPixmap(QStringLiteral(":/images/group_icon.png")));
    cell->setAccessoryType(TableViewCell::Accessory::DisclosureIndicator);
    return cell;
}

TableViewCell *SettingsViewController::optionCell(int row)
{
    switch (row) {
    case GroupsRow:
        return groupsCell();
    case GeneralRow: {
        auto *cell = new TableViewCell;
        cell->setText(tr("General"));
        cell->setImage(QPixmap(QStringLiteral(":/images/settings_icon.png")));
        cell->setAccessoryType(TableViewCell::Accessory::DisclosureIndicator);
        return cell;
    }
    case ShowAutoRow: {
        auto *cell = new TableViewCell;
        cell->setText(tr("Show Detected Cameras"));
        cell->setImage(QPixmap(QStringLiteral(":/images/bonjour_icon.png")));
        // Narrowed so that the whole label fits beside the switch in wide fonts too.
        QFont small = Theme::font(SmallFontSize);
        small.setStretch(QFont::SemiCondensed);
        cell->setTextFont(small);
        cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
        cell->setAccessoryView(m_showAuto);
        return cell;
    }
    default:
        QEL_LOG(LogLevel::Error, QStringLiteral("Got cell request for unknown option row: %1").arg(row));
        return new TableViewCell;
    }
}

TableViewCell *SettingsViewController::cellForRow(TableView *, const IndexPath &path)
{
    if (path.section == OptionsSection)
        return optionCell(path.row);
    if (path.section != DetectedSection) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Got cell request for unknown section: %1").arg(path.section));
        return new TableViewCell;
    }
    auto *cell = new TableViewCell;
    const QList<Value> detected = m_host.getDetectedCameras();
    if (detected.isEmpty()) {
        cell->setText(tr("no cameras detected"));
        cell->setTextColor(Theme::dimmedText());
        cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
        return cell;
    }
    if (path.row < 0 || path.row >= detected.size())
        return cell;
    const Value &camera = detected.at(path.row);
    cell->setText(camera.value(QStringLiteral("title")).toString());
    cell->setImage(GroupViewController::getIconForCamera(camera));
    cell->setAccessoryType(TableViewCell::Accessory::DisclosureIndicator);
    return cell;
}

IndexPath SettingsViewController::willSelectRow(TableView *, const IndexPath &path)
{
    if (path.section == OptionsSection)
        return path.row == ShowAutoRow ? IndexPath() : path;
    return m_host.getDetectedCameras().isEmpty() ? IndexPath() : path;
}

void SettingsViewController::didSelectRow(TableView *table, const IndexPath &path)
{
    table->deselectRow(path, true);
    NavigationController *stack = navigationController();
    if (path.section == OptionsSection) {
        if (!stack)
            return;
        if (path.row == GroupsRow)
            stack->pushViewController(m_groupList, true);
        else if (path.row == GeneralRow)
            stack->pushViewController(new GeneralSettingsView(m_host, m_preferences), true);
        return;
    }
    const QList<Value> detected = m_host.getDetectedCameras();
    if (path.section == DetectedSection && path.row >= 0 && path.row < detected.size())
        showCameraDetail(detected.at(path.row));
}
