// SPDX-License-Identifier: MIT
#include "shell/MainView.h"

#include "core/Notifier.h"
#include "core/RcloneBackends.h"
#include "core/RemoteDestinations.h"
#include "screens/config/ConfigView.h"
#include "screens/links/LinksView.h"
#include "screens/upload/UploadView.h"
#include "shell/TabSelection.h"
#include "shell/Translations.h"
#include "ui/Images.h"
#include "ui/SystemStyle.h"
#include "ui/TabBar.h"
#include "upload/GeneratedLinks.h"
#include "upload/UploadRuns.h"

#include <QTabBar>

namespace skyloft {

MainView::MainView(TabSelection *selectedTab, QWidget *parent)
    : QTabWidget(parent), m_selectedTab(selectedTab), m_generatedLinks(new GeneratedLinks(this)),
      m_runs(new UploadRuns(RclonePaths::process(), this)), m_backends(new RcloneBackends(this)),
      m_destinations(new RemoteDestinations(RclonePaths::process(), this))
{
    // Every pair is kept as it ends, so the links tab fills while the run goes on (a retry from
    // the links tab puts its pair back in place itself); the upload button's run, unless
    // stopped, shows the tab at its end.
    connect(m_runs, &UploadRuns::pairFinished, m_generatedLinks,
            [links = m_generatedLinks](UploadRun *run, const PairOutcome &outcome) {
                if (run->origin() != RunOrigin::LinksRetry)
                    links->record(outcome);
            });
    connect(m_runs, &UploadRuns::runFinished, m_selectedTab,
            [tabs = m_selectedTab](UploadRun *run) {
                if (run->origin() == RunOrigin::UploadButton && !run->wasStopped())
                    tabs->setSelectedTab(TabLinks);
            });
    m_backends->probe(RclonePaths::process());
    m_destinations->watchFile();
    setMinimumSize(500, 520);
    // The bar first: document mode is applied to the bar the widget has then.
    setTabBar(new TabBar(this));
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
    setup.runs = m_runs;
    setup.destinations = m_destinations;
    m_uploadView = new UploadView(std::move(setup));
    return m_uploadView;
}

QWidget *MainView::makeLinksScreen()
{
    m_linksView = new LinksView(m_generatedLinks, m_runs);
    return m_linksView;
}

void MainView::retry(const QList<PairOutcome> &pairs)
{
    m_runs->retry(pairs, RunOrigin::HistoryRetry);
}

QWidget *MainView::makeConfigScreen()
{
    return new ConfigView(AuthorizationSetup::forProcess(), nullptr, {}, m_backends);
}

} // namespace skyloft
