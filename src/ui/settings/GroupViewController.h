#pragma once

#include "config/Value.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

#include <QPixmap>
#include <QPointer>

class BarButtonItem;
class GroupStore;
class KeyboardFixer;
class RoundedButton;
class TextField;

// The group editor: the group's name and page tour, its cameras (opened, added, deleted and
// reordered), and a selection mode in which chosen cameras are e-mailed.
//
// One instance, owned by the group list, serves every group. It changes the
// group through the store's operations; the store outlives it.
class GroupViewController final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    explicit GroupViewController(GroupStore &store, TableView::Style style = TableView::Style::Grouped,
                                 QWidget *parent = nullptr);

    // "ptz_icon.png" for a camera with a PTZ protocol, "camera_icon.png" otherwise.
    static QPixmap getIconForCamera(const Value &camera);

    TableView *tableView() const { return m_table; }
    // Not owned; handed the table while on screen and passed on to the editors opened here.
    void setKeyboardFixer(KeyboardFixer *fixer);

    Value currentGroup() const { return m_currentGroup; }
    void setCurrentGroup(const Value &group);
    TextField *nameField() const { return m_nameField; }

    bool isEmailing() const { return m_emailing; }
    void setEmailing(bool emailing);
    // In the order they were chosen.
    QList<Value> selectedCameras() const { return m_selectedCameras; }
    QWidget *singleFooter() const { return m_singleFooter; }
    QWidget *doubleFooter() const { return m_doubleFooter; }
    RoundedButton *emailButton() const { return m_emailBtn; }
    RoundedButton *selectAllButton() const { return m_selectAllBtn; }
    RoundedButton *deselectAllButton() const { return m_deselectAllBtn; }
    BarButtonItem *sendButton() const { return m_sendButton; }
    BarButtonItem *cancelEmailButton() const { return m_cancelEmailButton; }

    // "Off" or the seconds, as the tour's row shows them.
    static QString tourText(int seconds);
    // The choice of page tours, rising over the window; it sets the group's on a tap.
    void chooseTour();

    void showCameraDetail(const Value &camera);
    void setEditing(bool editing, bool animated) override;

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    int numberOfSections(TableView *table) override;
    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    QString titleForHeader(TableView *table, int section) override;
    bool canEditRow(TableView *table, const IndexPath &path) override;
    bool canMoveRow(TableView *table, const IndexPath &path) override;
    void commitDelete(TableView *table, const IndexPath &path) override;
    void moveRow(TableView *table, const IndexPath &from, const IndexPath &to) override;
    IndexPath willSelectRow(TableView *table, const IndexPath &path) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;
    IndexPath targetForMove(TableView *table, const IndexPath &from, const IndexPath &proposed) override;

public slots:
    void updateNameFromTextfield();
    void startEmailPressed();
    void selectAllPressed();
    void deselectAllPressed();
    void sendEmailPressed();
    void cancelEmailPressed();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    GroupStore &m_store;
    Value cameras() const;
    qsizetype cameraCount() const;
    bool isCameraRow(const IndexPath &path) const;
    bool isSelected(const Value &camera) const;
    void toggleSelection(const Value &camera);
    QWidget *currentFooter() const;

    Value m_currentGroup;
    TextField *m_nameField;
    bool m_emailing = false;
    // Chosen cameras by identity: equal definitions are still different cameras.
    QList<Value> m_selectedCameras;
    QWidget *m_singleFooter;
    QWidget *m_doubleFooter;
    RoundedButton *m_emailBtn;
    RoundedButton *m_selectAllBtn;
    RoundedButton *m_deselectAllBtn;
    BarButtonItem *m_sendButton;
    BarButtonItem *m_cancelEmailButton;
    QPointer<KeyboardFixer> m_keyboardFixer;
    TableView *m_table;
};
