// SPDX-License-Identifier: MIT
#include "core/RcloneBackends.h"

#include "core/BlockingWork.h"
#include "core/RcloneRunner.h"

#include <QFutureWatcher>
#include <QRegularExpression>
#include <QtConcurrent>

namespace skyloft {

std::optional<QSet<QString>> parseBackendNames(const QString &helpOutput)
{
    static const QRegularExpression line(QStringLiteral(R"(^  ([a-z0-9]+)\s+\S)"),
                                         QRegularExpression::MultilineOption |
                                             QRegularExpression::UseUnicodePropertiesOption);
    QSet<QString> names;
    for (auto it = line.globalMatch(helpOutput); it.hasNext();)
        names.insert(it.next().captured(1));
    if (names.isEmpty())
        return std::nullopt;
    return names;
}

RcloneBackends::RcloneBackends(QObject *parent) : QObject(parent) {}

void RcloneBackends::probe(const RclonePaths &paths)
{
    // A watcher owned by this object, not QFuture::then with it as context: Qt 6.4 asserts when
    // that context is gone before the answer, as it is when the window closes early.
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        setNames(parseBackendNames(watcher->result()));
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(&BlockingWork::pool(), [paths] {
        return runRcloneCollect(paths, {QStringLiteral("help"), QStringLiteral("backends")},
                                makeRcloneEnvironment(paths));
    }));
}

void RcloneBackends::setNames(const std::optional<QSet<QString>> &names)
{
    if (names == m_names)
        return;
    m_names = names;
    Q_EMIT changed();
}

bool RcloneBackends::lacks(const QString &backend) const
{
    return m_names && !backend.isEmpty() && !m_names->contains(backend);
}

QString RcloneBackends::unavailableReason(const QString &backend) const
{
    if (!lacks(backend))
        return {};
    return QStringLiteral("El rclone instalado no incluye el backend «%1»; instala una versión "
                          "de rclone que lo tenga (la de rclone.org).")
        .arg(backend);
}

} // namespace skyloft
