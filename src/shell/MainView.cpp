// SPDX-License-Identifier: MIT
#include "shell/MainView.h"

#include "core/Notifier.h"
#include "core/RcloneBackends.h"
#include "screens/config/ConfigView.h"
#include "screens/links/LinksState.h"
#include "screens/links/LinksView.h"
#include "screens/upload/UploadView.h"
#include "shell/TabSelection.h"
#include "shell/Translations.h"
#include "ui/Images.h"
#include "ui/SystemStyle.h"
#include "upload/GeneratedLinks.h"
#include "upload/UploadRun.h"

#include <QTabBar>

namespace skyloft {

MainView::MainView(TabSelection *selectedTab, QWidget *parent)
    : QTabWidget(parent), m_selectedTab(selectedTab), m_generatedLinks(new GeneratedLinks(this)),
      m_backends(new RcloneBackends(this))
{
    m_backends->probe(RclonePaths::process());
    setMinimumSize(500, 520);
    setDocumentMode(true);
    // One-colour symbols in the tab bar's own text colour, so they show in either appearance.
    const QColor symbols = palette().color(QPalette::WindowText);
    addTab(makeUploadScreen(), tintedIcon(QStringLiteral("arrow.up.doc"), symbols),
           localized("Subir"));
    addTab(makeLinksScreen(), tintedIcon(QStringLiteral("link"), symbols), localized("Enlaces"));
    addTab(makeConfigScreen(), tintedIcon(QStringLiteral("gearshape"), symbols),
           localized("Configuración"));
    tabBar()->setExpanding(true);

    setCurrentIndex(m_selectedTab->selectedTab());
    connect(this, &QTabWidget::currentChanged, m_selectedTab, &TabSelection::setSelectedTab);
    connect(m_selectedTab, &TabSelection::selectedTabChanged, this, &QTabWidget::setCurrentIndex);
    Notifier::instance().observe(QString::fromLatin1(kIrAConfiguracion), this,
                                 [this] { m_selectedTab->setSelectedTab(TabConfiguration); });
}

QWidget *MainView::makeUploadScreen()
{
    UploadViewSetup setup = UploadViewSetup::forApplication();
    setup.backends = m_backends;
    m_uploadView = new UploadView(std::move(setup));
    // Every pair is kept as it ends, so the links tab fills while the run goes on; the run's end
    // shows it.
    connect(m_uploadView, &UploadView::runStarted, this, [this](UploadRun *run) {
        connect(run, &UploadRun::pairFinished, m_generatedLinks, &GeneratedLinks::record);
        connect(run, &UploadRun::finished, m_selectedTab,
                [tabs = m_selectedTab] { tabs->setSelectedTab(TabLinks); });
        Q_EMIT runStarted(run);
    });
    return m_uploadView;
}

QWidget *MainView::makeLinksScreen()
{
    m_linksView = new LinksView(m_generatedLinks);
    connect(m_linksView->state(), &LinksState::runStarted, this, &MainView::runStarted);
    return m_linksView;
}

void MainView::retry(const PairOutcome &pair)
{
    UploadRun *run = UploadRun::retry(pair.service, pair.localPath, RclonePaths::process(), this);
    connect(run, &UploadRun::pairFinished, m_generatedLinks, &GeneratedLinks::record);
    connect(run, &UploadRun::finished, run, &QObject::deleteLater);
    Q_EMIT runStarted(run);
    run->start();
}

QWidget *MainView::makeConfigScreen()
{
    return new ConfigView(AuthorizationSetup::forProcess(), nullptr, {}, m_backends);
}

} // namespace skyloft
