#include "onvif/UsernameToken.h"

#include "onvif/OnvifNamespaces.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QXmlStreamWriter>

QString UsernameToken::passwordDigest(const QByteArray &nonce, const QString &created, const QString &password)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(nonce);
    hash.addData(created.toUtf8());
    hash.addData(password.toUtf8());
    return QString::fromLatin1(hash.result().toBase64());
}

QString UsernameToken::createdText(const QDateTime &utc)
{
    return utc.toUTC().toString(Qt::ISODateWithMs);
}

QByteArray UsernameToken::nonce()
{
    QByteArray bytes(NonceBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), NonceBytes / 4);
    return bytes;
}

void UsernameToken::write(QXmlStreamWriter &writer, const QString &user, const QString &password,
                          const QByteArray &nonce, const QDateTime &createdUtc)
{
    const QString created = createdText(createdUtc);
    writer.writeStartElement(OnvifNs::Wsse, QStringLiteral("Security"));
    writer.writeAttribute(OnvifNs::Soap12, QStringLiteral("mustUnderstand"), QStringLiteral("true"));
    writer.writeStartElement(OnvifNs::Wsse, QStringLiteral("UsernameToken"));
    writer.writeTextElement(OnvifNs::Wsse, QStringLiteral("Username"), user);
    writer.writeStartElement(OnvifNs::Wsse, QStringLiteral("Password"));
    writer.writeAttribute(QStringLiteral("Type"),
                          QStringLiteral("http://docs.oasis-open.org/wss/2004/01/"
                                         "oasis-200401-wss-username-token-profile-1.0#PasswordDigest"));
    writer.writeCharacters(passwordDigest(nonce, created, password));
    writer.writeEndElement();
    writer.writeStartElement(OnvifNs::Wsse, QStringLiteral("Nonce"));
    writer.writeAttribute(QStringLiteral("EncodingType"),
                          QStringLiteral("http://docs.oasis-open.org/wss/2004/01/"
                                         "oasis-200401-wss-soap-message-security-1.0#Base64Binary"));
    writer.writeCharacters(QString::fromLatin1(nonce.toBase64()));
    writer.writeEndElement();
    writer.writeTextElement(OnvifNs::Wsu, QStringLiteral("Created"), created);
    writer.writeEndElement();
    writer.writeEndElement();
}
