// SPDX-License-Identifier: MIT
#pragma once

#include "core/Destination.h"
#include "upload/ServiceTransfer.h"
#include "upload/TipoAlerta.h"

#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace skyloft {

// What the progress card of one service shows.
struct ServiceProgress
{
    ServiceProgress(double progress = 0.0, QString fileName = {}, int stalledSeconds = 0)
        : progress(progress), fileName(std::move(fileName)), stalledSeconds(stalledSeconds)
    {}

    double progress = 0.0;  // the service's overall fraction done, 0.0 to 1.0
    QString fileName;       // last path component of the file being copied
    int stalledSeconds = 0; // how long nothing has moved, once that is too long
    bool operator==(const ServiceProgress &) const = default;
};

// The upload screen's state. The upload run (UploadRun) reads and writes these fields and the
// screen renders them; everything here runs on the GUI thread. Each setter emits its change
// signal only when the value really changed.
class UploadState : public QObject
{
    Q_OBJECT
public:
    explicit UploadState(QObject *parent = nullptr);

    // Queued file paths, in queue order; duplicates allowed.
    const QStringList &archivosSeleccionados() const { return m_archivosSeleccionados; }
    // Emits archivosAppended and archivosSeleccionadosChanged once per call, so a folder's
    // files added in batches cost a view one change per batch.
    void appendArchivo(const QString &path);
    void appendArchivos(const QStringList &paths);
    // "Eliminar todos los archivos".
    void clearArchivos();

    // Display names of the selected services.
    const QSet<QString> &serviciosSeleccionados() const { return m_serviciosSeleccionados; }
    // Selecting is allowed whether or not the service is authorized.
    void toggleService(const QString &displayName);
    // The services offered, in display order; never changes.
    const QStringList &serviciosOrden() const { return m_serviciosOrden; }
    // The other remotes of rclone's that can make public links, offered after the services
    // ("Otros:") and authorized by being offered. One that goes away leaves the selection too.
    const QList<Destination> &extraDestinations() const { return m_extraDestinations; }
    void setExtraDestinations(const QList<Destination> &extras);
    // Every name that can be selected, in the order a run goes through them.
    QStringList destinationOrder() const;
    // A service whose own remote name is in authorizedServices, or another remote offered.
    bool isAuthorized(const QString &name) const;

    // Remote names (not display names) of the authorized services.
    const QSet<QString> &authorizedServices() const { return m_authorizedServices; }
    void insertAuthorizedService(const QString &remoteName);
    void clearAuthorizedServices();
    // What the screen does each time it appears: empties the set, then scans the configuration
    // file and adds every authorized remote, one change per service, printing a line for each.
    // Returns false (after printing why) when the file cannot be read.
    bool rescanAuthorizations(const QString &configPath);

    // Display names cancelled on their cards (see UploadRun::cancelService).
    const QSet<QString> &canceledServices() const { return m_canceledServices; }
    void insertCanceledService(const QString &displayName);

    // Per service display name; an entry exists once the run has reached the service.
    const QMap<QString, ServiceProgress> &progressDict() const { return m_progressDict; }
    // A service starts: (0.0, no file), replacing any entry.
    void resetServiceProgress(const QString &displayName);
    // A file starts: sets the file name of an existing entry, keeping its progress.
    void setProgressFileName(const QString &displayName, const QString &fileName);
    // Turns one file's fraction into the service's overall fraction against the queue's size
    // now, and applies it with a queued call, after the code that reported it.
    void reportCopyProgress(const QString &displayName, int fileIndex, double fraction);
    // Never lowers an existing entry; NaN leaves it alone. Without an entry (after cancelAll)
    // one is created with no file name and the value, or 0 when the value is negative or NaN.
    void applyServiceProgress(const QString &displayName, double overall);
    // The stall notice of an existing entry (0 clears it).
    void setStalledSeconds(const QString &displayName, int seconds);

    // Files and bytes per service display name, once the run has reached the service.
    const QMap<QString, ServiceTransfer> &transfers() const { return m_transfers; }
    void setTransfer(const QString &displayName, const ServiceTransfer &transfer);

    bool isUploading() const { return m_isUploading; }
    void setIsUploading(bool uploading);

    bool showAuthorizationAlert() const { return m_showAuthorizationAlert; }
    void setShowAuthorizationAlert(bool show);
    // The alert's buttons: "Ir a Configuración" (true) posts IrAConfiguracion, which the tab
    // container answers; "Cancelar" or dismissing (false) does nothing more. Either hides it.
    void answerAuthorizationAlert(bool goToConfiguration);

    // The alert item on display, if any; dismissing the alert sets it back to none.
    std::optional<TipoAlerta> alertaActiva() const { return m_alertaActiva; }
    void setAlertaActiva(std::optional<TipoAlerta> alerta);

    // "Cancelar todo" with no run to stop: shows the composing screen again.
    void cancelAll();
    // The end of a stopped run: not uploading, no progress, no cancelled services; the files at
    // `finished` (positions in the queue) leave it, the others and the selection stay.
    void resetAfterStop(const QSet<int> &finished);

    // The end of a run: not uploading, and queue, selection, progress and cancelled
    // services emptied. The links stay.
    void resetAfterRun();

Q_SIGNALS:
    // `count` paths were appended, the first of them at position `first`.
    void archivosAppended(qsizetype first, qsizetype count);
    void archivosSeleccionadosChanged();
    void serviciosSeleccionadosChanged();
    void extraDestinationsChanged();
    void authorizedServicesChanged();
    void canceledServicesChanged();
    void progressDictChanged();
    void transfersChanged();
    void isUploadingChanged(bool uploading);
    void showAuthorizationAlertChanged(bool show);
    void alertaActivaChanged();

private:
    void clearServicios();
    void clearCanceledServices();
    void clearProgress();
    void storeProgress(const QString &displayName, const ServiceProgress &entry);

    QStringList m_archivosSeleccionados;
    QSet<QString> m_serviciosSeleccionados;
    const QStringList m_serviciosOrden;
    QList<Destination> m_extraDestinations;
    QSet<QString> m_authorizedServices;
    QSet<QString> m_canceledServices;
    QMap<QString, ServiceProgress> m_progressDict;
    QMap<QString, ServiceTransfer> m_transfers;
    bool m_isUploading = false;
    bool m_showAuthorizationAlert = false;
    std::optional<TipoAlerta> m_alertaActiva;
};

} // namespace skyloft
