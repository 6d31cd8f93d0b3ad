#include "ui/settings/CameraDetailView.h"

#include "config/CameraFormCheck.h"
#include "config/GroupStore.h"
#include "platform/CertificatePin.h"
#include "platform/CertificateProbe.h"
#include "ptz/PTZProfile.h"
#include "ui/kit/Alert.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/RoundedButton.h"
#include "ui/settings/FormSwitch.h"
#include "ui/settings/PTZChooserView.h"
#include "ui/settings/ProtocolChooserView.h"
#include "video/VideoProfile.h"
#include "video/VideoStreamFactory.h"

namespace {
const QString Unnamed = QStringLiteral("unnamed");
}

CameraDetailView::CameraDetailView(GroupStore &store, TableView::Style style, QWidget *parent)
    : FormTableViewController(style, parent)
    , m_store(store)
    , m_saveButton(new BarButtonItem(BarButtonItem::SystemItem::Save, this))
    , m_cancelButton(new BarButtonItem(BarButtonItem::SystemItem::Cancel, this))
    , m_footer(new QWidget(this))
    , m_copyButton(new RoundedButton(tr("Copy To Group"), m_footer))
    , m_ptzSwitch(std::make_shared<FormSwitch>())
    , m_probe(new CertificateProbe(this))
{
    connect(m_probe, &CertificateProbe::presented, this, &CameraDetailView::showPresentedCertificate);
    connect(m_probe, &CertificateProbe::failed, this, [this](const QString &reason) {
        Alert::inform(tr("Camera Certificate"), reason, this);
    });
    connect(m_saveButton, &BarButtonItem::triggered, this, &CameraDetailView::saveButtonPressed);
    connect(m_cancelButton, &BarButtonItem::triggered, this, &CameraDetailView::cancelButtonPressed);

    const int rowHeight = tableView()->rowHeight();
    m_footer->resize(320, rowHeight + 5);
    m_footer->hide();
    m_copyButton->setGeometry(10, 5, 300, rowHeight);
    m_copyButton->setTitleColor(Qt::black);
    connect(m_copyButton, &RoundedButton::clicked, this, &CameraDetailView::copyButtonPressed);

    connect(m_ptzSwitch.get(), &Switch::valueChanged, this, &CameraDetailView::ptzSwitchChanged);
}

void CameraDetailView::setCurrentGroup(const Value &group)
{
    if (group.isNull() != m_currentGroup.isNull())
        makeEditable(!group.isNull());
    m_currentGroup = group;
}

void CameraDetailView::makeEditable(bool editable)
{
    FormTableViewController::makeEditable(editable);
    setLeftBarButtonItem(editable ? m_cancelButton : nullptr);
    setRightBarButtonItem(editable ? m_saveButton : nullptr);
}

void CameraDetailView::setVidProfile(const VideoProfile *profile)
{
    m_vidProfile = profile;
}

QList<const PTZProfile *> CameraDetailView::compatiblePTZList() const
{
    return m_vidProfile ? m_vidProfile->compatiblePTZList() : QList<const PTZProfile *>();
}

