#include "platform/print_form_page.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace velmar {

namespace {

constexpr int kCounts[] = {1, 2, 4, 6};

QString pageText(const char* text) { return QCoreApplication::translate("PrintFormPage", text); }

}  // namespace

PrintFormPage::PrintFormPage(const PrintForm& current, QWidget* parent)
    : QWidget(parent), m_kinds(new QButtonGroup(this)), m_counts(new QButtonGroup(this))
{
    setWindowTitle(QCoreApplication::translate("PrintFormPage", "Что печатать"));
    setObjectName(QStringLiteral("printForm"));
    auto* layout = new QGridLayout(this);
    const auto kind = [&](PrintForm::Kind k, const char* name, const char* caption, int row) {
        auto* button = new QRadioButton(pageText(caption), this);
        button->setObjectName(QLatin1String(name));
        m_kinds->addButton(button, int(k));
        layout->addWidget(button, row, 0);
        button->setChecked(current.kind == k);
    };
    kind(PrintForm::Kind::Outline, "choiceOutline", QT_TRANSLATE_NOOP("PrintFormPage", "Конспект"), 0);
    kind(PrintForm::Kind::Handouts, "choiceHandouts",
         QT_TRANSLATE_NOOP("PrintFormPage", "Раздаточный материал: шагов показа на странице"), 1);
    kind(PrintForm::Kind::Exercise, "choiceExercise",
         QT_TRANSLATE_NOOP("PrintFormPage", "Лист для упражнения (тексты — пустыми рамками)"), 2);
    kind(PrintForm::Kind::Poster, "choicePoster", QT_TRANSLATE_NOOP("PrintFormPage", "Плакат на нескольких листах"), 3);

    auto* counts = new QHBoxLayout;
    for (int n : kCounts) {
        auto* button = new QRadioButton(QString::number(n), this);
        button->setObjectName(QStringLiteral("choiceHandouts%1").arg(n));
        m_counts->addButton(button, n);
        counts->addWidget(button);
        button->setChecked(n == (isHandoutCount(current.stepsPerPage) ? current.stepsPerPage : 4));
    }
    counts->addStretch();
    layout->addLayout(counts, 1, 1);

    auto* sheets = new QHBoxLayout;
    m_columns = new QSpinBox(this);
    m_columns->setObjectName(QStringLiteral("choicePosterColumns"));
    m_rows = new QSpinBox(this);
    m_rows->setObjectName(QStringLiteral("choicePosterRows"));
    for (QSpinBox* box : {m_columns, m_rows})
        box->setRange(1, kMaxPosterSheets);
    m_columns->setValue(current.columns);
    m_rows->setValue(current.rows);
    sheets->addWidget(new QLabel(QCoreApplication::translate("PrintFormPage", "столбцов"), this));
    sheets->addWidget(m_columns);
    sheets->addWidget(new QLabel(QCoreApplication::translate("PrintFormPage", "× рядов"), this));
    sheets->addWidget(m_rows);
    sheets->addStretch();
    layout->addLayout(sheets, 3, 1);
    layout->setRowStretch(4, 1);
    layout->setColumnStretch(1, 1);

    connect(m_kinds, &QButtonGroup::idToggled, this, [this] { updateEnabled(); });
    updateEnabled();
}

void PrintFormPage::updateEnabled()
{
    const auto chosen = PrintForm::Kind(m_kinds->checkedId());
    for (QAbstractButton* button : m_counts->buttons())
        button->setEnabled(chosen == PrintForm::Kind::Handouts);
    m_columns->setEnabled(chosen == PrintForm::Kind::Poster);
    m_rows->setEnabled(chosen == PrintForm::Kind::Poster);
}

PrintForm PrintFormPage::form() const
{
    PrintForm form;
    form.kind = m_kinds->checkedId() < 0 ? PrintForm::Kind::Outline : PrintForm::Kind(m_kinds->checkedId());
    form.stepsPerPage = m_counts->checkedId() > 0 ? m_counts->checkedId() : 4;
    form.columns = m_columns->value();
    form.rows = m_rows->value();
    // A poster of one sheet is the outline on a page.
    if (form.kind == PrintForm::Kind::Poster && form.columns * form.rows < 2)
        form.kind = PrintForm::Kind::Outline;
    return form;
}

}  // namespace velmar
