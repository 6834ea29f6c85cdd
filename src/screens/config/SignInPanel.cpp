// SPDX-License-Identifier: MIT
#include "screens/config/SignInPanel.h"

#include "ui/StyledButton.h"
#include "ui/SystemStyle.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

namespace skyloft {

namespace {

const QString kExplanation =
    QStringLiteral("Inicia sesión en el navegador que se ha abierto; si no se abrió, usa este "
                   "enlace:");
const QString kAbrirEnElNavegador = QStringLiteral("Abrir en el navegador");
const QString kCopiarEnlace = QStringLiteral("Copiar enlace");
const QString kCancelar = QStringLiteral("Cancelar");

StyledButton::Look panelButtonLook(const QColor &background)
{
    StyledButton::Look look;
    look.background = background;
    look.foreground = onPlateColour();
    look.font = textStyleFont(TextStyle::Subheadline);
    look.radius = 8;
    look.padding = {10, 4, 10, 4};
    return look;
}

} // namespace

SignInPanel::SignInPanel(UrlOpener openUrl, QWidget *parent)
    : QWidget(parent), m_openUrl(std::move(openUrl)),
      m_address(textLabel(QString(), textStyleFont(TextStyle::Caption), systemBlue(), this)),
      m_open(new StyledButton(kAbrirEnElNavegador, QString(), panelButtonLook(bluePlateColour()),
                              this)),
      m_copy(new StyledButton(kCopiarEnlace, QString(), panelButtonLook(greyPlateColour()), this)),
      m_cancel(new StyledButton(kCancelar, QString(), panelButtonLook(redPlateColour()), this))
{
    QLabel *explanation =
        textLabel(kExplanation, textStyleFont(TextStyle::Caption), labelColour(), this);
    explanation->setAlignment(Qt::AlignCenter);
    explanation->setWordWrap(true);
    m_address->setTextFormat(Qt::PlainText);
    m_address->setAlignment(Qt::AlignCenter);
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_address->setFocusPolicy(Qt::StrongFocus);
    // A long address is cut rather than widening the fixed window; the whole stays selectable.
    m_address->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    connect(m_open, &StyledButton::clicked, this, [this] {
        if (m_openUrl)
            m_openUrl(QUrl(address()));
    });
    connect(m_copy, &StyledButton::clicked, this, [this] {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(address());
    });
    connect(m_cancel, &StyledButton::clicked, this, &SignInPanel::cancelRequested);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    buttons->addStretch(1);
    buttons->addWidget(m_open);
    buttons->addWidget(m_copy);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(explanation);
    layout->addWidget(m_address);
    layout->addLayout(buttons);
    hide();
}

void SignInPanel::setAddress(const QString &address)
{
    m_address->setText(address);
    m_address->setAccessibleName(address);
    m_address->setToolTip(address);
    setVisible(!address.isEmpty());
}

QString SignInPanel::address() const
{
    return m_address->text();
}

} // namespace skyloft
