#pragma once

#include "config/FormField.h"

#include <QAbstractButton>
#include <QStringList>

// A form's pick from a few fixed values: shows the chosen one's label, and a tap
// offers all of them in an action sheet. A stored value that is not among them is
// shown and kept as it is until another is picked.
class FormChoice final : public QAbstractButton, public FormField
{
    Q_OBJECT

public:
    // labels are what the user reads for values, one each; the first value is the default.
    FormChoice(const QString &title, const QStringList &values, const QStringList &labels, QWidget *parent = nullptr);

    QString getValue() const override;
    void setValue(const QString &value) override;
    void setEnabled(bool enabled) override;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void choose();

    QString m_title;
    QStringList m_values;
    QStringList m_labels;
    QString m_value;
};
