// The standard dialogs as the user meets them: Qt's own texts in Russian, the font dialog with
// the text colour and stand-ins for missing families, input boxes wide enough for their caption,
// long tooltips wrapped.
#include "app/application.h"
#include "model/text_metrics.h"
#include "model/visible_text.h"
#include "platform/dialog_russian.h"
#include "platform/dialogs.h"
#include "platform/font_colour_dialog.h"
#include "platform/tooltip_wrap.h"

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHelpEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

using namespace velmar;

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void standardDialogsSpeakRussian();
    void fileListNamesTypesAndDatesInRussian();
    void fontStylesAndSampleInRussian_data();
    void fontStylesAndSampleInRussian();
    void colourDialogShowsItsWholeButton();
    void fontDialogKeepsStoredFamilyAndChoosesColour();
    void inputBoxIsWideEnoughForItsCaption();
    void longToolTipsWrap_data();
    void longToolTipsWrap();
    void toolTipsAreShownWrapped();
    void documentTextIsNeverMarkup();
};

namespace {

bool hasCyrillic(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x400 && c.unicode() < 0x500; });
}

// Texts of every label and button of a dialog.
QStringList textsOf(QWidget* dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        texts << button->text();
    texts.removeAll(QString());
    return texts;
}

}  // namespace

void TestDialogs::initTestCase()
{
    QVERIFY2(installQtTranslations(*qApp), "Qt's Russian translations (qt6-translations-l10n) are not installed");
}

void TestDialogs::standardDialogsSpeakRussian()
{
    QFileDialog files(nullptr);
    files.setOption(QFileDialog::DontUseNativeDialog);
    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    QFontDialog fonts;
    fonts.setOption(QFontDialog::DontUseNativeDialog);
    for (QWidget* dialog :
         {static_cast<QWidget*>(&files), static_cast<QWidget*>(&colours), static_cast<QWidget*>(&fonts)}) {
        const QStringList texts = textsOf(dialog);
        QVERIFY(!texts.isEmpty());
        // Every word of the dialog's own texts is Russian ("Look in", "Basic colors", "Cancel"…).
        for (const QString& text : texts) {
            // (Abbreviations such as "HTML" and "OK" stay as they are.)
            const bool englishWord = text.contains(QRegularExpression(QStringLiteral("[a-z]{2,}")));
            QVERIFY2(!englishWord || hasCyrillic(text),
                     qPrintable(
                         QStringLiteral("%1: «%2»").arg(QString::fromLatin1(dialog->metaObject()->className()), text)));
        }
    }
}

// The file list as the dialog shows it: a folder's type and the dates are Russian, whatever the
// locale the program was started in.
void TestDialogs::fileListNamesTypesAndDatesInRussian()
{
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Рисунки")));
    QFileDialog dialog(nullptr, QString(), folder.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    russifyFileDialog(&dialog);
    auto* files = dialog.findChild<QFileSystemModel*>();
    QVERIFY(files);
    QAbstractItemModel* shown = dialog.proxyModel();
    QVERIFY(shown);
    QModelIndex sub;
    QTRY_VERIFY((sub = files->index(folder.filePath(QStringLiteral("Рисунки")))).isValid());
    const auto shownText = [&](int column) {
        return shown->data(dialog.proxyModel()->mapFromSource(sub.siblingAtColumn(column)), Qt::DisplayRole).toString();
    };
    QTRY_COMPARE(shownText(2), QStringLiteral("Папка"));
    const QString date = shownText(3);
    QCOMPARE(date, QLocale(QLocale::Russian).toString(files->lastModified(sub), QLocale::ShortFormat));
    QVERIFY2(!date.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))), qPrintable(date));  // no AM/PM
}

void TestDialogs::fontStylesAndSampleInRussian_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("russian");
    QTest::newRow("plain") << "Book"
                           << "Обычный";
    QTest::newRow("regular") << "Regular"
                             << "Обычный";
    QTest::newRow("two words") << "Bold Oblique"
                               << "Жирный наклонный";
    QTest::newRow("width and weight") << "Condensed Bold Italic"
                                      << "Узкий жирный курсив";
    QTest::newRow("one word of a family's own kept") << "Bold Display"
                                                     << "Жирный Display";
}

