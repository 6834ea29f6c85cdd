// SPDX-License-Identifier: MIT
#include "screens/config/RemoteChooser.h"

#include "ui/SystemStyle.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace skyloft {

namespace {

const QString kRemoto = QStringLiteral("Remoto:");
const QString kEligeUnRemoto = QStringLiteral("Elige un remoto");

} // namespace

RemoteChooser::RemoteChooser(QWidget *parent) : QWidget(parent), m_remotes(new QComboBox(this))
{
    auto *label = textLabel(kRemoto, textStyleFont(TextStyle::Body), labelColour(), this);
    label->setBuddy(m_remotes);
    m_remotes->setAccessibleName(kRemoto);
    m_remotes->setPlaceholderText(kEligeUnRemoto);
    m_remotes->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    layout->addWidget(label);
    layout->addWidget(m_remotes);
    layout->addStretch(1);
    connect(m_remotes, &QComboBox::textActivated, this, &RemoteChooser::chosen);
}

void RemoteChooser::showRemotes(const ServiceRemote &service)
{
    const QSignalBlocker quiet(m_remotes);
    m_remotes->clear();
    m_remotes->addItems(service.candidates);
    m_remotes->setCurrentIndex(service.choiceNeeded ? -1
                                                    : service.candidates.indexOf(service.remote));
}

} // namespace skyloft