void CameraDetailView::setCameraDefinition(const Value &definition)
{
    m_cameraDefinition = definition;
    removeAllContent();
    m_ptzProfile = nullptr;
    m_ptzSwitch->setValue(QStringLiteral("n"));

    const FormSectionRef general = addSection(QStringLiteral("general"));
    if (isEditable()) {
        // A camera that never had the key is shown as enabled.
        auto enabled = createSwitch();
        const bool on = !definition.contains(QStringLiteral("enabled"))
                        || definition.value(QStringLiteral("enabled")).toBool();
        enabled->setValue(on ? QStringLiteral("y") : QStringLiteral("n"));
        addRow(QStringLiteral("enabled"), tr("Enabled"), enabled, QStringLiteral("y"), general);
    } else {
        general->footer = m_footer;
        general->footerHeight =
            tableView()->standardSectionFooterHeight() + tableView()->rowHeight() + 5;
    }
    auto title = createDefaultTextfield(true);
    title->setPlaceholder(tr("unnamed"));
    title->setCapitalization(FormTextEntry::Capitalization::Words);
    title->setValue(definition.value(QStringLiteral("title")).toString());
    addRow(QStringLiteral("title"), tr("Name"), title, QString(), general);

    const Value video = definition.value(QStringLiteral("video.parameters"));
    if (video.hasText(QStringLiteral("video.type"))) {
        const QString type = video.value(QStringLiteral("video.type")).toString();
        for (const VideoProfile *profile : VideoStreamFactory::videoProfileList()) {
            if (profile->canHandleType() == type) {
                m_vidProfile = profile;
                break;
            }
        }
    }

    const QList<const PTZProfile *> ptzProfiles = compatiblePTZList();
    if (ptzProfiles.size() < 2) {
        addRow(QStringLiteral("ptzSwitch"), tr("PTZ Enabled"), m_ptzSwitch, QStringLiteral("NO"),
               general);
    } else {
        const FormRowRef type = addRow(QStringLiteral("ptzType"), tr("PTZ Type"), nullptr, QString(),
                                       general);
        type->selectable = true;
        type->rightLabel = tr("None");
        type->showCarat = true;
        type->action = QStringLiteral("showPTZList");
    }
    if (m_vidProfile)
        m_vidProfile->populateForm(*this, video);
    m_pinnedCertificate = CertificatePin::pinned(video);
    if (video.value(QStringLiteral("video.ssl")).toBool() || !m_pinnedCertificate.isEmpty())
        addCertificateRow();

    const Value control = definition.value(QStringLiteral("control.parameters"));
    const QString protocol = control.value(QStringLiteral("control.protocol")).toString();
    const PTZProfile *match = nullptr;
    for (const PTZProfile *profile : ptzProfiles) {
        if (!protocol.isEmpty() && profile->canHandleType() == protocol) {
            match = profile;
            break;
        }
    }
    if (match) {
        m_ptzProfile = match;
        match->populateForm(*this, control);
        if (ptzProfiles.size() < 2) {
            m_ptzSwitch->setValue(QStringLiteral("y"));
            ptzSwitchChanged();
        } else {
            setPTZ(match);
        }
    }
    tableView()->reloadData();
}

Value CameraDetailView::makeDictFromForm() const
{
    Value definition = Value::dictionary();
    definition.insert(QStringLiteral("definition_version"), QStringLiteral("1"));
    if (m_vidProfile) {
        Value video = m_vidProfile->readFromForm(*this);
        if (!m_pinnedCertificate.isEmpty() && video.value(QStringLiteral("video.ssl")).toBool())
            video.insert(CertificatePin::key(), m_pinnedCertificate);
        definition.insert(QStringLiteral("video.parameters"), video);
    }
    if (m_ptzProfile)
        definition.insert(QStringLiteral("control.parameters"), m_ptzProfile->readFromForm(*this));
    const QString enabled = viewValueOfRow(rowForKey(QStringLiteral("enabled")));
    if (!enabled.isNull())
        definition.insert(QStringLiteral("enabled"), enabled);
    const QString title = viewValueOfRow(rowForKey(QStringLiteral("title")));
    definition.insert(QStringLiteral("title"), title.isNull() ? Unnamed : title);
    return definition;
}

void CameraDetailView::addCertificateRow()
{
    const FormRowRef row = addRow(QStringLiteral("certificate"), tr("Certificate"), nullptr, QString(),
                                  addSection(QStringLiteral("certificate")));
    row->rightLabel = m_pinnedCertificate.isEmpty() ? tr("Not Trusted") : tr("Trusted");
    row->selectable = true;
    row->showCarat = true;
    row->action = QStringLiteral("checkCertificate");
}

void CameraDetailView::checkCertificate()
{
    const QString host = viewValueOfRow(rowForKey(QStringLiteral("video.host"))).trimmed();
    bool numeric = false;
    const int port = viewValueOfRow(rowForKey(QStringLiteral("video.port"))).toInt(&numeric);
    if (host.isEmpty()) {
        Alert::inform(tr("Camera Certificate"), tr("Enter the camera's host first."), this);
        return;
    }
    m_probe->fetch(host, numeric && port > 0 && port < 65536 ? static_cast<quint16>(port) : 443);
}

