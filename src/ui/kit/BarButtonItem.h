#pragma once

#include <QObject>
#include <QString>

#include <optional>

// A button of the navigation bar, as a screen declares it; the bar draws it.
class BarButtonItem final : public QObject
{
    Q_OBJECT

public:
    enum class SystemItem { Done, Save, Cancel, Edit };
    enum class Style { Plain, Done };

    explicit BarButtonItem(SystemItem item, QObject *parent = nullptr);
    explicit BarButtonItem(const QString &title, Style style = Style::Plain, QObject *parent = nullptr);

    std::optional<SystemItem> systemItem() const { return m_systemItem; }
    QString title() const { return m_title; }
    void setTitle(const QString &title);
    Style style() const { return m_style; }
    void setStyle(Style style);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

signals:
    void triggered();
    // Title, style or enabled state changed.
    void changed();

private:
    std::optional<SystemItem> m_systemItem;
    QString m_title;
    Style m_style = Style::Plain;
    bool m_enabled = true;
};
