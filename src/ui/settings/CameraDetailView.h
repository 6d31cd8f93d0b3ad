#pragma once

#include "config/Value.h"
#include "ui/settings/FormTableViewController.h"

#include <memory>

class BarButtonItem;
class CertificateProbe;
class FormSwitch;
class GroupStore;
class OnvifFormSupport;
class PTZProfile;
class RoundedButton;
class VideoProfile;

// One camera definition as a form: a general section of its own, then the rows of
// the camera's video profile and, with PTZ control on, of its PTZ profile.
//
// With a current group the editor edits: Cancel and Save in the bar, an Enabled
// switch, and Save puts a definition read from the form into the group through
// the store, which outlives the editor. Without
// one it only shows the camera (text fields disabled) and offers Copy To Group.
// The shown definition itself is never changed.
class CameraDetailView final : public FormTableViewController
{
    Q_OBJECT

public:
    explicit CameraDetailView(GroupStore &store, TableView::Style style = TableView::Style::Grouped,
                              QWidget *parent = nullptr);

    Value currentGroup() const { return m_currentGroup; }
    // Set the group before the definition: the form is built for the mode it gives.
    void setCurrentGroup(const Value &group);
    void makeEditable(bool editable) override;

    const VideoProfile *vidProfile() const { return m_vidProfile; }
    // The profile of a new camera, chosen before setCameraDefinition with none.
    void setVidProfile(const VideoProfile *profile);
    const PTZProfile *ptzProfile() const { return m_ptzProfile; }
    QList<const PTZProfile *> compatiblePTZList() const;

    Value cameraDefinition() const { return m_cameraDefinition; }
    // Rebuilds the whole form for the definition (none for a new camera).
    void setCameraDefinition(const Value &definition);
    // A new definition holding only what the form writes.
    Value makeDictFromForm() const;

    BarButtonItem *saveButton() const { return m_saveButton; }
    BarButtonItem *cancelButton() const { return m_cancelButton; }
    RoundedButton *copyButton() const { return m_copyButton; }
    FormSwitch *ptzSwitch() const { return m_ptzSwitch.get(); }

public slots:
    void saveButtonPressed();
    void cancelButtonPressed();
    void copyButtonPressed();
    void ptzSwitchChanged();
    // The "Certificate" row's action: shows what the camera presents and offers to
    // trust it.
    void checkCertificate();
    // The "PTZ Type" row's action.
    void showPTZList();
    // The PTZ chooser's answer; none turns PTZ control off.
    void setPTZ(const PTZProfile *profile);
    // The ONVIF stream rows' actions: pick the profile the camera plays.
    void chooseOnvifMainStream();
    void chooseOnvifGridStream();

signals:
    // Copy To Group was tapped; whoever shows the group chooser takes it from here.
    void copyToGroupRequested(const Value &definition);

private:
    // Back to the screen that opened the editor, past the video source chooser of a new camera.
    void returnToGroupEditor();
    void addCertificateRow();
    void showPresentedCertificate(const QString &fingerprint);
    // Puts the definition into the group and leaves.
    void store(const Value &definition);

    GroupStore &m_store;
    BarButtonItem *m_saveButton;
    BarButtonItem *m_cancelButton;
    QWidget *m_footer;
    RoundedButton *m_copyButton;
    Value m_cameraDefinition;
    Value m_currentGroup;
    std::shared_ptr<FormSwitch> m_ptzSwitch;
    const VideoProfile *m_vidProfile = nullptr;
    const PTZProfile *m_ptzProfile = nullptr;
    // The fingerprint of the certificate the user trusts for this camera; kept in
    // what Save writes while SSL stays on.
    QString m_pinnedCertificate;
    CertificateProbe *m_probe;
    // Asks ONVIF cameras for their streams on saving.
    OnvifFormSupport *m_onvif;
};
