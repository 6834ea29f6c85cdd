// SPDX-License-Identifier: MIT
#include "auth/AuthorizationUrl.h"

#include <QRegularExpression>

namespace skyloft {

std::optional<QUrl> findAuthorizationUrl(const QString &text)
{
    // Unicode properties, so that \d and \s mean what they mean to ICU.
    static const QRegularExpression pattern(
        QStringLiteral(R"(http://127\.0\.0\.1:\d+/auth\?state=[^\s"]+)"),
        QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QUrl url(match.captured(0), QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return std::nullopt;
    return url;
}

QString authorizationUrlText(const QUrl &url)
{
    return url.toString(QUrl::FullyEncoded);
}

} // namespace skyloft
