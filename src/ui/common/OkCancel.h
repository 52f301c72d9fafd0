#pragma once
// OK and Cancel at the foot of a settings dialog's form: OK applies the choices, then closes.

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <functional>

inline void AddOkCancel(QDialog* dialog, QFormLayout* form, std::function<void()> apply) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog,
                     [dialog, apply = std::move(apply)] {
                         apply();
                         dialog->accept();
                     });
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
}
