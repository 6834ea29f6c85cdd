// SPDX-License-Identifier: MIT
#include "upload/UploadState.h"

#include "core/Notifier.h"
#include "core/RcloneConfigFile.h"
#include "core/ServiceCatalog.h"

#include <algorithm>
#include <cmath>

namespace skyloft {

namespace {

// Both tell whether anything changed, so that signals fire only for real changes.
bool insertNew(QSet<QString> &set, const QString &value)
{
    const qsizetype before = set.size();
    set.insert(value);
    return set.size() != before;
}

template <typename Value>
bool storeNew(QMap<QString, Value> &map, const QString &key, const Value &value)
{
    const auto it = map.constFind(key);
    if (it != map.cend() && *it == value)
        return false;
    map.insert(key, value);
    return true;
}

template <typename Container> bool emptyOut(Container &container)
{
    if (container.isEmpty())
        return false;
    container.clear();
    return true;
}

} // namespace

UploadState::UploadState(QObject *parent)
    : QObject(parent), m_serviciosOrden(ServiceCatalog::serviciosOrden())
{}

void UploadState::appendArchivo(const QString &path)
{
    appendArchivos(QStringList{path});
}

void UploadState::appendArchivos(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    const qsizetype first = m_archivosSeleccionados.size();
    m_archivosSeleccionados.append(paths);
    Q_EMIT archivosAppended(first, paths.size());
    Q_EMIT archivosSeleccionadosChanged();
}

void UploadState::clearArchivos()
{
    if (emptyOut(m_archivosSeleccionados))
        Q_EMIT archivosSeleccionadosChanged();
}

void UploadState::toggleService(const QString &displayName)
{
    if (!m_serviciosSeleccionados.remove(displayName))
        m_serviciosSeleccionados.insert(displayName);
    Q_EMIT serviciosSeleccionadosChanged();
}

void UploadState::setExtraDestinations(const QList<Destination> &extras)
{
    if (extras == m_extraDestinations)
        return;
    bool selectionChanged = false;
    for (const Destination &old : std::as_const(m_extraDestinations)) {
        if (!extras.contains(old))
            selectionChanged |= m_serviciosSeleccionados.remove(old.name);
    }
    m_extraDestinations = extras;
    Q_EMIT extraDestinationsChanged();
    if (selectionChanged)
        Q_EMIT serviciosSeleccionadosChanged();
}

QStringList UploadState::destinationOrder() const
{
    QStringList names = m_serviciosOrden;
    for (const Destination &extra : m_extraDestinations)
        names << extra.name;
    return names;
}

bool UploadState::isAuthorized(const QString &name) const
{
    for (const Destination &extra : m_extraDestinations) {
        if (extra.name == name)
            return true;
    }
    return m_authorizedServices.contains(remoteNameFor(name));
}

void UploadState::clearServicios()
{
    if (emptyOut(m_serviciosSeleccionados))
        Q_EMIT serviciosSeleccionadosChanged();
}

void UploadState::insertAuthorizedService(const QString &remoteName)
{
    if (insertNew(m_authorizedServices, remoteName))
        Q_EMIT authorizedServicesChanged();
}

void UploadState::clearAuthorizedServices()
{
    if (emptyOut(m_authorizedServices))
        Q_EMIT authorizedServicesChanged();
}

bool UploadState::rescanAuthorizations(const QString &configPath)
{
    clearAuthorizedServices();
    return RcloneConfigFile(configPath)
        .refreshAuthorizations(ScanVariant::UploadScreen, [this](const QString &remoteName) {
            insertAuthorizedService(remoteName);
        });
}

void UploadState::insertCanceledService(const QString &displayName)
{
    if (insertNew(m_canceledServices, displayName))
        Q_EMIT canceledServicesChanged();
}

void UploadState::clearCanceledServices()
{
    if (emptyOut(m_canceledServices))
        Q_EMIT canceledServicesChanged();
}

void UploadState::storeProgress(const QString &displayName, const ServiceProgress &entry)
{
    if (storeNew(m_progressDict, displayName, entry))
        Q_EMIT progressDictChanged();
}

void UploadState::resetServiceProgress(const QString &displayName)
{
    storeProgress(displayName, ServiceProgress{});
}

void UploadState::setProgressFileName(const QString &displayName, const QString &fileName)
{
    const auto it = m_progressDict.constFind(displayName);
    if (it == m_progressDict.cend())
        return;
    storeProgress(displayName, ServiceProgress{it->progress, fileName, 0});
}

void UploadState::reportCopyProgress(const QString &displayName, int fileIndex, double fraction)
{
    const qsizetype count = m_archivosSeleccionados.size();
    // A queue emptied while a copy runs gives no meaningful fraction: NaN leaves the entry alone.
    const double overall =
        count > 0 ? (double(fileIndex) + fraction) / double(count) : std::nan("");
    QMetaObject::invokeMethod(
        this, [this, displayName, overall] { applyServiceProgress(displayName, overall); },
        Qt::QueuedConnection);
}

void UploadState::applyServiceProgress(const QString &displayName, double overall)
{
    const auto it = m_progressDict.constFind(displayName);
    if (it == m_progressDict.cend()) {
        storeProgress(displayName, ServiceProgress{overall >= 0.0 ? overall : 0.0, QString()});
        return;
    }
    if (std::isnan(overall))
        return;
    storeProgress(displayName, ServiceProgress{std::max(it->progress, overall), it->fileName,
                                               it->stalledSeconds});
}

void UploadState::setStalledSeconds(const QString &displayName, int seconds)
{
    const auto it = m_progressDict.constFind(displayName);
    if (it == m_progressDict.cend())
        return;
    ServiceProgress entry = *it;
    entry.stalledSeconds = seconds;
    storeProgress(displayName, entry);
}

void UploadState::setTransfer(const QString &displayName, const ServiceTransfer &transfer)
{
    if (storeNew(m_transfers, displayName, transfer))
        Q_EMIT transfersChanged();
}

void UploadState::clearProgress()
{
    if (emptyOut(m_progressDict))
        Q_EMIT progressDictChanged();
    if (emptyOut(m_transfers))
        Q_EMIT transfersChanged();
}

void UploadState::setIsUploading(bool uploading)
{
    if (m_isUploading == uploading)
        return;
    m_isUploading = uploading;
    Q_EMIT isUploadingChanged(uploading);
}

void UploadState::setShowAuthorizationAlert(bool show)
{
    if (m_showAuthorizationAlert == show)
        return;
    m_showAuthorizationAlert = show;
    Q_EMIT showAuthorizationAlertChanged(show);
}

void UploadState::answerAuthorizationAlert(bool goToConfiguration)
{
    if (goToConfiguration)
        Notifier::instance().post(QString::fromLatin1(kIrAConfiguracion));
    setShowAuthorizationAlert(false);
}

void UploadState::setAlertaActiva(std::optional<TipoAlerta> alerta)
{
    if (m_alertaActiva == alerta)
        return;
    m_alertaActiva = alerta;
    Q_EMIT alertaActivaChanged();
}

void UploadState::cancelAll()
{
    setIsUploading(false);
    clearProgress();
    clearCanceledServices();
}

void UploadState::resetAfterStop(const QSet<int> &finished)
{
    cancelAll();
    if (finished.isEmpty())
        return;
    QStringList kept;
    for (int i = 0; i < m_archivosSeleccionados.size(); ++i) {
        if (!finished.contains(i))
            kept << m_archivosSeleccionados.at(i);
    }
    m_archivosSeleccionados = kept;
    Q_EMIT archivosSeleccionadosChanged();
}

void UploadState::resetAfterRun()
{
    setIsUploading(false);
    clearProgress();
    clearArchivos();
    clearServicios();
    clearCanceledServices();
}

} // namespace skyloft
