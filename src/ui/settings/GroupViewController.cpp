#include "ui/settings/GroupViewController.h"

#include "config/GroupStore.h"
#include "sharing/ConfigLink.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/TextField.h"
#include "ui/kit/Theme.h"
#include "ui/settings/CameraDetailView.h"
#include "ui/settings/KeyboardFixer.h"
#include "ui/settings/ProtocolChooserView.h"
#include "util/QelLog.h"

#include <algorithm>

namespace {
const QString Unnamed = QStringLiteral("unnamed");
const QString NameKey = QStringLiteral("name");
const QString CamerasKey = QStringLiteral("cameras");

constexpr int FooterHeight = 70;
// The rows of the first section.
enum GroupRow { NameRow, TourRow, GroupRowCount };

QFont italicFont()
{
    return Theme::font(17, false, true);
}
}

GroupViewController::GroupViewController(GroupStore &store, TableView::Style style, QWidget *parent)
    : ViewController(parent)
    , m_store(store)
    , m_nameField(new TextField(this))
    , m_singleFooter(new QWidget(this))
    , m_doubleFooter(new QWidget(this))
    , m_emailBtn(new RoundedButton(tr("Email Camera Definitions"), m_singleFooter))
    , m_selectAllBtn(new RoundedButton(tr("Select All"), m_doubleFooter))
    , m_deselectAllBtn(new RoundedButton(tr("Deselect All"), m_doubleFooter))
    , m_sendButton(new BarButtonItem(tr("Send"), BarButtonItem::Style::Done, this))
    , m_cancelEmailButton(new BarButtonItem(BarButtonItem::SystemItem::Cancel, this))
    , m_table(new TableView(style, this))
{
    m_nameField->resize(200, m_nameField->minimumHeight());
    m_nameField->setPlaceholderText(tr("unnamed"));
    m_nameField->setAutocorrection(false);
    m_nameField->hide();
    connect(m_nameField, &QLineEdit::editingFinished, this, &GroupViewController::updateNameFromTextfield);

    m_singleFooter->resize(320, FooterHeight);
    m_singleFooter->hide();
    m_emailBtn->setGeometry(10, 10, 300, 55);
    connect(m_emailBtn, &RoundedButton::clicked, this, &GroupViewController::startEmailPressed);

    m_doubleFooter->resize(320, FooterHeight);
    m_doubleFooter->hide();
    m_selectAllBtn->setGeometry(10, 10, 140, 55);
    m_deselectAllBtn->setGeometry(170, 10, 140, 55);
    connect(m_selectAllBtn, &RoundedButton::clicked, this, &GroupViewController::selectAllPressed);
    connect(m_deselectAllBtn, &RoundedButton::clicked, this, &GroupViewController::deselectAllPressed);

    connect(m_sendButton, &BarButtonItem::triggered, this, &GroupViewController::sendEmailPressed);
    connect(m_cancelEmailButton, &BarButtonItem::triggered, this, &GroupViewController::cancelEmailPressed);

    m_table->setDataSource(this);
    m_table->setDelegate(this);
    m_table->setTableFooterView(m_singleFooter);
    setRightBarButtonItem(editButtonItem());
}

QPixmap GroupViewController::getIconForCamera(const Value &camera)
{
    const bool ptz = camera.value(QStringLiteral("control.parameters")).contains(QStringLiteral("control.protocol"));
    return QPixmap(ptz ? QStringLiteral(":/images/ptz_icon.png") : QStringLiteral(":/images/camera_icon.png"));
}

void GroupViewController::setKeyboardFixer(KeyboardFixer *fixer)
{
    m_keyboardFixer = fixer;
}

void GroupViewController::resizeEvent(QResizeEvent *)
{
    m_table->setGeometry(rect());
}

Value GroupViewController::cameras() const
{
    return m_currentGroup.value(CamerasKey);
}

qsizetype GroupViewController::cameraCount() const
{
    return cameras().size();
}

bool GroupViewController::isCameraRow(const IndexPath &path) const
{
    return path.section == 1 && path.row >= 0 && path.row < cameraCount();
}

void GroupViewController::setCurrentGroup(const Value &group)
{
    m_currentGroup = group;
    const QString name = GroupStore::displayedName(group);
    m_nameField->setText(name);
    setTitle(name.isEmpty() ? tr("unnamed") : name);
}

void GroupViewController::updateNameFromTextfield()
{
    if (m_currentGroup.isNull())
        return;
    const QString text = m_nameField->text();
    const QString name = text.isEmpty() ? Unnamed : text;
    m_store.renameGroup(m_currentGroup, name);
    setTitle(name);
}

QString GroupViewController::tourText(int seconds)
{
    return seconds == 0 ? tr("Off") : tr("%1 s").arg(seconds);
}