void TestDialogs::fontStylesAndSampleInRussian()
{
    QFETCH(QString, style);
    QFETCH(QString, russian);
    QCOMPARE(russianStyleName(style), russian);

    // The dialog itself: every style of an installed family is listed by its Russian name, while
    // choosing one still picks the font of that style; the sample is Cyrillic.
    FontColourDialog dialog;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(12);
    dialog.setCurrentFont(font);
    const QList<QListView*> lists = dialog.fontPart()->findChildren<QListView*>(Qt::FindDirectChildrenOnly);
    QVERIFY(lists.size() >= 2);
    QListView* styles = lists[1];
    auto* delegate = qobject_cast<QStyledItemDelegate*>(styles->itemDelegate());
    QVERIFY(delegate);
    QVERIFY(styles->model()->rowCount() > 0);
    for (int row = 0; row < styles->model()->rowCount(); ++row) {
        const QString listed = styles->model()->index(row, 0).data().toString();
        QVERIFY2(QFontDatabase::styles(QStringLiteral("DejaVu Sans")).contains(listed), qPrintable(listed));
        const QString shown = delegate->displayText(listed, QLocale());
        QVERIFY2(hasCyrillic(shown), qPrintable(listed + " → " + shown));
    }
    bool hasSample = false;
    for (QLineEdit* edit : dialog.fontPart()->findChildren<QLineEdit*>())
        if (edit->text() == fontSampleText())
            hasSample = true;
    QVERIFY(hasSample && hasCyrillic(fontSampleText()));
    const QFont bold = QFontDatabase::font(QStringLiteral("DejaVu Sans"), QStringLiteral("Bold"), 12);
    dialog.fontPart()->setCurrentFont(bold);
    QVERIFY(dialog.currentFont().bold());
}

void TestDialogs::colourDialogShowsItsWholeButton()
{
    QColorDialog dialog;
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    showWholeButtonCaptions(&dialog);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    bool found = false;
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (!button->text().contains(QStringLiteral("пользовательским")))
            continue;
        found = true;
        // The caption's whole width fits inside the button's own margins.
        QVERIFY2(button->width() >= button->sizeHint().width(),
                 qPrintable(QStringLiteral("%1 < %2").arg(button->width()).arg(button->sizeHint().width())));
    }
    QVERIFY(found);
}

void TestDialogs::fontDialogKeepsStoredFamilyAndChoosesColour()
{
    QFont stored;
    stored.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    stored.setPointSize(8);
    QVERIFY(!QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif")));

    FontColourDialog dialog;
    dialog.setCurrentFont(stored);
    dialog.setCurrentColour(QColor(0, 0, 0));
    // Shown as an installed family; given back under the stored name while left as it is.
    const QString shown = dialog.fontPart()->currentFont().family();
    QVERIFY2(QFontDatabase::hasFamily(shown), qPrintable(shown));
    QCOMPARE(dialog.currentFont().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(dialog.currentFont().pointSize(), 8);

    // The colour: one of the basic ones, then one of the user's own.
    QComboBox* colours = dialog.colourBox();
    const int red = colours->findText(QStringLiteral("Красный"));
    QVERIFY(red >= 0);
    colours->setCurrentIndex(red);
    emit colours->activated(red);
    QCOMPARE(dialog.currentColour(), QColor(255, 0, 0));
    dialog.setCurrentColour(QColor(1, 2, 3));
    QCOMPARE(colours->currentText(), QStringLiteral("Свой цвет"));
    QCOMPARE(colours->currentData().value<QColor>(), QColor(1, 2, 3));
    dialog.setCurrentColour(QColor(0, 0, 128));
    QCOMPARE(colours->findText(QStringLiteral("Свой цвет")), -1);
    QCOMPARE(colours->currentText(), QStringLiteral("Тёмно-синий"));

    // A family the user picks is kept, with its own name.
    QFont serif(QStringLiteral("DejaVu Serif"));
    serif.setPointSize(12);
    dialog.fontPart()->setCurrentFont(serif);
    QCOMPARE(dialog.currentFont().family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(dialog.currentFont().pointSize(), 12);

    // The outline's own default font opens as it is (not in the first style the dialog lists)
    // and comes back under its own name, whichever stand-in and foundry show it.
    for (const quint8 style : {quint8(0), quint8(FontBold), quint8(FontItalic)}) {
        FontSpec outlineFont;
        outlineFont.size = 10;
        outlineFont.style = style;
        FontColourDialog defaults;
        defaults.setCurrentFont(toDialogFont(outlineFont));
        const QFont back = defaults.currentFont();
        QCOMPARE(back.family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(back.bold(), bool(style & FontBold));
        QCOMPARE(back.italic(), bool(style & FontItalic));
        QCOMPARE(fromQFont(back, kWindowText), outlineFont);
    }

    // An installed family is never replaced.
    FontColourDialog installed;
    installed.setCurrentFont(serif);
    QCOMPARE(installed.currentFont().family(), QStringLiteral("DejaVu Serif"));
}

void TestDialogs::inputBoxIsWideEnoughForItsCaption()
{
    const QString caption = QStringLiteral("Новый конспект");
    int width = 0, captionWidth = 0;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!box)
            return;
        width = box->width();
        captionWidth = box->fontMetrics().horizontalAdvance(caption);
        box->reject();
    });
    QVERIFY(
        !dialogs().inputText(nullptr, caption, QStringLiteral("Введите название конспекта"), QStringLiteral("Новый")));
    // The caption, and the window manager's buttons beside it in the title bar.
    QVERIFY2(width >= captionWidth + 140,
             qPrintable(QStringLiteral("%1 for a caption of %2").arg(width).arg(captionWidth)));
}

void TestDialogs::longToolTipsWrap_data()
{
    QTest::addColumn<QString>("text");
    QString words;
    while (words.size() < 256)
        words += QStringLiteral("слово%1 ").arg(words.size());
    QTest::newRow("256 characters of words") << words.left(256);
    QTest::newRow("one long word") << QString(256, QLatin1Char('x'));
    QTest::newRow("lines of their own") << QStringLiteral("первая строка\r\nвторая строка\r\n") + words;
    QTest::newRow("short") << QStringLiteral("Открыть");
}

void TestDialogs::longToolTipsWrap()
{
    QFETCH(QString, text);
    const QFontMetrics metrics(QToolTip::font());
    const int maxWidth = ToolTipWrapper::kMaxWidth;
    const QString wrapped = wrapToolTip(text, metrics, maxWidth);
    const QStringList lines = wrapped.split(QLatin1Char('\n'));
    for (const QString& line : lines)
        QVERIFY2(metrics.horizontalAdvance(line) <= maxWidth, qPrintable(line));
    // Nothing is lost: only blanks and line breaks change places.
    auto letters = [](QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))); };
    QCOMPARE(letters(wrapped), letters(text));
    if (metrics.horizontalAdvance(text) <= maxWidth && !text.contains(QLatin1Char('\r')))
        QCOMPARE(wrapped, text);
    else
        QVERIFY(lines.size() > 1);
    // The text's own line breaks stay line breaks.
    if (text.startsWith(QStringLiteral("первая строка\r\n")))
        QCOMPARE(lines.value(0), QStringLiteral("первая строка"));
}

