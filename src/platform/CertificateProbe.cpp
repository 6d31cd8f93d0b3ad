#include "platform/CertificateProbe.h"

#include "platform/CertificatePin.h"

#include <QSslSocket>
#include <QTimer>

CertificateProbe::CertificateProbe(QObject *parent)
    : QObject(parent)
    , m_timeout(new QTimer(this))
{
    m_timeout->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, [this] {
        finish();
        emit failed(tr("The camera did not answer within %1 seconds.").arg(TimeoutMs / 1000));
    });
}

void CertificateProbe::fetch(const QString &host, quint16 port)
{
    finish();
    m_socket = new QSslSocket(this);
    // Only look at the certificate; whether it is valid is for the user to judge.
    m_socket->setPeerVerifyMode(QSslSocket::QueryPeer);
    connect(m_socket, &QSslSocket::encrypted, this, [this] {
        const QString fingerprint = CertificatePin::fingerprint(m_socket->peerCertificate());
        finish();
        if (fingerprint.isEmpty())
            emit failed(tr("The camera presented no certificate."));
        else
            emit presented(fingerprint);
    });
    connect(m_socket, &QSslSocket::errorOccurred, this, [this] {
        const QString reason = m_socket->errorString();
        finish();
        emit failed(reason);
    });
    m_timeout->start(TimeoutMs);
    m_socket->connectToHostEncrypted(host, port);
}

void CertificateProbe::finish()
{
    m_timeout->stop();
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = nullptr;
}
