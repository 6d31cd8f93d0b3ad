#include "config/FakeFormHost.h"

#include <QTest>

namespace {
QString key(const char *text)
{
    return QString::fromLatin1(text);
}
}

class TestFormModel final : public QObject
{
    Q_OBJECT

private slots:
    void hiddenSectionsLeaveTheVisibleNumbering()
    {
        FormModel form;
        const FormSectionRef a = form.addSection(key("a"));
        const FormSectionRef b = form.addSection(key("b"));
        const FormSectionRef c = form.addSection(key("c"));
        form.setSectionHidden(b, true);

        QCOMPARE(form.numberOfSections(), 2);
        QCOMPARE(form.currentSectionForIndex(0), a);
        QCOMPARE(form.currentSectionForIndex(1), c);
        QVERIFY(!form.currentSectionForIndex(2));
        QCOMPARE(form.currentIndexForSection(c), 1);
        // Hidden or unknown sections count as past the end.
        QCOMPARE(form.currentIndexForSection(b), 2);
        QCOMPARE(form.currentIndexForSection(std::make_shared<FormSection>()), 2);

        form.setSectionHidden(b, false);
        QCOMPARE(form.numberOfSections(), 3);
        QCOMPARE(form.currentIndexForSection(c), 2);
    }

    void hiddenRowsLeaveTheVisibleNumbering()
    {
        FormModel form;
        form.addSection(key("first"));
        const FormSectionRef section = form.addSection(key("second"));
        const FormRowRef r1 = form.addRow(key("r1"), key("One"), {}, {}, section);
        const FormRowRef r2 = form.addRow(key("r2"), key("Two"), {}, {}, section);
        const FormRowRef r3 = form.addRow(key("r3"), key("Three"), {}, {}, section);
        form.setRowHidden(r2, true);

        QCOMPARE(form.numberOfRows(1), 2);
        QCOMPARE(form.currentRowForIndexPath({1, 0}), r1);
        QCOMPARE(form.currentRowForIndexPath({1, 1}), r3);
        QVERIFY(!form.currentRowForIndexPath({1, 2}));
        QVERIFY(!form.currentRowForIndexPath({2, 0}));
        QCOMPARE(form.currentIndexPathForRow(r3), (IndexPath{1, 1}));
        QCOMPARE(form.sectionForRow(r2), section);

        form.setRowHidden(r2, false);
        QCOMPARE(form.currentIndexPathForRow(r3), (IndexPath{1, 2}));
    }

    void registryOutlivesRemovedSections()
    {
        FormModel form;
        const FormSectionRef ptz = form.addSection(key("ptz"));
        const FormRowRef host = form.addRow(key("control.host"), key("Host"), {}, {}, ptz);
        form.removeSection(key("ptz"));

        QVERIFY(!form.sectionForKey(key("ptz")));
        QCOMPARE(form.numberOfSections(), 0);
        QCOMPARE(form.rowForKey(key("control.host")), host);
        QVERIFY(!form.sectionForRow(host));

        const FormSectionRef again = form.addSection(key("ptz"));
        const FormRowRef newHost = form.addRow(key("control.host"), key("Host"), {}, {}, again);
        QCOMPARE(form.rowForKey(key("control.host")), newHost);

        form.removeSection(key("nothing"));
        QCOMPARE(form.numberOfSections(), 1);
        form.removeAllContent();
        QVERIFY(!form.rowForKey(key("control.host")));
        QCOMPARE(form.numberOfSections(), 0);
    }

    // Empty text reads as none, as do rows without a field and rows never added.
    void valuesReadBackThroughTheHost()
    {
        FakeFormHost host;
        const FormSectionRef section = host.addSection(key("s"));
        auto text = host.createDefaultTextfield(true);
        const FormRowRef textRow = host.addRow(key("text"), key("Text"), text, {}, section);
        const FormRowRef bare = host.addRow(key("bare"), key("Bare"), {}, {}, section);
        text->setValue(QString(QLatin1String("")));
        QVERIFY(host.viewValueOfRow(textRow).isNull());
        QVERIFY(host.viewValueOfRow(bare).isNull());
        QVERIFY(host.viewValueOfRow({}).isNull());
        QVERIFY(host.viewValueOfRow(host.rowForKey(key("never"))).isNull());
    }

    void resetFieldsPutsDefaultsBackEvenInRemovedSections()
    {
        FakeFormHost host;
        const FormSectionRef section = host.addSection(key("s"));
        auto flag = host.createSwitch();
        auto text = host.createDefaultTextfield(false);
        auto kept = host.createDefaultTextfield(false);
        host.addRow(key("switch"), key("Switch"), flag, key("n"), section);
        host.addRow(key("text"), key("Text"), text, {}, section);
        const FormSectionRef removed = host.addSection(key("gone"));
        host.addRow(key("kept"), key("Kept"), kept, key("80"), removed);
        host.removeSection(key("gone"));
        flag->setValue(key("y"));
        text->setValue(key("typed"));

        host.model.resetFields();
        QCOMPARE(flag->getValue(), key("n"));
        QVERIFY(text->getValue().isNull());
        QCOMPARE(kept->getValue(), key("80"));
    }

    void makeEditableSwitchesEveryRegisteredField()
    {
        FakeFormHost host;
        const FormSectionRef section = host.addSection(key("s"));
        host.addRow(key("text"), key("Text"), host.createDefaultTextfield(true), {}, section);
        host.addRow(key("switch"), key("Switch"), host.createSwitch(), key("n"), section);
        // Text fields start as editable as the form; switches start enabled.
        QVERIFY(!host.field(key("text"))->enabled);
        QVERIFY(host.field(key("switch"))->enabled);

        host.model.makeEditable(true);
        QVERIFY(host.model.isEditable());
        QVERIFY(host.field(key("text"))->enabled);
        host.model.makeEditable(false);
        QVERIFY(!host.field(key("text"))->enabled);
        QVERIFY(!host.field(key("switch"))->enabled);
    }
};

QTEST_GUILESS_MAIN(TestFormModel)
#include "tst_formmodel.moc"
