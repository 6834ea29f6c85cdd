// SPDX-License-Identifier: MIT
#include "checks/WebChecks.h"

#include "checks/VersionNumber.h"
#include "core/Log.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace skyloft {

namespace {

constexpr int kConnectivityTimeoutMs = 5000;
// The update check keeps the minute a request gets when it asks for nothing, so that a server that
// never answers does not hold the request for ever.
constexpr int kDefaultTimeoutMs = 60000;

QString addressFromEnvironment(const char *variable, const char *fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? QString::fromUtf8(fallback) : value;
}

QUrl siteUrl(QString site, const QString &path)
{
    while (site.endsWith(u'/'))
        site.chop(1);
    return QUrl(site + path, QUrl::StrictMode);
}

// Qt turns 4xx and 5xx answers into errors as well; those are answers with a status, not failed
// requests. Anything that went wrong before or while the answer came is a failure.
bool requestFailed(const QNetworkReply *reply)
{
    if (reply->error() == QNetworkReply::NoError)
        return false;
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    return !answered || reply->error() < QNetworkReply::ContentAccessDenied;
}

} // namespace

WebAddresses WebAddresses::fromEnvironment()
{
    return {addressFromEnvironment("SKYLOFT_CONNECTIVITY_URL", SKYLOFT_CONNECTIVITY_URL),
            addressFromEnvironment("SKYLOFT_SITE_URL", SKYLOFT_SITE_URL)};
}

WebChecks::WebChecks(WebAddresses addresses, QObject *parent)
    : QObject(parent), m_addresses(std::move(addresses)), m_manager(new QNetworkAccessManager(this))
{
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

void WebChecks::checkConnectivity()
{
    get(QUrl(m_addresses.connectivity), kConnectivityTimeoutMs, &WebChecks::connectivityAnswered);
}

void WebChecks::checkForUpdate()
{
    const QUrl url = siteUrl(m_addresses.site, QStringLiteral("/version.json"));
    if (!url.isValid()) {
        logLine(QStringLiteral("❌ URL inválida para verificar actualizaciones."));
        return;
    }
    get(url, kDefaultTimeoutMs, &WebChecks::updateAnswered);
}

QUrl WebChecks::downloadUrl() const
{
    return siteUrl(m_addresses.site, QStringLiteral("/descargar"));
}

void WebChecks::get(const QUrl &url, int timeoutMs, Handler handler)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply *reply = m_manager->get(request);
    ++m_requestsInFlight;
    // The reply lives in m_manager, so it cannot outlive this object and its answer never reaches
    // a deleted one; the handler comes last because a receiver of its signal may delete us.
    connect(reply, &QNetworkReply::finished, this, [this, reply, handler] {
        reply->deleteLater();
        --m_requestsInFlight;
        (this->*handler)(reply);
    });
}

void WebChecks::connectivityAnswered(QNetworkReply *reply)
{
    if (requestFailed(reply)) {
        logLine(QStringLiteral("❌ No hay conexión a Internet: ") + reply->errorString());
        Q_EMIT noConnection();
        return;
    }
    // An answer without an HTTP status (another scheme) counts as reached.
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() != 200) {
        logLine(QStringLiteral("❌ Conexión fallida con código: ") +
                QString::number(status.toInt()));
        Q_EMIT noConnection();
        return;
    }
    logLine(QStringLiteral("✅ Conexión a Internet verificada"));
}

void WebChecks::updateAnswered(QNetworkReply *reply)
{
    if (requestFailed(reply)) {
        logLine(QStringLiteral("❌ Error al verificar actualizaciones: ") + reply->errorString());
        return;
    }
    // The status is not looked at: whatever the server sends, a version it names is believed.
    const QByteArray body = reply->readAll();
    if (body.isEmpty()) {
        logLine(QStringLiteral("❌ No se recibieron datos al verificar actualizaciones."));
        return;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        logLine(QStringLiteral("❌ Error al procesar los datos de la versión: ") +
                parseError.errorString());
        return;
    }
    const QJsonValue version = document.object().value(QLatin1String("version"));
    if (!version.isString() || !isNewerVersion(QStringLiteral(SKYLOFT_VERSION), version.toString()))
        return;
    Q_EMIT updateAvailable(version.toString());
}

} // namespace skyloft