void GroupViewController::chooseTour()
{
    if (m_currentGroup.isNull())
        return;
    QWidget *over = window();
    auto *sheet = new ActionSheet(tr("Turn Pages Every"), over);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    for (const int seconds : GroupStore::TourChoices)
        sheet->addButton(tourText(seconds));
    sheet->setCancelButtonIndex(sheet->addButton(tr("Cancel")));
    const Value group = m_currentGroup;
    connect(sheet, &ModalPanel::clickedButtonAtIndex, this, [this, group](int index) {
        if (index < 0 || index >= int(GroupStore::TourChoices.size()))
            return;
        m_store.setTourSeconds(group, GroupStore::TourChoices.at(size_t(index)));
        m_table->reloadData();
    });
    sheet->showOver(over);
}

void GroupViewController::showCameraDetail(const Value &camera)
{
    NavigationController *stack = navigationController();
    if (!stack)
        return;
    auto *editor = new CameraDetailView(m_store, TableView::Style::Grouped);
    editor->setKeyboardFixer(m_keyboardFixer);
    editor->setCurrentGroup(m_currentGroup);
    editor->setCameraDefinition(camera);
    stack->pushViewController(editor, true);
}

QWidget *GroupViewController::currentFooter() const
{
    if (isEditing())
        return nullptr;
    return m_emailing ? m_doubleFooter : m_singleFooter;
}

void GroupViewController::setEditing(bool editing, bool animated)
{
    // The edit button item sets the current mode once when it is made; only a change counts.
    const bool changed = editing != isEditing();
    ViewController::setEditing(editing, animated);
    if (!changed)
        return;
    m_table->setEditing(editing, animated);
    setHidesBackButton(editing, animated);
    m_table->setTableFooterView(currentFooter());
    m_table->reloadData();
}

void GroupViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    m_table->reloadData();
    m_emailBtn->setEnabled(cameraCount() > 0);
    m_table->setTableFooterView(currentFooter());
    if (m_keyboardFixer)
        m_keyboardFixer->viewWillAppear(m_table);
}

void GroupViewController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    // A new group has no name yet: let the user type it at once.
    if (m_nameField->text().isEmpty())
        m_nameField->setFocus(Qt::OtherFocusReason);
}

void GroupViewController::viewWillDisappear(bool animated)
{
    if (m_keyboardFixer)
        m_keyboardFixer->viewWillDisappear();
    // A name still being typed is kept when the user goes back.
    updateNameFromTextfield();
    ViewController::viewWillDisappear(animated);
}

int GroupViewController::numberOfSections(TableView *)
{
    return 2;
}

int GroupViewController::numberOfRows(TableView *, int section)
{
    if (section == 0)
        return GroupRowCount;
    if (section != 1 || m_currentGroup.isNull())
        return 0;
    const int count = int(cameraCount());
    const bool plain = !isEditing() && !m_emailing;
    if (count == 0 && !plain)
        return 1;
    return count + (plain ? 1 : 0);
}

TableViewCell *GroupViewController::cellForRow(TableView *, const IndexPath &path)
{
    QEL_LOG(LogLevel::Trace, QStringLiteral("Got cell request for section: %1, row:%2").arg(path.section).arg(path.row));
    if (path.section != 0 && path.section != 1) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Got cell request for unknown section: %1").arg(path.section));
        return nullptr;
    }
    auto *cell = new TableViewCell;
    QEL_LOG(LogLevel::Trace, QStringLiteral("Made new cell for section: %1, row:%2").arg(path.section).arg(path.row));
    if (path.section == 0 && path.row == TourRow) {
        cell->setText(tr("Turn Pages Every"));
        cell->setDetailText(tourText(GroupStore::tourSeconds(m_currentGroup)));
    } else if (path.section == 0) {
        cell->setText(tr("Name"));
        cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
        cell->setAccessoryView(m_nameField);
    } else if (isCameraRow(path)) {
        const Value camera = cameras().at(path.row);
        cell->setText(camera.value(QStringLiteral("title")).toString());
        cell->setImage(getIconForCamera(camera));
        if (!m_emailing)
            cell->setAccessoryType(TableViewCell::Accessory::DisclosureIndicator);
        else if (isSelected(camera))
            cell->setAccessoryType(TableViewCell::Accessory::Checkmark);
    } else if (cameraCount() == 0 && (isEditing() || m_emailing)) {
        cell->setText(tr("no cameras defined"));
        cell->setTextFont(italicFont());
        cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
    } else {
        cell->setText(tr("add new camera..."));
        cell->setTextFont(italicFont());
        cell->setAccessoryType(TableViewCell::Accessory::DisclosureIndicator);
    }
    QEL_LOG(LogLevel::Trace, QStringLiteral("Returned cell for section: %1, row:%2").arg(path.section).arg(path.row));
    return cell;
}

