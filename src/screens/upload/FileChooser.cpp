// SPDX-License-Identifier: MIT
#include "screens/upload/FileChooser.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QUrl>
#include <QUuid>
#include <QWidget>

namespace skyloft {

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");

QString title(ChooserKind kind)
{
    return kind == ChooserKind::Folder ? QStringLiteral("Elegir carpeta")
                                       : QStringLiteral("Elegir archivos");
}

// Qt's file dialog (or the one of the platform theme Qt runs with).
void openFileDialog(QWidget *parent, ChooserKind kind,
                    std::function<void(const QStringList &)> onChosen)
{
    const bool folder = kind == ChooserKind::Folder;
    auto *dialog = new QFileDialog(parent, title(kind), QDir::homePath());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(folder ? QFileDialog::Directory : QFileDialog::ExistingFiles);
    dialog->setOption(QFileDialog::ShowDirsOnly, folder);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Elegir"));
    dialog->setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    QObject::connect(
        dialog, &QFileDialog::filesSelected, dialog,
        [onChosen = std::move(onChosen)](const QStringList &files) { onChosen(files); });
    dialog->open();
}

// One question to the desktop portal's file chooser (org.freedesktop.portal.FileChooser), which
// shows the desktop's own dialog (GNOME's, KDE's...). Where there is no portal it opens the file
// dialog instead. It deletes itself once answered.
class PortalRequest : public QObject
{
    Q_OBJECT
public:
    PortalRequest(QWidget *parent, ChooserKind kind,
                  std::function<void(const QStringList &)> onChosen)
        : QObject(parent), m_parent(parent), m_kind(kind), m_onChosen(std::move(onChosen))
    {}

    void start()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            fallBack();
            return;
        }
        // The answer comes as a signal on a path made of our name and a token; listening before
        // asking means it cannot be missed.
        const QString token =
            QStringLiteral("skyloft") + QUuid::createUuid().toString(QUuid::Id128);
        QString sender = bus.baseService().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        m_path = kPortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
        bus.connect(kPortal, m_path, kRequestInterface, QStringLiteral("Response"), this,
                    SLOT(response(uint, QVariantMap)));

        const QVariantMap options{
            {QStringLiteral("handle_token"), token},
            {QStringLiteral("accept_label"), QStringLiteral("Elegir")},
            {QStringLiteral("modal"), true},
            {QStringLiteral("multiple"), m_kind == ChooserKind::Files},
            {QStringLiteral("directory"), m_kind == ChooserKind::Folder},
        };
        QDBusMessage call = QDBusMessage::createMethodCall(
            kPortal, kPortalPath, QStringLiteral("org.freedesktop.portal.FileChooser"),
            QStringLiteral("OpenFile"));
        call << parentWindow() << title(m_kind) << options;
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
            watcher->deleteLater();
            if (QDBusPendingReply<QDBusObjectPath>(*watcher).isError())
                fallBack();
        });
    }

private Q_SLOTS:
    // 0: chosen; 1: cancelled; anything else: the portal could not ask.
    void response(uint code, const QVariantMap &results)
    {
        QDBusConnection::sessionBus().disconnect(kPortal, m_path, kRequestInterface,
                                                 QStringLiteral("Response"), this,
                                                 SLOT(response(uint, QVariantMap)));
        if (code == 0) {
            QStringList paths;
            for (const QString &uri : results.value(QStringLiteral("uris")).toStringList()) {
                const QUrl url(uri);
                if (url.isLocalFile())
                    paths << url.toLocalFile();
            }
            if (!paths.isEmpty())
                m_onChosen(paths);
        } else if (code != 1) {
            fallBack();
            return;
        }
        deleteLater();
    }

private:
    // The portal places its dialog over our window on X11; elsewhere it stands alone.
    QString parentWindow() const
    {
        if (!m_parent || QGuiApplication::platformName() != QLatin1String("xcb"))
            return {};
        return QStringLiteral("x11:") + QString::number(m_parent->window()->winId(), 16);
    }

    void fallBack()
    {
        if (m_parent)
            openFileDialog(m_parent, m_kind, std::move(m_onChosen));
        deleteLater();
    }

    QPointer<QWidget> m_parent;
    ChooserKind m_kind;
    std::function<void(const QStringList &)> m_onChosen;
    QString m_path;
};

} // namespace

FileChooser desktopFileChooser()
{
    return
        [](QWidget *parent, ChooserKind kind, std::function<void(const QStringList &)> onChosen) {
            (new PortalRequest(parent, kind, std::move(onChosen)))->start();
        };
}

} // namespace skyloft

#include "FileChooser.moc"
