#pragma once

#include "config/FormHost.h"
#include "config/FormModel.h"

// A form without widgets for tests of whatever fills and reads forms: fields keep
// their value, enabled state and text-field settings in plain members.
class FakeFormHost final : public FormHost
{
public:
    class Field final : public FormTextEntry
    {
    public:
        explicit Field(bool switchField)
            : isSwitch(switchField)
        {
        }

        QString getValue() const override;
        void setValue(const QString &newValue) override;
        void setEnabled(bool on) override { enabled = on; }
        void setPlaceholder(const QString &text) override { hint = text; }
        QString placeholder() const override { return hint; }
        void setKeyboard(Keyboard type) override { keyboard = type; }
        void setSecureEntry(bool on) override { secure = on; }
        void setCapitalization(Capitalization type) override { capitalization = type; }

        const bool isSwitch;
        // The values of a choice; empty for other fields.
        QStringList choices;
        QString value;
        QString hint;
        bool enabled = true;
        bool large = false;
        bool secure = false;
        Keyboard keyboard = Keyboard::Default;
        Capitalization capitalization = Capitalization::None;
    };

    void setTitle(const QString &newTitle) override { title = newTitle; }
    FormSectionRef addSection(const QString &key) override { return model.addSection(key); }
    void removeSection(const QString &key) override { model.removeSection(key); }
    FormSectionRef sectionForKey(const QString &key) const override { return model.sectionForKey(key); }
    FormRowRef addRow(const QString &key, const QString &label, std::shared_ptr<FormField> view,
                      const QString &defaultValue, const FormSectionRef &section) override
    {
        return model.addRow(key, label, std::move(view), defaultValue, section);
    }
    FormRowRef rowForKey(const QString &key) const override { return model.rowForKey(key); }
    QString viewValueOfRow(const FormRowRef &row) const override { return FormModel::viewValueOfRow(row); }
    std::shared_ptr<FormTextEntry> createDefaultTextfield(bool large) override;
    std::shared_ptr<FormField> createSwitch() override { return std::make_shared<Field>(true); }
    std::shared_ptr<FormField> createChoice(const QString &title, const QStringList &values,
                                            const QStringList &labels) override;

    // The field of a row, for looking at what a filler set up.
    Field *field(const QString &key) const;

    FormModel model;
    QString title;
};
