// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace skyloft {

// Where the checks go: a page that answers 200 while the Internet can be reached, and the maker's
// site, which serves /version.json and /descargar.
struct WebAddresses
{
    QString connectivity;
    QString site;

    // The build's addresses, unless SKYLOFT_CONNECTIVITY_URL or SKYLOFT_SITE_URL say otherwise.
    static WebAddresses fromEnvironment();
};

// The upload screen's two background requests. Answers arrive on this object's thread, print their
// line and report through the signals; a request in flight is never cancelled, so keep this object
// as long as the window and connect with the receiver as context.
class WebChecks : public QObject
{
    Q_OBJECT
public:
    explicit WebChecks(WebAddresses addresses, QObject *parent = nullptr);

    // Returns at once; noConnection() follows when the address cannot be reached within five
    // seconds or answers with a status other than 200.
    void checkConnectivity();

    // Returns at once; updateAvailable() follows when the site publishes a newer version.
    void checkForUpdate();

    // The page the update dialog opens; invalid when the site's address does not parse.
    QUrl downloadUrl() const;

    // Requests sent and not yet answered.
    int requestsInFlight() const { return m_requestsInFlight; }

Q_SIGNALS:
    void noConnection();
    void updateAvailable(const QString &publishedVersion);

private:
    using Handler = void (WebChecks::*)(QNetworkReply *);
    void get(const QUrl &url, int timeoutMs, Handler handler);
    void connectivityAnswered(QNetworkReply *reply);
    void updateAnswered(QNetworkReply *reply);

    WebAddresses m_addresses;
    QNetworkAccessManager *m_manager;
    int m_requestsInFlight = 0;
};

} // namespace skyloft
