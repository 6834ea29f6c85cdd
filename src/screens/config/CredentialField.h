// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>

namespace skyloft {

// A credential entry of the configuration screen: black text on a light grey rounded field with
// a thin grey outline, its placeholder in dark grey; the placeholder also names it. A secret
// field masks what is typed.
class CredentialField : public QLineEdit
{
    Q_OBJECT
public:
    enum Kind
    {
        Plain,
        Secret
    };

    CredentialField(const QString &placeholder, Kind kind, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace skyloft