void TestDialogs::toolTipsAreShownWrapped()
{
    QWidget widget;
    widget.resize(200, 100);
    widget.setToolTip(QString(40, QLatin1Char(' ')).replace(QLatin1Char(' '), QStringLiteral("текст ")));
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    ToolTipWrapper wrapper;
    qApp->installEventFilter(&wrapper);
    QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), widget.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&widget, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY(QToolTip::text().contains(QStringLiteral("<br>")));
    QToolTip::hideText();
}

void TestDialogs::documentTextIsNeverMarkup()
{
    // A film named <img src="/dev/zero"> once made the "file not found" warning read that device
    // as a picture; a line feed in a name let it write lines that look like the program's own.
    // (A missing picture here: a failing test must not hang on the device.)
    const QString name =
        QStringLiteral("<img src=\"missing.png\"><a href=\"x\">ссылка</a>") + QChar(0x1B) + QChar(0x07);
    const QString text = QStringLiteral("Не удалось открыть видеофайл «%1»:\nфайл не найден.").arg(name);
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    QTimer::singleShot(0, this, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            format = box->textFormat();
            shown = box->text();
            box->accept();
        }
    });
    dialogs().inform(nullptr, QStringLiteral("Внимание"), text, QMessageBox::Warning);
    QCOMPARE(format, Qt::PlainText);
    QVERIFY2(shown.contains(QStringLiteral("<img src=\"missing.png\">")), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("␛␇»:\nфайл")), qPrintable(shown));  // the message's own line break stays

    format = Qt::AutoText;
    QTimer::singleShot(0, this, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            format = box->textFormat();
            box->reject();
        }
    });
    dialogs().ask(nullptr, QStringLiteral("Подтверждение"), text, QMessageBox::Yes | QMessageBox::No,
                  QMessageBox::Question);
    QCOMPARE(format, Qt::PlainText);

    // Tooltips of widgets and of list items: the text as written, never rendered.
    ToolTipWrapper wrapper;
    qApp->installEventFilter(&wrapper);
    QWidget widget;
    widget.resize(200, 100);
    widget.setToolTip(QStringLiteral("<b style=\"font-size:40pt\">Крупно</b>"));
    QListWidget list;
    list.resize(200, 100);
    list.addItem(QStringLiteral("рисунок"));
    list.item(0)->setToolTip(name);
    for (QWidget* target : {&widget, list.viewport()}) {
        target->window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(target->window()));
        const QPoint at = target == &widget ? QPoint(10, 10) : list.visualItemRect(list.item(0)).center();
        QHelpEvent help(QEvent::ToolTip, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        const QString tip = QToolTip::text();
        QVERIFY2(!tip.contains(QStringLiteral("<b ")) && !tip.contains(QStringLiteral("<img"))
                     && !tip.contains(QStringLiteral("<a ")),
                 qPrintable(tip));
        QTextDocument rendered;
        rendered.setHtml(tip);
        const QString expected = target == &widget ? widget.toolTip() : visibleText(name);
        QCOMPARE(rendered.toPlainText(), expected);
        QToolTip::hideText();
    }
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
