#include "camsim/HttpAuth.h"

#include "camsim/HttpConnection.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace {

const QByteArray Realm = "vyo-camsim";

QByteArray md5Hex(const QByteArray &text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

// Splits name=value and name="value" pairs separated by commas.
QMap<QByteArray, QByteArray> digestFields(const QByteArray &text)
{
    QMap<QByteArray, QByteArray> fields;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text[i] == ' ' || text[i] == ','))
            ++i;
        const qsizetype eq = text.indexOf('=', i);
        if (eq < 0)
            break;
        const QByteArray name = text.mid(i, eq - i).trimmed().toLower();
        i = eq + 1;
        QByteArray value;
        if (i < n && text[i] == '"') {
            const qsizetype close = text.indexOf('"', i + 1);
            if (close < 0)
                break;
            value = text.mid(i + 1, close - i - 1);
            i = close + 1;
        } else {
            const qsizetype comma = text.indexOf(',', i);
            const qsizetype stop = comma < 0 ? n : comma;
            value = text.mid(i, stop - i).trimmed();
            i = stop;
        }
        fields.insert(name, value);
    }
    return fields;
}

} // namespace

HttpAuth::HttpAuth(QString scheme, QString user, QString password)
    : m_scheme(std::move(scheme))
    , m_user(std::move(user))
    , m_password(std::move(password))
    , m_nonce(QByteArray::number(QRandomGenerator::global()->generate64(), 16))
{
}

bool HttpAuth::accepts(const HttpRequest &request) const
{
    if (!isRequired())
        return true;
    const QByteArray header = request.headers.value("authorization");
    if (m_scheme == QLatin1StringView("basic") && header.startsWith("Basic ")) {
        const QByteArray given = QByteArray::fromBase64(header.mid(6).trimmed());
        return given == (m_user + QLatin1Char(':') + m_password).toUtf8();
    }
    if (m_scheme == QLatin1StringView("digest") && header.startsWith("Digest "))
        return acceptsDigest(request.method, header.mid(7));
    return false;
}

bool HttpAuth::acceptsDigest(const QByteArray &method, const QByteArray &text) const
{
    const QMap<QByteArray, QByteArray> f = digestFields(text);
    if (f.value("username") != m_user.toUtf8() || f.value("nonce") != m_nonce || f.value("realm") != Realm)
        return false;
    const QByteArray ha1 = md5Hex(m_user.toUtf8() + ':' + Realm + ':' + m_password.toUtf8());
    const QByteArray ha2 = md5Hex(method + ':' + f.value("uri"));
    QByteArray expected;
    if (f.value("qop") == "auth")
        expected = md5Hex(ha1 + ':' + m_nonce + ':' + f.value("nc") + ':' + f.value("cnonce") + ":auth:" + ha2);
    else
        expected = md5Hex(ha1 + ':' + m_nonce + ':' + ha2);
    return f.value("response") == expected;
}

QByteArray HttpAuth::challenge() const
{
    if (m_scheme == QLatin1StringView("digest"))
        return "WWW-Authenticate: Digest realm=\"" + Realm + "\", qop=\"auth\", algorithm=MD5, nonce=\"" + m_nonce
            + "\"";
    return "WWW-Authenticate: Basic realm=\"" + Realm + "\"";
}
