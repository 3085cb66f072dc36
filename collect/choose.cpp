#include "collect/choose.h"

#include "host/framework/skin.h"

#include <QGuiApplication>
#include <QScreen>

namespace quib::collect {

TChooseForm::TChooseForm(QWidget* owner, IApp* app) : QDialog(owner)
{
    setupUi(this);
    setWindowFlag(Qt::Tool);
    ApplySkin(*this, app->GetSkinName());
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TChooseForm::SetPrompt(const QString& caption, const QString& label)
{
    setWindowTitle(caption);
    Label1->setText(label);
}

void TChooseForm::SetLines(const std::vector<QString>& lines)
{
    ComboBox->clear();
    for (const QString& line : lines)
        ComboBox->addItem(line);
    ComboBox->setCurrentIndex(lines.empty() ? -1 : 0);
}

std::vector<QString> TChooseForm::Lines() const
{
    std::vector<QString> lines;
    for (int i = 0; i < ComboBox->count(); ++i)
        lines.push_back(ComboBox->itemText(i));
    return lines;
}

int TChooseForm::Chosen() const { return ComboBox->currentIndex(); }

bool TChooseForm::Choose(int position)
{
    if (position < 0 || position >= ComboBox->count())
        return false;
    ComboBox->setCurrentIndex(position);
    return true;
}

}  // namespace quib::collect
