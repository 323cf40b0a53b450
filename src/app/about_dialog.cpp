#include "app/about_dialog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmar {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QCoreApplication::translate("AboutDialog", "О программе"));
    setModal(false);

    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(QStringLiteral(":/icons/velmar-128.png")));
    picture->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("<b style='font-size:16pt'>Velmar</b>"), this);
    name->setObjectName(QStringLiteral("programName"));
    auto* version = new QLabel(QCoreApplication::translate("AboutDialog", "Версия 4.2"), this);
    version->setObjectName(QStringLiteral("programVersion"));
    auto* about =
        new QLabel(QCoreApplication::translate(
                       "AboutDialog", "Редактор логических конспектов: фреймы с рисунками, текстовыми полями и "
                                      "видео фрагментами, стрелки между ними и минимальный текст каждого объекта, "
                                      "собранный в конспект в порядке чтения."),
                   this);
    about->setWordWrap(true);

    auto* close = new QPushButton(QCoreApplication::translate("AboutDialog", "Закрыть"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(about);
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setFixedWidth(420);
}

}  // namespace velmar