void CameraDetailView::showPresentedCertificate(const QString &fingerprint)
{
    const CertificatePin::Verdict verdict = CertificatePin::judge(fingerprint, m_pinnedCertificate);
    const QString note = verdict == CertificatePin::Verdict::Pinned
        ? tr("This camera is trusted.")
        : verdict == CertificatePin::Verdict::Changed
        ? tr("This is not the certificate trusted before. Trust it only if the camera was given a new one.")
        : tr("Compare it with the fingerprint the camera shows on its own pages.");
    auto *alert = new Alert(tr("Camera Certificate"),
                            QStringLiteral("SHA-256\n%1\n\n%2").arg(CertificatePin::displayed(fingerprint), note), this);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    if (verdict != CertificatePin::Verdict::Pinned && isEditable()) {
        alert->addButton(tr("Trust This Camera"));
        alert->setCancelButtonIndex(alert->addButton(tr("Cancel")));
        connect(alert, &ModalPanel::didDismissWithButtonIndex, this, [this, fingerprint](int index) {
            if (index != 0)
                return;
            m_pinnedCertificate = fingerprint;
            if (const FormRowRef row = rowForKey(QStringLiteral("certificate")))
                row->rightLabel = tr("Trusted");
            tableView()->reloadData();
        });
    } else {
        alert->addButton(tr("OK"));
    }
    alert->showOver(this);
}

void CameraDetailView::saveButtonPressed()
{
    if (m_currentGroup.isNull()) {
        returnToGroupEditor();
        return;
    }
    const QString problem = CameraFormCheck::problem(*this);
    if (!problem.isEmpty()) {
        Alert::inform(tr("Cannot Save"), problem, this);
        return;
    }
    // Only the very definition the editor opened on is replaced; a copy from
    // elsewhere is a new camera even when an equal one is already there.
    m_store.saveCamera(m_currentGroup, m_cameraDefinition, makeDictFromForm());
    returnToGroupEditor();
}

void CameraDetailView::cancelButtonPressed()
{
    returnToGroupEditor();
}

void CameraDetailView::copyButtonPressed()
{
    emit copyToGroupRequested(m_cameraDefinition);
}

void CameraDetailView::ptzSwitchChanged()
{
    removeSection(QStringLiteral("ptz"));
    const QList<const PTZProfile *> ptzProfiles = compatiblePTZList();
    m_ptzProfile = m_ptzSwitch->isOn() && !ptzProfiles.isEmpty() ? ptzProfiles.first() : nullptr;
    // The profile starts again from what the camera had when the editor opened.
    if (m_ptzProfile)
        m_ptzProfile->populateForm(*this, m_cameraDefinition.value(QStringLiteral("control.parameters")));
    tableView()->reloadData();
}

void CameraDetailView::showPTZList()
{
    NavigationController *stack = navigationController();
    if (!stack)
        return;
    auto *chooser = new PTZChooserView(compatiblePTZList(), m_ptzProfile);
    connect(chooser, &PTZChooserView::chosen, this, &CameraDetailView::setPTZ);
    stack->pushViewController(chooser, true);
}

void CameraDetailView::setPTZ(const PTZProfile *profile)
{
    removeSection(QStringLiteral("ptz"));
    m_ptzProfile = profile;
    const FormRowRef type = rowForKey(QStringLiteral("ptzType"));
    if (profile)
        profile->populateForm(*this, m_cameraDefinition.value(QStringLiteral("control.parameters")));
    if (type)
        type->rightLabel = profile ? profile->description() : tr("None");
    tableView()->reloadData();
}

void CameraDetailView::returnToGroupEditor()
{
    NavigationController *stack = navigationController();
    if (!stack)
        return;
    const QList<ViewController *> screens = stack->viewControllers();
    qsizetype below = screens.indexOf(this) - 1;
    while (below >= 0 && qobject_cast<ProtocolChooserView *>(screens.at(below)))
        --below;
    if (below >= 0)
        stack->popToViewController(screens.at(below), true);
}
