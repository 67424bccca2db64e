#include "dialogs/OpenWithDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarnel {

OpenWithDialog::OpenWithDialog(const QString& file, QWidget* parent) : QDialog(parent) {
    setObjectName("OpenWithDialog");
    setWindowTitle(tr("Open With"));

    auto* prompt = new QLabel(
        tr("Choose the program to open this file with:\n%1").arg(QDir::toNativeSeparators(file)),
        this);
    prompt->setWordWrap(true);

    program_ = new QLineEdit(this);
    program_->setObjectName("program");
    auto* browse = new QPushButton(tr("Browse..."), this);
    browse->setObjectName("browse");
    connect(browse, &QPushButton::clicked, this, &OpenWithDialog::browse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(program_, &QLineEdit::textChanged, this,
            [this](const QString& text) { ok_->setEnabled(!text.trimmed().isEmpty()); });

    auto* row = new QHBoxLayout;
    row->addWidget(program_, 1);
    row->addWidget(browse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(480, sizeHint().height());
}

QString OpenWithDialog::program() const {
    return program_->text().trimmed();
}

void OpenWithDialog::browse() {
    const QString start = program().isEmpty() ? QString() : QFileInfo(program()).absolutePath();
    const QString chosen = QFileDialog::getOpenFileName(this, tr("Choose a program"), start);
    if (!chosen.isEmpty())
        program_->setText(QDir::toNativeSeparators(chosen));
}

} // namespace quarnel
