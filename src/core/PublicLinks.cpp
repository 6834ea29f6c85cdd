// SPDX-License-Identifier: MIT
#include "core/PublicLinks.h"

#include "core/RcloneConfigReading.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace skyloft {

namespace {

struct LinkBackend
{
    const char *type;
    bool bucketBased;
    const char *credential; // a key that must hold a value for the remote to work
};

// rclone 1.60's "Optional Features" table: the backends with LinkSharing.
constexpr LinkBackend kLinkBackends[] = {
    {"b2", true, ""},
    {"box", false, "token"},
    {"drive", false, "token"},
    {"dropbox", false, "token"},
    {"fichier", false, "api_key"},
    {"internetarchive", true, ""},
    {"jottacloud", false, "token"},
    {"koofr", false, "user"},
    {"mailru", false, "user"},
    {"mega", false, "user"},
    {"onedrive", false, "token"},
    {"pcloud", false, "token"},
    {"premiumizeme", false, ""},
    {"s3", true, ""},
    {"seafile", false, "url"},
    {"sugarsync", false, "refresh_token"},
    {"yandex", false, "token"},
};

const LinkBackend *linkBackend(const QString &type)
{
    for (const LinkBackend &backend : kLinkBackends) {
        if (type == QLatin1String(backend.type))
            return &backend;
    }
    return nullptr;
}

} // namespace

std::optional<BackendFeatures> parseBackendFeatures(const QString &json)
{
    const QJsonObject top = QJsonDocument::fromJson(json.toUtf8()).object();
    const QJsonValue features = top.value(QStringLiteral("Features"));
    if (!features.isObject())
        return std::nullopt;
    return BackendFeatures{features[QStringLiteral("PublicLink")].toBool(),
                           features[QStringLiteral("BucketBased")].toBool(),
                           top.value(QStringLiteral("Root")).toString(),
                           top.value(QStringLiteral("Name")).toString()};
}

DocumentedSupport documentedSupport(const RcloneConfigReading &reading, const QString &remote)
{
    QString name = remote;
    bool inBucket = false; // an alias on the way names a path, which starts with the bucket
    // An alias names the remote (and path) it stands for; a loop ends after a few steps.
    for (int step = 0; step < 8; ++step) {
        const RcloneRemote *section = reading.find(name);
        if (!section)
            return {};
        if (section->type() != QLatin1String("alias")) {
            const LinkBackend *backend = linkBackend(section->type());
            if (!backend)
                return {false, true, section->type()};
            const QString credential = QLatin1String(backend->credential);
            const bool configured = credential.isEmpty() || !section->value(credential).isEmpty();
            // A bucket-based remote needs a bucket: at its root nothing can be uploaded.
            return {!backend->bucketBased || inBucket, configured, section->type()};
        }
        const QString target = section->value(QStringLiteral("remote"));
        const qsizetype colon = target.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            return {false, true, QStringLiteral("alias")};
        name = target.left(colon);
        inBucket = inBucket || colon + 1 < target.size();
    }
    return {};
}

} // namespace skyloft
