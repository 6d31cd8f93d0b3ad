#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QLocalServer;
class QLocalSocket;

// Delivers "vyo" links to the viewer that already runs on a profile: that viewer
// listens on a local socket in the profile directory, and a second start hands
// its link over and exits. One link per connection, one line of text; an empty
// line, from a start without a link, asks the viewer to show itself.
class LinkServer final : public QObject
{
    Q_OBJECT

public:
    // A link is text in a mail; anything longer than this is not one of ours.
    static constexpr qsizetype MaxLinkBytes = 1024 * 1024;
    static constexpr int ClientTimeoutMs = 5000;

    using Handler = std::function<bool(const QUrl &)>;

    LinkServer(QString profileDir, Handler handler, QObject *parent = nullptr);
    ~LinkServer() override;

    // Replaces a socket left behind by a viewer that did not end cleanly; the
    // caller holds the profile's lock, so no live viewer owns it.
    bool listen(QString *error = nullptr);

    // Sends the link (none: a request to show itself) to the viewer on the profile;
    // true when it took it. The handler gets an empty URL for such a request.
    static bool forward(const QString &profileDir, const QUrl &link, QString *error = nullptr);

    static QString socketPath(const QString &profileDir);

private:
    void accept();
    void readFrom(QLocalSocket *socket);

    QString m_profileDir;
    Handler m_handler;
    QLocalServer *m_server;
};
