#pragma once

#include <QNetworkAccessManager>
#include <QObject>

class Preferences;
class QNetworkReply;

// Sends the user's contact details, or an unsubscription, to the registration
// server ("RegURL") by one GET: when a send is owed (registrationNeeded), or once
// per new version for a subscribed user. A failed send is only logged; the send
// stays owed, so a later launch tries again. Main thread only.
class RegistrationHandler final : public QObject
{
    Q_OBJECT

public:
    static constexpr int TimeoutMs = 15 * 1000;
    static constexpr qint64 MaxAnswerBytes = 64 * 1024;

    // The preferences outlive the handler.
    explicit RegistrationHandler(Preferences &preferences, QObject *parent = nullptr);
    ~RegistrationHandler() override;

    // Decides whether a send is owed and starts it; true when a request went out.
    bool checkAndSendRegForm();
    // Requests still waiting for an answer.
    int pendingRequests() const { return m_pending; }

    // A query value percent-escaped as UTF-8; null gives the empty text.
    static QString safeValue(const QString &value);

signals:
    // A request ended, answered by the server (whatever the status) or not.
    void finished(bool answered);

private:
    void connectionDidFinishLoading();
    void didFailWithError(const QString &error);

    Preferences &m_preferences;
    QNetworkAccessManager m_manager;
    int m_pending = 0;
};
