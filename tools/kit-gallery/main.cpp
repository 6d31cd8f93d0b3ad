// Renders the settings toolkit's screens at phone size into PNG files, so their
// look can be checked without a display:
//   QT_QPA_PLATFORM=offscreen vyo-kit-gallery [OUTPUT_DIR]

#include "config/GroupStore.h"
#include "platform/Preferences.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/Alert.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/CellControl.h"
#include "ui/settings/CameraDetailView.h"
#include "ui/settings/ProtocolChooserView.h"
#include "video/CanonVideoProfile.h"
#include "video/SonyVideoProfile.h"
#include "video/VideoProfile.h"
#include "video/VideoStreamFactory.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPainter>
#include <QTemporaryDir>
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

Value dictionary(const QList<QPair<const char *, Value>> &entries)
{
    Value d = Value::dictionary();
    for (const auto &[key, value] : entries)
        d.insert(QString::fromLatin1(key), value);
    return d;
}

// Editing shows Cancel, Save and an Enabled switch; viewing (no group) shows Copy To
// Group under the first section instead.
CameraDetailView *cameraForm(GroupStore &store, bool editing)
{
    const Value camera = dictionary(
        {{"title", QStringLiteral("Loading Dock")},
         {"video.parameters", dictionary({{"video.type", QStringLiteral("GENMJPEG")},
                                          {"video.host", QStringLiteral("127.0.0.1")},
                                          {"video.username", QStringLiteral("viewer")},
                                          {"video.password", QStringLiteral("secret")}})},
         {"control.parameters", dictionary({{"control.protocol", QStringLiteral("Pelco D PTZ")}})}});
    auto *form = new CameraDetailView(store);
    if (editing)
        form->setCurrentGroup(dictionary({{"name", QStringLiteral("Yard")}, {"cameras", Value::array({camera})}}));
    form->setCameraDefinition(camera);
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
    // The editors save into a store of their own, in a profile that goes with the run.
    const QTemporaryDir scratch;
    Preferences preferences(scratch.filePath(QStringLiteral("preferences.conf")));
    GroupStore store(preferences, scratch.path());

    // A screen below the form gives the back button its title.
    auto *settings = new ViewController;
    settings->setTitle(QStringLiteral("Group"));
    NavigationController formStack(settings);
    formStack.resize(Screen);
    formStack.pushViewController(cameraForm(store, true), false);
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
    viewStack.pushViewController(cameraForm(store, false), false);
    viewStack.show();
    app.processEvents();
    ok = ok && save(viewStack.grab(), dir, QStringLiteral("kit-form-viewing.png"));

    // The new-camera editor of every video profile, tall enough to show the whole form.
    const SonyVideoProfile sony;
    const CanonVideoProfile canon;
    VideoStreamFactory::ProfileList profiles = VideoStreamFactory::videoProfileList();
    profiles.push_back(&sony);
    profiles.push_back(&canon);
    for (const VideoProfile *profile : profiles) {
        auto *chooser = new ProtocolChooserView(store, Value::dictionary());
        NavigationController editorStack(chooser);
        editorStack.resize(Screen.width(), 1000);
        auto *editor = new CameraDetailView(store);
        editor->setCurrentGroup(Value::dictionary());
        editor->setVidProfile(profile);
        editor->setCameraDefinition(Value());
        editorStack.pushViewController(editor, false);
        editorStack.show();
        app.processEvents();
        ok = ok && save(editorStack.grab(), dir, QStringLiteral("forms-%1.png").arg(profile->canHandleType().toLower()));
    }
    // A camera with its PTZ rows, and the PTZ type chooser over it.
    auto *group = new ViewController;
    group->setTitle(QStringLiteral("Yard"));
    NavigationController ptzStack(group);
    ptzStack.resize(Screen.width(), 1000);
    CameraDetailView *ptzForm = cameraForm(store, true);
    ptzStack.pushViewController(ptzForm, false);
    ptzStack.show();
    app.processEvents();
    ok = ok && save(ptzStack.grab(), dir, QStringLiteral("forms-ptz.png"));
    ptzForm->showPTZList();
    ptzStack.resize(Screen);
    app.processEvents();
    QEventLoop slide;
    QObject::connect(&ptzStack, &NavigationController::transitionFinished, &slide, &QEventLoop::quit);
    if (ptzStack.isTransitioning())
        slide.exec();
    ok = ok && save(ptzStack.grab(), dir, QStringLiteral("forms-ptz-type.png"));

    auto *sources = new ViewController;
    sources->setTitle(QStringLiteral("Yard"));
    NavigationController sourceStack(sources);
    sourceStack.resize(Screen);
    sourceStack.pushViewController(new ProtocolChooserView(store, Value::dictionary()), false);
    sourceStack.show();
    app.processEvents();
    ok = ok && save(sourceStack.grab(), dir, QStringLiteral("forms-video-source.png"));

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
