#pragma once

#include <QObject>
#include <QString>

class QSslSocket;
class QTimer;

// Asks a TLS server for its certificate, whatever the system thinks of it, so that
// the user can compare its fingerprint before trusting it. One question at a time.
class CertificateProbe final : public QObject
{
    Q_OBJECT

public:
    static constexpr int TimeoutMs = 5000;

    explicit CertificateProbe(QObject *parent = nullptr);

    void fetch(const QString &host, quint16 port);

signals:
    // The SHA-256 fingerprint (CertificatePin::fingerprint).
    void presented(const QString &fingerprint);
    void failed(const QString &reason);

private:
    void finish();

    QSslSocket *m_socket = nullptr;
    QTimer *m_timeout;
};
