#include "platform/dialog_russian.h"

#include "system/interface_language.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <utility>

namespace velmar {

namespace {

// Words of the style names font files carry.
const std::pair<const char*, const char*> kStyleWords[] = {
    {"regular", "Обычный"},
    {"book", "Обычный"},
    {"normal", "Обычный"},
    {"roman", "Обычный"},
    {"plain", "Обычный"},
    {"standard", "Обычный"},
    {"bold", "Жирный"},
    {"italic", "Курсив"},
    {"oblique", "Наклонный"},
    {"light", "Светлый"},
    {"extralight", "Очень светлый"},
    {"ultralight", "Очень светлый"},
    {"thin", "Тонкий"},
    {"medium", "Средний"},
    {"semibold", "Полужирный"},
    {"demibold", "Полужирный"},
    {"demi", "Полужирный"},
    {"extrabold", "Сверхжирный"},
    {"ultrabold", "Сверхжирный"},
    {"black", "Очень жирный"},
    {"heavy", "Очень жирный"},
    {"condensed", "Узкий"},
    {"semicondensed", "Полуузкий"},
    {"expanded", "Широкий"},
    {"extra", "Очень"},
    {"semi", "Полу"},
};

QString russianWord(const QString& word)
{
    const QString key = word.toLower();
    for (const auto& [english, russian] : kStyleWords)
        if (key == QLatin1String(english))
            return QString::fromUtf8(russian);
    return word;
}

// Shows each style of the list by its Russian name; the list's data stays what the dialog
// matches fonts with.
class RussianStyleDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale&) const override
    {
        return russianStyleName(value.toString());
    }
};

// The file list's columns as the dialog's model has them: name, size, type, date modified.
constexpr int kDateColumn = 3;

class RussianDates final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole && index.column() == kDateColumn)
            if (const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel())) {
                const QDateTime modified = files->lastModified(mapToSource(index));
                return modified.isValid() ? QLocale().toString(modified, QLocale::ShortFormat) : QString();
            }
        return QIdentityProxyModel::data(index, role);
    }
};

}  // namespace

void russifyFileDialog(QFileDialog* dialog)
{
    if (interfaceLanguage() != InterfaceLanguage::Russian)
        return;  // Qt's own English texts and the system's dates
    if (!dialog->testOption(QFileDialog::DontUseNativeDialog) && dialog->findChildren<QAbstractItemView*>().isEmpty())
        return;  // the platform's own dialog
    dialog->setProxyModel(new RussianDates(dialog));
    const QFontMetrics metrics(dialog->font());
    // The Russian date is longer than the column Qt sizes for it; the side bar's "Компьютер"
    // longer than the side bar.
    if (auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView")))
        details->header()->resizeSection(kDateColumn,
                                         metrics.horizontalAdvance(QStringLiteral("00.00.0000 00:00")) + 24);
    if (auto* places = dialog->findChild<QListView*>(QStringLiteral("sidebar")))
        places->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("Компьютер")) + places->iconSize().width()
                                + 32);
}

QString russianStyleName(const QString& style)
{
    const QStringList words = style.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList shown;
    for (qsizetype i = 0; i < words.size(); ++i) {
        QString word = russianWord(words[i]);
        // Adjectives after the first read in lower case: "Жирный наклонный".
        if (i > 0 && word != words[i])
            word = word.toLower();
        shown << word;
    }
    return shown.join(QLatin1Char(' '));
}

QString fontSampleText() { return QStringLiteral("АаБбЁёЯя AaBbYyZz"); }

void russifyFontDialog(QFontDialog* dialog)
{
    if (interfaceLanguage() != InterfaceLanguage::Russian)
        return;  // Qt's own English style names and sample
    // The dialog builds its lists in the order family, style, size, and its line edits in the
    // same order, the sample last.
    const QList<QListView*> lists = dialog->findChildren<QListView*>(Qt::FindDirectChildrenOnly);
    const QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
    if (lists.size() >= 2)
        lists[1]->setItemDelegate(new RussianStyleDelegate(lists[1]));
    if (edits.size() >= 2) {
        QLineEdit* styleEdit = edits[1];
        QObject::connect(styleEdit, &QLineEdit::textChanged, styleEdit, [styleEdit](const QString& text) {
            const QString russian = russianStyleName(text);
            if (russian != text)
                styleEdit->setText(russian);
        });
        styleEdit->setText(russianStyleName(styleEdit->text()));
    }
    QLineEdit* sample = nullptr;
    for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
        if (qobject_cast<QGroupBox*>(edit->parentWidget()))
            sample = edit;
    if (!sample)
        return;
    sample->setText(fontSampleText());
    // Choosing "any writing system" would bring back a Latin sample; the others give their own.
    for (QComboBox* writingSystems : dialog->findChildren<QComboBox*>())
        QObject::connect(writingSystems, qOverload<int>(&QComboBox::activated), sample, [sample](int index) {
            if (index == 0)
                sample->setText(fontSampleText());
        });
}

void showWholeButtonCaptions(QColorDialog* dialog)
{
    // The dialog's left column is only as wide as its colour grids, narrower than the Russian
    // caption of the button below them: the button asks for its whole caption, the column follows.
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (!qobject_cast<QDialogButtonBox*>(button->parentWidget()))
            button->setMinimumWidth(button->sizeHint().width());
}

QColor chooseColourInDialog(QWidget* parent, const QColor& initial, const QString& title)
{
    QColorDialog dialog(initial, parent);
    dialog.setWindowTitle(title);
    showWholeButtonCaptions(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedColor();
}

}  // namespace velmar
