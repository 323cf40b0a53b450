// The dialog that asks for a picture's new size.
#include "paint/paint_resize_dialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace velmar::paint {

namespace {
QString say(const char* text) { return QCoreApplication::translate("PaintWindow", text); }
}  // namespace

ResizeDialog::ResizeDialog(QSize original, QWidget* parent) : QDialog(parent), m_original(original)
{
    setObjectName(QStringLiteral("paintResizeDialog"));
    setWindowTitle(say(QT_TRANSLATE_NOOP("PaintWindow", "Изменить размер")));
    auto* layout = new QVBoxLayout(this);
    auto* size = new QLabel(
        say(QT_TRANSLATE_NOOP("PaintWindow", "Сейчас: %1 x %2 точек")).arg(original.width()).arg(original.height()),
        this);
    layout->addWidget(size);

    auto* units = new QHBoxLayout;
    m_percent = new QRadioButton(say(QT_TRANSLATE_NOOP("PaintWindow", "В процентах")), this);
    m_percent->setObjectName(QStringLiteral("resizePercent"));
    m_pixels = new QRadioButton(say(QT_TRANSLATE_NOOP("PaintWindow", "В точках")), this);
    m_pixels->setObjectName(QStringLiteral("resizePixels"));
    m_percent->setChecked(true);
    units->addWidget(m_percent);
    units->addWidget(m_pixels);
    layout->addLayout(units);

    auto* form = new QFormLayout;
    m_width = new QSpinBox(this);
    m_width->setObjectName(QStringLiteral("resizeWidth"));
    m_height = new QSpinBox(this);
    m_height->setObjectName(QStringLiteral("resizeHeight"));
    for (QSpinBox* box : {m_width, m_height}) {
        box->setRange(1, kMaxPictureSide);
        box->setValue(100);
    }
    form->addRow(say(QT_TRANSLATE_NOOP("PaintWindow", "Ширина:")), m_width);
    form->addRow(say(QT_TRANSLATE_NOOP("PaintWindow", "Высота:")), m_height);
    layout->addLayout(form);

    m_keepAspect = new QCheckBox(say(QT_TRANSLATE_NOOP("PaintWindow", "Сохранять пропорции")), this);
    m_keepAspect->setObjectName(QStringLiteral("resizeKeepAspect"));
    m_keepAspect->setChecked(true);
    layout->addWidget(m_keepAspect);

    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("resizeResult"));
    layout->addWidget(m_result);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(say(QT_TRANSLATE_NOOP("PaintWindow", "ОК")));
    buttons->button(QDialogButtonBox::Cancel)->setText(say(QT_TRANSLATE_NOOP("PaintWindow", "Отмена")));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(m_percent, &QRadioButton::toggled, this, &ResizeDialog::unitChanged);
    connect(m_width, &QSpinBox::valueChanged, this, &ResizeDialog::widthChanged);
    connect(m_height, &QSpinBox::valueChanged, this, &ResizeDialog::showResult);
    connect(m_keepAspect, &QCheckBox::toggled, this, &ResizeDialog::widthChanged);
    widthChanged();
    m_width->setFocus();
    m_width->selectAll();
}

ResizeRequest ResizeDialog::request() const
{
    return {m_percent->isChecked(), m_width->value(), m_height->value(), m_keepAspect->isChecked()};
}

void ResizeDialog::unitChanged()
{
    // The values change unit and keep the size they give.
    const bool percent = m_percent->isChecked();
    if (percent == m_wasPercent)
        return;
    ResizeRequest was = request();
    was.percent = m_wasPercent;
    const QSize size = resizedSize(m_original, was);
    m_wasPercent = percent;
    const QSignalBlocker blockWidth(m_width), blockHeight(m_height);
    if (percent) {
        m_width->setValue(int(std::lrint(100.0 * size.width() / std::max(1, m_original.width()))));
        m_height->setValue(int(std::lrint(100.0 * size.height() / std::max(1, m_original.height()))));
    } else {
        m_width->setValue(size.width());
        m_height->setValue(size.height());
    }
    showResult();
}

void ResizeDialog::widthChanged()
{
    // With the aspect kept the height follows the width and cannot be typed.
    m_height->setEnabled(!m_keepAspect->isChecked());
    if (m_keepAspect->isChecked()) {
        const QSignalBlocker block(m_height);
        m_height->setValue(m_percent->isChecked() ? m_width->value() : chosenSize().height());
    }
    showResult();
}

void ResizeDialog::showResult()
{
    const QSize size = chosenSize();
    m_result->setText(
        say(QT_TRANSLATE_NOOP("PaintWindow", "Получится: %1 x %2 точек")).arg(size.width()).arg(size.height()));
}

std::optional<QSize> askNewSize(QWidget* parent, QSize original)
{
    ResizeDialog dialog(original, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QSize size = dialog.chosenSize();
    if (size == original)
        return std::nullopt;
    return size;
}

}  // namespace velmar::paint
