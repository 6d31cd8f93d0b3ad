#pragma once

#include "config/FormField.h"

#include <QString>

#include <memory>

// One row of a keyed form. Records are told apart by identity, never by content.
struct FormRow final
{
    QString label;
    // Shown at the right edge of the row; shared with whoever else keeps the control.
    std::shared_ptr<FormField> view;
    // What resetFields puts back into the view; null for none.
    QString defaultValue;
    bool selectable = false;
    bool showCarat = false;
    // Current choice shown right-aligned in the detail colour (null: none).
    QString rightLabel;
    // Name of the form's operation run when the row is tapped (null: none).
    QString action;
};

using FormRowRef = std::shared_ptr<FormRow>;
