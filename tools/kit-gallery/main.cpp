// Renders the settings toolkit's screens at phone size into PNG files, so their
// look can be checked without a display:
//   QT_QPA_PLATFORM=offscreen vyo-kit-gallery [OUTPUT_DIR]

#include "ui/kit/ActionSheet.h"
#include "ui/kit/Alert.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/Theme.h"
#include "ui/kit/CellControl.h"
#include "ui/settings/FormTableViewController.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTextStream>

namespace {

constexpr QSize Screen(320, 480);

class GroupList final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
public:
    GroupList()
        : m_table(new TableView(TableView::Style::Plain, this))
        , m_names{QStringLiteral("Warehouse"), QStringLiteral("Front Gate"), QStringLiteral("Parking"),
                  QStringLiteral("Office")}
    {
        setTitle(QStringLiteral("Groups"));
        m_table->setDataSource(this);
        m_table->setDelegate(this);
        setRightBarButtonItem(editButtonItem());
    }

    TableView *table() const { return m_table; }

    void setEditing(bool editing, bool animated) override
    {
        ViewController::setEditing(editing, animated);
        setHidesBackButton(editing, animated);
        m_table->setEditing(editing, animated);
    }

    int numberOfRows(TableView *, int) override { return int(m_names.size()); }
    TableViewCell *cellForRow(TableView *, const IndexPath &path) override
    {
        auto *cell = new TableViewCell;
        cell->setText(m_names.at(path.row));
        cell->setAccessoryType(path.row == 0 ? TableViewCell::Accessory::Checkmark
                                             : TableViewCell::Accessory::DetailDisclosureButton);
        return cell;
    }
    bool canEditRow(TableView *, const IndexPath &) override { return true; }
    bool canMoveRow(TableView *, const IndexPath &) override { return true; }
    void resizeEvent(QResizeEvent *) override { m_table->setGeometry(rect()); }

private:
    TableView *m_table;
    QStringList m_names;
};

std::shared_ptr<FormTextEntry> field(FormTableViewController *form, bool large, const QString &hint,
                                     const QString &value)
{
    auto f = form->createDefaultTextfield(large);
    f->setPlaceholder(hint);
    f->setValue(value);
    return f;
}

// Editing shows Cancel, Save and an Enabled switch; viewing shows a button under
// the first section instead.
FormTableViewController *cameraForm(bool editing)
{
    auto *form = new FormTableViewController;
    form->makeEditable(editing);
    form->setTitle(QStringLiteral("Axis - MJPEG"));
    const FormSectionRef general = form->addSection(QStringLiteral("general"));
    if (editing) {
        form->setLeftBarButtonItem(new BarButtonItem(BarButtonItem::SystemItem::Cancel));
        form->setRightBarButtonItem(new BarButtonItem(BarButtonItem::SystemItem::Save));
        auto enabled = form->createSwitch();
        enabled->setValue(QStringLiteral("y"));
        form->addRow(QStringLiteral("enabled"), QStringLiteral("Enabled"), enabled, QStringLiteral("y"),
                     general);
    } else {
        auto *footer = new QWidget(form);
        auto *copy = new RoundedButton(QStringLiteral("Copy To Group"), footer);
        copy->setGeometry(10, 5, 300, Theme::RowHeight);
        footer->resize(320, Theme::RowHeight + 5);
        general->footer = footer;
        general->footerHeight = form->tableView()->standardSectionFooterHeight() + Theme::RowHeight + 5;
    }
    form->addRow(QStringLiteral("title"), QStringLiteral("Name"),
                 field(form, true, QStringLiteral("unnamed"), QStringLiteral("Loading Dock")), {}, general);
    const FormRowRef ptz = form->addRow(QStringLiteral("ptzType"), QStringLiteral("PTZ Type"), {}, {}, general);
    ptz->selectable = true;
    ptz->showCarat = true;
    ptz->rightLabel = QStringLiteral("Pelco D");

    const FormSectionRef video = form->addSection(QStringLiteral("genVideo"));
    video->title = QStringLiteral("Video Options");
    auto ssl = form->createSwitch();
    form->addRow(QStringLiteral("video.ssl"), QStringLiteral("SSL"), ssl, QStringLiteral("n"), video);
    auto host = field(form, true, QStringLiteral("0.0.0.0"), QStringLiteral("127.0.0.1"));
    host->setKeyboard(FormTextEntry::Keyboard::Url);
    form->addRow(QStringLiteral("video.host"), QStringLiteral("Host"), host, {}, video);
    form->addRow(QStringLiteral("video.port"), QStringLiteral("Port"),
                 field(form, false, QStringLiteral("80"), {}), {}, video);
    form->addRow(QStringLiteral("video.username"), QStringLiteral("Username"),
                 field(form, false, QStringLiteral("none"), QStringLiteral("viewer")), {}, video);
    auto password = field(form, false, QStringLiteral("none"), QStringLiteral("secret"));
    password->setSecureEntry(true);
    form->addRow(QStringLiteral("video.password"), QStringLiteral("Password"), password, {}, video);
    return form;
}

bool save(const QPixmap &picture, const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    if (!picture.save(path))
        return false;
    QTextStream(stdout) << path << '\n';
    return true;
}

QPixmap composite(QWidget *window, QWidget *panel)
{
    QPixmap picture = window->grab();
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, panel->grab());
    return picture;
}

}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath());
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        return 1;

    // A screen below the form gives the back button its title.
    auto *settings = new ViewController;
    settings->setTitle(QStringLiteral("Group"));
    NavigationController formStack(settings);
    formStack.resize(Screen);
    formStack.pushViewController(cameraForm(true), false);
    formStack.show();

    auto *groups = new GroupList;
    auto *root = new ViewController;
    root->setTitle(QStringLiteral("Settings"));
    NavigationController listStack(root);
    listStack.resize(Screen);
    listStack.pushViewController(groups, false);
    listStack.show();
    groups->setEditing(true, false);
    app.processEvents();
    groups->table()->cellForRow({0, 1})->deleteControl()->click();

    bool ok = save(formStack.grab(), dir, QStringLiteral("kit-form.png"))
              && save(listStack.grab(), dir, QStringLiteral("kit-list-editing.png"));

    auto *detected = new ViewController;
    detected->setTitle(QStringLiteral("Settings"));
    NavigationController viewStack(detected);
    viewStack.resize(Screen);
    viewStack.pushViewController(cameraForm(false), false);
    viewStack.show();
    app.processEvents();
    ok = ok && save(viewStack.grab(), dir, QStringLiteral("kit-form-viewing.png"));

    groups->setEditing(false, false);
    ActionSheet sheet(QStringLiteral("Received a new camera: Loading Dock"), &listStack);
    sheet.addButton(QStringLiteral("Add To a Group"));
    sheet.setDestructiveButtonIndex(sheet.addButton(QStringLiteral("Discard")));
    sheet.setCancelButtonIndex(sheet.addButton(QStringLiteral("Cancel")));
    sheet.showOver(&listStack);
    app.processEvents();
    ok = ok && save(composite(&listStack, &sheet), dir, QStringLiteral("kit-action-sheet.png"));
    sheet.dismissWithButtonIndex(2);

    Alert alert(QStringLiteral("Camera Import Error"),
                QStringLiteral("The camera definition you received has expired."), &formStack);
    alert.addButton(QStringLiteral("OK"));
    alert.showOver(&formStack);
    app.processEvents();
    ok = ok && save(composite(&formStack, &alert), dir, QStringLiteral("kit-alert.png"));
    alert.dismissWithButtonIndex(0);
    return ok ? 0 : 1;
}
