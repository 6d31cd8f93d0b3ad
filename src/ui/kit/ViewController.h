#pragma once

#include <QPointer>
#include <QWidget>

class BarButtonItem;
class NavigationController;

// One screen of a navigation stack: its title and bar buttons, its edit mode, and
// the appear/disappear hooks the stack calls around every transition.
class ViewController : public QWidget
{
    Q_OBJECT

public:
    explicit ViewController(QWidget *parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString &title);

    // Items without a parent are adopted by the screen.
    BarButtonItem *leftBarButtonItem() const;
    void setLeftBarButtonItem(BarButtonItem *item, bool animated = false);
    BarButtonItem *rightBarButtonItem() const;
    void setRightBarButtonItem(BarButtonItem *item, bool animated = false);
    bool hidesBackButton() const { return m_hidesBackButton; }
    void setHidesBackButton(bool hides, bool animated = false);

    // The stack this screen is on, or null.
    NavigationController *navigationController() const;

    bool isEditing() const { return m_editing; }
    virtual void setEditing(bool editing, bool animated);
    // An Edit item that toggles setEditing and reads Done while editing.
    BarButtonItem *editButtonItem();

    virtual void viewWillAppear(bool animated);
    virtual void viewDidAppear(bool animated);
    virtual void viewWillDisappear(bool animated);
    virtual void viewDidDisappear(bool animated);

signals:
    // Title, bar items or back button visibility changed.
    void navigationItemChanged(bool animated);

private:
    friend class NavigationController;

    BarButtonItem *adopt(BarButtonItem *item);

    QString m_title;
    QPointer<BarButtonItem> m_leftItem;
    QPointer<BarButtonItem> m_rightItem;
    QPointer<BarButtonItem> m_editItem;
    bool m_hidesBackButton = false;
    bool m_editing = false;
    QPointer<NavigationController> m_navigationController;
};
