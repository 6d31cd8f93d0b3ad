#pragma once

#include "config/FormRow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>
#include <unordered_set>

// One section of a keyed form: its rows in declared order and which of them are hidden.
struct FormSection final
{
    QList<FormRowRef> rows;
    std::unordered_set<FormRowRef> hiddenRows;
    // Header text (null: no header).
    QString title;
    // A view shown under the section; the settings screens give a widget. Not owned.
    QPointer<QObject> footer;
    // The footer's height in points; the table's standard height when unset.
    std::optional<double> footerHeight;
};

using FormSectionRef = std::shared_ptr<FormSection>;
