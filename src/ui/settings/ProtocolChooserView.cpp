#include "ui/settings/ProtocolChooserView.h"

#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/settings/CameraDetailView.h"
#include "ui/settings/KeyboardFixer.h"
#include "video/VideoProfile.h"
#include "video/VideoStreamFactory.h"

namespace {
// Section 0 lists standalone cameras, section 1 video servers.
VideoStreamFactory::ProfileList profilesOf(int section)
{
    return section == 0 ? VideoStreamFactory::videoCameraProfileList() : VideoStreamFactory::videoServerProfileList();
}
}

ProtocolChooserView::ProtocolChooserView(GroupStore &store, const Value &currentGroup, QWidget *parent)
    : ViewController(parent)
    , m_store(store)
    , m_currentGroup(currentGroup)
    , m_table(new TableView(TableView::Style::Plain, this))
{
    setTitle(tr("Video Source"));
    m_table->setDataSource(this);
    m_table->setDelegate(this);
}

void ProtocolChooserView::setKeyboardFixer(KeyboardFixer *fixer)
{
    m_keyboardFixer = fixer;
}

void ProtocolChooserView::resizeEvent(QResizeEvent *)
{
    m_table->setGeometry(rect());
}

int ProtocolChooserView::numberOfSections(TableView *)
{
    return 2;
}

int ProtocolChooserView::numberOfRows(TableView *, int section)
{
    return int(profilesOf(section).size());
}

TableViewCell *ProtocolChooserView::cellForRow(TableView *, const IndexPath &path)
{
    auto *cell = new TableViewCell;
    const VideoStreamFactory::ProfileList profiles = profilesOf(path.section);
    if (path.row >= 0 && path.row < int(profiles.size()))
        cell->setText(profiles.at(size_t(path.row))->description());
    return cell;
}

QString ProtocolChooserView::titleForHeader(TableView *, int section)
{
    return section == 0 ? tr("Standalone Camera") : tr("Video Server");
}

void ProtocolChooserView::didSelectRow(TableView *table, const IndexPath &path)
{
    table->deselectRow(path, true);
    const VideoStreamFactory::ProfileList profiles = profilesOf(path.section);
    if (path.row < 0 || path.row >= int(profiles.size()))
        return;
    auto *editor = new CameraDetailView(m_store, TableView::Style::Grouped);
    editor->setKeyboardFixer(m_keyboardFixer);
    editor->setCurrentGroup(m_currentGroup);
    editor->setVidProfile(profiles.at(size_t(path.row)));
    editor->setCameraDefinition(Value());
    if (NavigationController *stack = navigationController())
        stack->pushViewController(editor, true);
    else
        delete editor;
}
