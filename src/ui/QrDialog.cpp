// SPDX-License-Identifier: MIT
#include "ui/QrDialog.h"

#include "ui/QrCode.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace skyloft {

namespace {

const QString kGuardarPng = QStringLiteral("Guardar como PNG…");
const QString kCerrar = QStringLiteral("Cerrar");
const QString kDemasiadoLargo = QStringLiteral("Este enlace es demasiado largo para un código QR.");

// Whole pixels per module, so that every module keeps a sharp edge.
int moduleSizeFor(const QString &link)
{
    const QImage oneToOne = qrCodeImage(link, 1);
    if (oneToOne.isNull())
        return 1;
    return std::max(4, (QrDialog::kMinimumSide + oneToOne.width() - 1) / oneToOne.width());
}

} // namespace

QrDialog::QrDialog(const QString &fileName, const QString &link, SaveFileChooser chooseFile,
                   QWidget *parent)
    : QDialog(parent), m_fileName(fileName), m_image(qrCodeImage(link, moduleSizeFor(link))),
      m_chooseFile(std::move(chooseFile))
{
    setWindowTitle(QStringLiteral("Código QR de ") + fileName);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *code = new QLabel(this);
    code->setAlignment(Qt::AlignCenter);
    if (m_image.isNull()) {
        code->setText(kDemasiadoLargo);
    } else {
        code->setPixmap(QPixmap::fromImage(m_image));
        code->setAccessibleName(QStringLiteral("Código QR del enlace de ") + fileName);
    }

    auto *address = new QLabel(this);
    address->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    address->setAlignment(Qt::AlignCenter);
    address->setText(address->fontMetrics().elidedText(link, Qt::ElideMiddle, m_image.width()));
    address->setToolTip(link);
    address->setAccessibleName(link);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *save = buttons->addButton(kGuardarPng, QDialogButtonBox::ActionRole);
    save->setAccessibleName(kGuardarPng);
    save->setEnabled(!m_image.isNull());
    QPushButton *close = buttons->addButton(kCerrar, QDialogButtonBox::RejectRole);
    close->setAccessibleName(kCerrar);
    close->setDefault(true);
    close->setFocus();
    connect(save, &QPushButton::clicked, this, &QrDialog::saveAsPng);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(code);
    layout->addWidget(address);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void QrDialog::saveAsPng()
{
    SaveRequest request;
    request.title = kGuardarPng;
    request.suggestedName = m_fileName + QStringLiteral("-qr.png");
    request.filter = QStringLiteral("PNG (*.png)");
    request.suffix = QStringLiteral("png");
    saveThroughDialog(this, m_chooseFile, request, [image = m_image] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return png;
    });
}

} // namespace skyloft