QString GroupViewController::titleForHeader(TableView *, int section)
{
    return section == 1 ? tr("Cameras") : QString();
}

bool GroupViewController::canEditRow(TableView *, const IndexPath &path)
{
    return isCameraRow(path);
}

bool GroupViewController::canMoveRow(TableView *, const IndexPath &path)
{
    return isCameraRow(path);
}

void GroupViewController::commitDelete(TableView *table, const IndexPath &path)
{
    if (!isCameraRow(path))
        return;
    m_store.removeCamera(m_currentGroup, path.row);
    table->beginUpdates();
    table->deleteRows({path}, TableView::RowAnimation::Left);
    if (cameraCount() == 0) {
        table->insertRows({path}, TableView::RowAnimation::Right);
        m_emailBtn->setEnabled(false);
    }
    table->endUpdates();
}

void GroupViewController::moveRow(TableView *, const IndexPath &from, const IndexPath &to)
{
    if (!isCameraRow(from) || !isCameraRow(to))
        return;
    m_store.moveCamera(m_currentGroup, from.row, to.row);
}

IndexPath GroupViewController::targetForMove(TableView *, const IndexPath &, const IndexPath &proposed)
{
    if (proposed.section < 1)
        return {1, 0};
    const int count = int(cameraCount());
    if (proposed.row >= count)
        return {1, count - 1};
    return proposed;
}

IndexPath GroupViewController::willSelectRow(TableView *, const IndexPath &path)
{
    if (path.section == 0 && path.row == TourRow && !m_emailing && !isEditing())
        return path;
    if (path.section != 1)
        return {};
    if (cameraCount() == 0 && (isEditing() || m_emailing))
        return {};
    return path;
}

void GroupViewController::didSelectRow(TableView *table, const IndexPath &path)
{
    table->deselectRow(path, true);
    if (path.section == 0 && path.row == TourRow)
        chooseTour();
    if (path.section != 1)
        return;
    if (isCameraRow(path)) {
        const Value camera = cameras().at(path.row);
        if (m_emailing)
            toggleSelection(camera);
        else
            showCameraDetail(camera);
        return;
    }
    if (isEditing() || m_emailing || path.row != cameraCount())
        return;
    if (NavigationController *stack = navigationController()) {
        auto *chooser = new ProtocolChooserView(m_store, m_currentGroup);
        chooser->setKeyboardFixer(m_keyboardFixer);
        stack->pushViewController(chooser, true);
    }
}

bool GroupViewController::isSelected(const Value &camera) const
{
    return std::any_of(m_selectedCameras.cbegin(), m_selectedCameras.cend(),
                       [&camera](const Value &chosen) { return chosen.isSameObject(camera); });
}

void GroupViewController::toggleSelection(const Value &camera)
{
    if (isSelected(camera))
        m_selectedCameras.removeIf([&camera](const Value &chosen) { return chosen.isSameObject(camera); });
    else
        m_selectedCameras.append(camera);
    m_sendButton->setEnabled(!m_selectedCameras.isEmpty());
    m_table->reloadData();
}

void GroupViewController::startEmailPressed()
{
    if (!m_emailing)
        setEmailing(true);
}

void GroupViewController::setEmailing(bool emailing)
{
    m_emailing = emailing;
    m_selectedCameras.clear();
    setHidesBackButton(emailing, true);
    if (emailing) {
        setLeftBarButtonItem(m_cancelEmailButton, true);
        setRightBarButtonItem(m_sendButton, true);
        m_sendButton->setEnabled(false);
    } else {
        setLeftBarButtonItem(nullptr, true);
        setRightBarButtonItem(editButtonItem(), true);
    }
    m_table->setTableFooterView(currentFooter());
    m_table->reloadData();
}

void GroupViewController::selectAllPressed()
{
    m_selectedCameras = cameras().items();
    m_sendButton->setEnabled(!m_selectedCameras.isEmpty());
    m_table->reloadData();
}

void GroupViewController::deselectAllPressed()
{
    m_selectedCameras.clear();
    m_sendButton->setEnabled(false);
    m_table->reloadData();
}

void GroupViewController::sendEmailPressed()
{
    Value chosen = Value::array();
    for (const Value &camera : cameras().items()) {
        if (isSelected(camera))
            chosen.append(camera);
    }
    Value group = Value::dictionary();
    if (m_currentGroup.contains(NameKey))
        group.insert(NameKey, m_currentGroup.value(NameKey));
    group.insert(CamerasKey, chosen);
    ConfigLink::emailGroup(group);
    setEmailing(false);
}

void GroupViewController::cancelEmailPressed()
{
    setEmailing(false);
}
