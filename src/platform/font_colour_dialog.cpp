#include "platform/font_colour_dialog.h"

#include "platform/dialog_russian.h"

#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace velmar {

namespace {

struct NamedColour {
    const char* name;
    QRgb rgb;
};

// The sixteen basic colours of a font dialog's colour list.
const NamedColour kBasicColours[] = {
    {QT_TRANSLATE_NOOP("FontDialog", "Чёрный"), qRgb(0, 0, 0)},
    {QT_TRANSLATE_NOOP("FontDialog", "Бордовый"), qRgb(128, 0, 0)},
    {QT_TRANSLATE_NOOP("FontDialog", "Зелёный"), qRgb(0, 128, 0)},
    {QT_TRANSLATE_NOOP("FontDialog", "Оливковый"), qRgb(128, 128, 0)},
    {QT_TRANSLATE_NOOP("FontDialog", "Тёмно-синий"), qRgb(0, 0, 128)},
    {QT_TRANSLATE_NOOP("FontDialog", "Фиолетовый"), qRgb(128, 0, 128)},
    {QT_TRANSLATE_NOOP("FontDialog", "Сине-зелёный"), qRgb(0, 128, 128)},
    {QT_TRANSLATE_NOOP("FontDialog", "Серый"), qRgb(128, 128, 128)},
    {QT_TRANSLATE_NOOP("FontDialog", "Серебристый"), qRgb(192, 192, 192)},
    {QT_TRANSLATE_NOOP("FontDialog", "Красный"), qRgb(255, 0, 0)},
    {QT_TRANSLATE_NOOP("FontDialog", "Лайм"), qRgb(0, 255, 0)},
    {QT_TRANSLATE_NOOP("FontDialog", "Жёлтый"), qRgb(255, 255, 0)},
    {QT_TRANSLATE_NOOP("FontDialog", "Синий"), qRgb(0, 0, 255)},
    {QT_TRANSLATE_NOOP("FontDialog", "Фуксия"), qRgb(255, 0, 255)},
    {QT_TRANSLATE_NOOP("FontDialog", "Голубой"), qRgb(0, 255, 255)},
    {QT_TRANSLATE_NOOP("FontDialog", "Белый"), qRgb(255, 255, 255)},
};

// Functions, not constants: the texts are translated once the catalogue is installed.
QString otherColour() { return QCoreApplication::translate("FontDialog", "Другой…"); }
QString ownColour() { return QCoreApplication::translate("FontDialog", "Свой цвет"); }

QIcon swatch(const QColor& colour)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// Qt names families installed by several foundries "Family [foundry]"; the outline keeps the
// family's own name.
QString withoutFoundry(QString family)
{
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    return family.remove(foundry);
}

}  // namespace

FontColourDialog::FontColourDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QCoreApplication::translate("FontDialog", "Шрифт"));

    // Qt's font dialog as a part of this one, without its own buttons.
    m_fonts = new QFontDialog(this);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setSizeGripEnabled(false);
    russifyFontDialog(m_fonts);
    // The sample text is the one line edit inside a group box.
    for (QLineEdit* edit : m_fonts->findChildren<QLineEdit*>())
        if (qobject_cast<QGroupBox*>(edit->parentWidget()))
            m_sample = edit;

    m_colourBox = new QComboBox(this);
    m_colourBox->setObjectName(QStringLiteral("fontColour"));
    for (const NamedColour& c : kBasicColours)
        m_colourBox->addItem(swatch(QColor(c.rgb)), QCoreApplication::translate("FontDialog", c.name), QColor(c.rgb));
    m_colourBox->addItem(otherColour());
    auto* colourLabel = new QLabel(QCoreApplication::translate("FontDialog", "&Цвет:"), this);
    colourLabel->setBuddy(m_colourBox);
    m_colourLabel = colourLabel;
    connect(m_colourBox, qOverload<int>(&QComboBox::activated), this, &FontColourDialog::colourPicked);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(colourLabel);
    colourRow->addWidget(m_colourBox);
    colourRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
    showColour();
}

void FontColourDialog::setCurrentFont(const QFont& font)
{
    m_storedFont = font;
    // QFontInfo names the family and style that are really used: the font itself or its
    // stand-in. The style goes by name, as the dialog lists it ("Regular", "Bold"…); without it
    // the dialog would pick the first style of its list.
    const QFontInfo used(font);
    m_shownFamily = withoutFoundry(used.family());
    QFont shown = font;
    shown.setFamily(used.family());
    shown.setStyleName(used.styleName());
    m_fonts->setCurrentFont(shown);
}

QFont FontColourDialog::currentFont() const
{
    QFont chosen = m_fonts->currentFont();
    const QString family = withoutFoundry(chosen.family());
    // The family shown in place of a missing one was left as it was: keep the stored names.
    if (!m_shownFamily.isEmpty() && family == m_shownFamily && !QFontDatabase::hasFamily(m_storedFont.family()))
        chosen.setFamilies(m_storedFont.families().isEmpty() ? QStringList{m_storedFont.family()}
                                                             : m_storedFont.families());
    else
        chosen.setFamily(family);
    return chosen;
}

void FontColourDialog::setColourOffered(bool offered)
{
    m_colourLabel->setVisible(offered);
    m_colourBox->setVisible(offered);
}

void FontColourDialog::setCurrentColour(const QColor& colour)
{
    m_colour = colour.isValid() ? colour.toRgb() : QColor(Qt::black);
    showColour();
}

void FontColourDialog::colourPicked(int index)
{
    if (m_colourBox->itemText(index) == otherColour()) {
        const QColor other = chooseColourInDialog(this, m_colour, QCoreApplication::translate("FontDialog", "Цвет"));
        if (other.isValid())
            m_colour = other.toRgb();
    } else {
        m_colour = m_colourBox->itemData(index).value<QColor>();
    }
    showColour();
}

void FontColourDialog::showColour()
{
    // A colour outside the basic ones gets its own entry, just above "Другой…".
    const int own = m_colourBox->findText(ownColour());
    if (own >= 0)
        m_colourBox->removeItem(own);
    int index = -1;
    for (int i = 0; i < m_colourBox->count(); ++i)
        if (m_colourBox->itemData(i).value<QColor>() == m_colour)
            index = i;
    if (index < 0) {
        index = m_colourBox->count() - 1;
        m_colourBox->insertItem(index, swatch(m_colour), ownColour(), m_colour);
    }
    m_colourBox->setCurrentIndex(index);
    if (m_sample) {
        QPalette palette = m_sample->palette();
        palette.setColor(QPalette::Text, m_colour);
        m_sample->setPalette(palette);
    }
}

}  // namespace velmar
